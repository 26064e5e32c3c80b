#include "platform/window_host.h"
#include "shell/tremorlens_dlg.h"

namespace hw {

// Keys are examined before anything else: first the key table, then the keys held together,
// then the dialog's own keys (Escape cancels, Enter confirms).
void CTremorlensDlg::OnKeyDown(int virtualKey, bool system) {
  if (!system) {
    switch (virtualKey) {
      case VK_F1:
        OpenManual();
        break;
      case VK_F2:
        OnCommand(kCommandToggleFrame);
        break;
      case VK_F5:
        ports_.reference.ReloadReferenceData();
        break;
      case VK_F6:
        OnCommand(kCommandToggleDrag);
        break;
      case VK_F7:
        OnCommand(kCommandToggleOnTop);
        break;
      case VK_F8:
        OnCommand(kCommandToggleAtBack);
        break;
      case VK_F9:
        OnCommand(kCommandToggleDemoFile);
        break;
      case VK_F11:
        OnCommand(kCommandToggleSandbox);
        break;
      case VK_F12:
        OnCommand(kCommandSettings);
        break;
      case VK_ESCAPE:
        context_.loop.DragFollow = 0;
        context_.EscapePending = 1;
        break;
      default:
        break;
    }
  } else if (virtualKey == VK_F10) {
    OnCommand(kCommandToggleDemoRotating);
  }
  CheckHeldKeys();
  if (!system && virtualKey == VK_ESCAPE) {
    if (OnCancelCommand()) platform_.window.PostClose();
  } else if (!system && virtualKey == VK_RETURN) {
    OnOkCommand();
  }
}

// Ctrl+Alt+F5 reloads the reference data; Alt+F12 and Alt+F11 switch the debug overlay on and
// off and fetch at the next second.
void CTremorlensDlg::CheckHeldKeys() {
  WindowHost& window = platform_.window;
  if (window.IsKeyDown(VK_CONTROL) && window.IsKeyDown(VK_MENU) && window.IsKeyDown(VK_F5)) {
    ports_.reference.ReloadReferenceData();
  }
  if (!window.IsKeyDown(VK_MENU)) return;
  if (window.IsKeyDown(VK_F12)) {
    FetchAtNextSecond();
    context_.settings.Debug = 1;
  }
  if (window.IsKeyDown(VK_F11)) {
    FetchAtNextSecond();
    context_.settings.Debug = 0;
  }
}

}  // namespace hw
