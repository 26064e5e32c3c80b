#include "platform/window_host.h"
#include "refdata/theme_catalogue.h"
#include "shell/tremorlens_dlg.h"

namespace hw {
namespace {

// SetWindowPos flags of the mode commands: keep position and size, show the window.
constexpr unsigned kKeepPlaceAndShow = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;

}  // namespace

CommandMenu CTremorlensDlg::CurrentMenu() {
  return BuildCommandMenu(context_.settings, context_.SandboxSwitch);
}

void CTremorlensDlg::OnContextMenu(Point screen) {
  ports_.ui.ShowContextMenu(CurrentMenu(), screen);
}

void CTremorlensDlg::OnCommand(int id) {
  AppSettings& settings = context_.settings;
  switch (id) {
    case kCommandToggleFrame:
      ToggleFrame();
      break;
    case kCommandToggleDrag:
      settings.Drag = settings.Drag == 0 ? 1 : 0;
      break;
    case kCommandToggleOnTop:
      ToggleOnTop();
      break;
    case kCommandToggleAtBack:
      ToggleAtBack();
      break;
    case kCommandToggleDemoFile:
    case kCommandToggleDemoRotating:
    case kCommandToggleSandbox:
      ToggleDataSource(id);
      break;
    case kCommandSettings:
      OpenSettings();
      break;
    case kCommandAbout:
      ShowAbout();
      break;
    case kCommandEnd:
      platform_.window.PostClose();
      break;
    case kCommandShowWindow:
      BringWindowToFront();
      break;
    default:
      break;
  }
}

bool CTremorlensDlg::OnCancelCommand() {
  if (context_.EscapePending == 1) {
    context_.EscapePending = 0;
    return false;
  }
  return true;
}

bool CTremorlensDlg::OnCloseRequest() {
  // A close request reaches the dialog as its cancel command.
  return OnCancelCommand();
}

void CTremorlensDlg::OnLButtonDown() {
  LoopState& loop = context_.loop;
  if (context_.settings.Drag == 0 || loop.DragFollow != 0) return;
  loop.DragFollow = 1;
  loop.DragStartPlacement = platform_.window.GetWindowPlacement();
  loop.DragStartCursor = platform_.window.GetCursorPos();
}

void CTremorlensDlg::OnLButtonUp() {
  context_.loop.DragFollow = 0;
}

// Hides or shows the frame; the rectangle shrinks or grows by the frame so that the client
// area keeps its size.
void CTremorlensDlg::ToggleFrame() {
  WindowHost& window = platform_.window;
  const LoopState& loop = context_.loop;
  WindowPlacement placement = window.GetWindowPlacement();
  const std::uint32_t style = window.GetStyle();
  if (context_.settings.FlameOff == 0) {
    placement.normal.right -= loop.FrameExtraWidth;
    placement.normal.bottom -= loop.FrameExtraHeight;
    window.SetStyle(style & ~kFrameStyleBits);
    window.SetWindowPos(InsertAfter::Unchanged,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    context_.settings.FlameOff = 1;
  } else {
    placement.normal.right += loop.FrameExtraWidth;
    placement.normal.bottom += loop.FrameExtraHeight;
    window.SetStyle(style | kFrameStyleBits);
    window.SetWindowPos(InsertAfter::Unchanged,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    context_.settings.FlameOff = 0;
  }
  window.SetWindowPlacement(placement);
}

void CTremorlensDlg::ToggleOnTop() {
  int& ontop = context_.settings.Ontop;
  if (ontop == 1) {
    ontop = 0;
    platform_.window.SetWindowPos(InsertAfter::NoTopmost, kKeepPlaceAndShow);
  } else {
    ontop = 1;
    platform_.window.SetWindowPos(InsertAfter::Topmost, kKeepPlaceAndShow);
  }
}

void CTremorlensDlg::ToggleAtBack() {
  int& ontop = context_.settings.Ontop;
  WindowHost& window = platform_.window;
  if (ontop == 2) {
    // Topmost and back brings the window in front of the other normal windows.
    ontop = 0;
    window.SetWindowPos(InsertAfter::Topmost, kKeepPlaceAndShow);
    window.SetWindowPos(InsertAfter::NoTopmost, kKeepPlaceAndShow);
  } else {
    ontop = 2;
    window.SetWindowPos(InsertAfter::NoTopmost, kKeepPlaceAndShow);
    // While Ontop is 2 the window stays at the back.
    window.SetWindowPos(InsertAfter::Bottom, kKeepPlaceAndShow);
  }
}

// The user asks for the window: a window kept at the back cannot come forward, so that mode
// ends as F8 ends it; a minimised or lost window comes back.
void CTremorlensDlg::BringWindowToFront() {
  if (context_.settings.Ontop == 2) ToggleAtBack();
  platform_.window.BringToFront();
}

// Demo file, rotating demo files and the sandbox exclude each other; each toggle fetches at
// the next new second. A back-off earned from one server does not hold up another one.
void CTremorlensDlg::ToggleDataSource(int id) {
  AppSettings& settings = context_.settings;
  FetchAtNextSecond();
  context_.loop.FetchHoldOff = 0;
  context_.loop.FetchFailures = 0;
  context_.loop.RedirectedFetches = 0;
  // The new source gets its own time to answer.
  RestartFeedWatch();
  if (id == kCommandToggleSandbox) {
    if (context_.SandboxSwitch == 0) {
      context_.SandboxSwitch = 1;
      settings.Demo = 0;
    } else {
      context_.SandboxSwitch = 0;
    }
    return;
  }
  const int demo = id == kCommandToggleDemoFile ? 1 : 2;
  if (settings.Demo == demo) {
    settings.Demo = 0;
  } else {
    settings.Demo = demo;
    context_.SandboxSwitch = 0;
  }
}

void CTremorlensDlg::OpenSettings() {
  ScanThemeFolders(context_.WorkingFolder, context_.themes);
  ports_.ui.OpenSettingsDialog();
}

void CTremorlensDlg::ShowAbout() {
  context_.loop.PendingFrames = -2;
  ports_.ui.ShowAboutBox();
}

void CTremorlensDlg::OpenManual() {
  ports_.ui.OpenDocument(u"取扱説明書.txt", [this] {
    platform_.window.MessageBox(u"ファイルを開けません。", u"Heronwatch");
  });
}

void CTremorlensDlg::FetchAtNextSecond() {
  context_.loop.FetchPhase = PollPeriod() - 1;
  context_.loop.FetchSoon = true;
}

void CTremorlensDlg::InvalidateWindow() {
  platform_.window.InvalidateRect();
}

}  // namespace hw
