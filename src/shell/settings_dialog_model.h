#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"
#include "shell/settings_dialog_link.h"

namespace hw {

// The integers the six edits of the settings dialog exchange.
struct SettingsDialogFields {
  // The geometry fields: the framed window's position and its client size (edits 1000–1003).
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  // Seconds between fetches (edit 1007) and ticker characters per frame (edit 1009).
  int period = 0;
  int scroll = 0;
};

// The geometry edit that has the keyboard focus, numbered in the order of the edits.
enum class GeometryField { None = 0, X = 1, Y = 2, Width = 3, Height = 4 };

// The controls of the group 通知設定. `minScale` is the entry of the list 震度1 … 震度7 (0 … 8).
struct NotifyChoices {
  bool enabled = false;
  int minScale = 0;
  bool foreign = false;
  bool tsunami = false;
  bool sound = false;
};

// The controls of the group 配信設定, the [Stream] keys as they are edited.
struct StreamChoices {
  std::u16string file;
  int rate = 2;
  int width = 1920;
  int height = 1080;
  bool http = false;
  std::u16string listen;
  int port = 8551;
  bool overlay = false;
  std::u16string keyColor;
  bool overlayMarkers = false;
  std::u16string onReport;
  bool onReportDemo = false;
  bool operator==(const StreamChoices&) const = default;
};
StreamChoices StreamChoicesOf(const AppSettings& settings);

// The state of the dialog's controls other than the edits. A list index of −1 means that the
// list shows no entry.
struct SettingsDialogChoices {
  int aspect = 0;         // 0, 1, 2: radio buttons 1004, 1005, 1006
  int speedDraw = 0;      // list 1008
  int shindoMap = 0;      // list 1015
  int themeEntry = 0;     // list 1016
  bool epiFront = false;  // check box 1013
  bool epiBlink = false;  // check box 1014
  bool staJson = false;   // check box 1011
  bool siJson = false;    // check box 1012
  // Check box 1030.
  bool autostart = false;
  NotifyChoices notify;
  StreamChoices stream;
};

// The values taken when the dialog is filled; 前回の設定 and 初期値 return to them.
struct DialogSnapshot {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Aspect = 0;
  int SiJson = 0;
  int StaJson = 0;
  int EpiFront = 0;
  int EpiBlink = 0;
  int themeEntry = 0;
  int Autostart = 0;
  NotifyChoices notify;
  StreamChoices stream;
};

// What the settings dialog does with the settings, without its widgets: the fields behind the
// edits, the snapshot, and the values each button stores or shows. The dialog exchanges the
// fields and choices with its controls and calls these in the order its handlers need.
class SettingsDialogModel {
 public:
  explicit SettingsDialogModel(SettingsDialogLink& link) : link_(link) {}

  SettingsDialogFields& fields() { return fields_; }
  const SettingsDialogFields& fields() const { return fields_; }
  const DialogSnapshot& snapshot() const { return snapshot_; }

  // The first filling: takes the snapshot (with `themeEntry`, the preselected theme), sets the
  // fields from the settings and returns what the other controls show. A cleared EpiFront turns
  // EpiBlink off at once, since a blinking epicentre is only offered in front of the markers.
  SettingsDialogChoices Fill(int themeEntry);

  // Writes the geometry fields to [Position] and moves the window there.
  void StoreGeometry();
  // Adds `delta` to one geometry field (the arrow keys).
  void StepGeometryField(GeometryField field, int delta);
  // Check box 1013 cleared: the blink is off at once, not only after OK.
  void ForbidBlink();
  // The height field made to fit the width for the aspect 0, 1 or 2 (16:9, 4:3, 16:10), so
  // that the client area shows the picture undistorted.
  void FitHeightToAspect(int aspect);
  // True when [Position] changed since the dialog last stored or read it (the window was moved
  // or sized meanwhile); the geometry fields then follow it.
  bool FollowPosition();

  // 前回の設定: [Config] Aspect and [Position] back to the snapshot, the fields from them and
  // from the current settings; returns what the other controls show.
  SettingsDialogChoices Revert();
  // 初期値: [Position] back to the snapshot (only the geometry reaches the settings before OK),
  // the fields and the returned choices the program's initial values.
  SettingsDialogChoices InitialValues();
  // OK: stores the fields, period and scroll limited to their ranges, and the choices; a fetch
  // follows at the next new second. `themeName` is the text of the chosen theme entry. A list
  // that shows no entry leaves its setting as it is.
  void Apply(const SettingsDialogChoices& choices, std::u16string_view themeName);
  // After Apply: the desktop's autostart entry follows [Flag] Autostart. It is written for
  // `program` (the running program's absolute path) while the setting is on, and removed when
  // the setting was on at opening and is off now, so an entry this dialog did not make is left
  // alone. When that fails the setting becomes what the folder holds (on while an entry is
  // there) and `error` says why.
  bool ApplyAutostart(const std::filesystem::path& program, std::string& error);

 private:
  void GeometryFieldsFromPosition();
  // [Position] back to its values at filling, and the geometry fields with it.
  void RestoreSnapshotPosition();
  // The controls as they were at filling; the lists show the settings' current entries.
  SettingsDialogChoices SnapshotChoices() const;

  // [Position] as the dialog last stored or read it.
  void RememberPosition();

  SettingsDialogLink& link_;
  SettingsDialogFields fields_;
  DialogSnapshot snapshot_;
  Rect known_;
};

// The entry of the intensity list for a [Notify] MinScale code: the first intensity at or above it.
int NotifyScaleEntry(int minScale);

// The theme names in the order of the dialog's sorted list: letters compared without regard to
// case, names that differ only in case in code-unit order.
std::vector<std::u16string> SortedThemeNames(const ThemeList& themes);

// The entry preselected for the theme `name`: the entry equal to it, else the first (−1 for an
// empty list).
int PreselectedThemeEntry(const std::vector<std::u16string>& entries, std::u16string_view name);

}  // namespace hw
