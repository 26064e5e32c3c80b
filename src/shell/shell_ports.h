#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "acquisition/fetch_service.h"
#include "display/theme_asset_service.h"
#include "platform/geometry.h"
#include "refdata/reference_service.h"
#include "shell/command_menu.h"
#include "shell/report_notification.h"
#include "shell/stream_outputs.h"

namespace hw {

// The shell's calls into the subsystems that run beside it, each a small interface of its
// subsystem so that the shell runs in tests with recording fakes.

// The notification-area icon.
class TrayService {
 public:
  virtual ~TrayService() = default;
  virtual void Add() = 0;
  virtual void Remove() = 0;
  // The text shown when the pointer rests on the icon.
  virtual void SetToolTip(std::u16string_view text) = 0;
};

// The windows the commands open: the context menu, the About box, the manual and the settings
// dialog. Implemented with Qt widgets; the chosen menu command comes back to the main window's
// OnCommand.
class UserInterfaceService {
 public:
  virtual ~UserInterfaceService() = default;
  // Shows the menu with its top-left corner at `screen` and returns at once.
  virtual void ShowContextMenu(const CommandMenu& menu, Point screen) = 0;
  // Shows the About box and returns when it is closed.
  virtual void ShowAboutBox() = 0;
  // Opens a document (the user's copy in the working folder, else the installed runtime
  // folder's) with the desktop's program for it and returns at once; `cannotOpen` runs, then or
  // a moment later, when the file is missing or the desktop has no program that could open it.
  virtual void OpenDocument(std::u16string_view fileName, std::function<void()> cannotOpen) = 0;
  // Opens the settings dialog, or brings the open one to the top.
  virtual void OpenSettingsDialog() = 0;
};

// The desktop's notifications. Shows one and returns at once; a desktop without a
// notification service gets the tray icon's message instead.
class NotificationService {
 public:
  virtual ~NotificationService() = default;
  virtual void Notify(const Notification& notification) = 0;
};

struct ShellPorts {
  FetchService& fetch;
  ReferenceService& reference;
  ThemeAssetService& assets;
  TrayService& tray;
  UserInterfaceService& ui;
  NotificationService& notify;
  // The outputs for streams; none where the program runs without them (the tests).
  StreamPorts streams{};
};

}  // namespace hw
