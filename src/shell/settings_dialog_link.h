#pragma once

#include <string>

#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"

namespace hw {

// The local page of the picture: off, listening at `address`, or not listening at `address`
// for `error`.
struct StreamServerState {
  bool on = false;
  bool listening = false;
  std::u16string address;
  std::u16string error;
};

// What the settings dialog reads and changes of the main window while it is open. The main
// window's logic implements it; the dialog never writes the settings file.
class SettingsDialogLink {
 public:
  virtual ~SettingsDialogLink() = default;

  // The settings held in memory, changed in place by the dialog.
  virtual AppSettings& Settings() = 0;
  // The theme folders found by the scan that ran when the dialog was asked for.
  virtual const ThemeList& Themes() = 0;
  // The framed window's size minus its client size.
  virtual int FrameExtraWidth() = 0;
  virtual int FrameExtraHeight() = 0;

  // Moves and sizes the window to the [Position] rectangle of the settings.
  virtual void ApplyWindowGeometry() = 0;
  // The frame interval from [Config] SpeedDraw.
  virtual void SetFrameInterval() = 0;
  // Makes the main loop start a fetch at the next new second.
  virtual void FetchAtNextSecond() = 0;
  // Repaints the whole window.
  virtual void InvalidateWindow() = 0;
  // Where the local page of the picture listens, or why it cannot.
  virtual StreamServerState StreamStatus() { return {}; }
};

}  // namespace hw
