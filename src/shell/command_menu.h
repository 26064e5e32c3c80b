#pragma once

#include <string_view>
#include <vector>

#include "settings/app_settings.h"

namespace hw {

// The commands of the window's context menu and keys, by their menu ids.
enum CommandId : int {
  kCommandAbout = 0x10,
  kCommandEnd = 32771,
  kCommandToggleFrame = 32772,
  kCommandToggleAtBack = 32773,
  kCommandToggleOnTop = 32774,
  kCommandToggleDrag = 32775,
  kCommandSettings = 32776,
  kCommandToggleSandbox = 32777,
  kCommandToggleDemoFile = 32778,
  kCommandToggleDemoRotating = 32779,
  // Not on the menu: the tray icon's left click and a second start of the program ask for it.
  kCommandShowWindow = 32780,
};

// One line of the menu: a command with its label and key name separated by a tab, or a
// separator (id 0).
struct MenuItem {
  int id = 0;
  std::u16string_view text;
  bool checked = false;
  bool IsSeparator() const { return id == 0; }
};

using CommandMenu = std::vector<MenuItem>;

// The popup "選択" with the check marks of the current modes.
CommandMenu BuildCommandMenu(const AppSettings& settings, int sandboxSwitch);

inline constexpr std::u16string_view kCommandMenuTitle = u"選択";

// Where menu commands go: the main window. The tray asks it for the menu each time it opens.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  virtual CommandMenu CurrentMenu() = 0;
  virtual void OnCommand(int id) = 0;
};

}  // namespace hw
