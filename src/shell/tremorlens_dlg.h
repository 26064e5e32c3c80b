#pragma once

#include <string_view>

#include "display/frame_composer.h"
#include "display/window_painter.h"
#include "platform/window_host.h"
#include "shell/app_context.h"
#include "shell/frame_clock.h"
#include "shell/platform_services.h"
#include "shell/shell_ports.h"

namespace hw {

// The main window's logic: initialisation, the 10 ms main loop, painting and shutdown. It owns
// no platform object; the window forwards its events here.
class CTremorlensDlg final : public WindowEventSink, private FramePhase {
 public:
  CTremorlensDlg(AppContext& context, PlatformServices& platform, ShellPorts& ports);

  // Builds everything the picture needs, in the documented order. Always true; when a theme
  // picture is missing it shows why and asks the window to close instead of starting the loop.
  bool OnInitDialog();
  // One tick of the main loop.
  void OnTimer() override;
  PaintSource OnPaint() override;
  // Stops the timers, writes the settings file, frees the surfaces and closes the log.
  void OnDestroy();

  // FrameInterval from [Config] SpeedDraw.
  void SetFrameInterval();

  FrameComposer& composer() { return composer_; }
  WindowPainter& painter() { return painter_; }

 private:
  // Start-up helpers.
  void CreateFonts();
  void ShowThemeAssetFailure(ThemeAssetResult code);
  // Main-loop steps.
  void RunStartupStage();
  void RunStartupStage0();
  void ApplyFrameStyle(WindowPlacement& placement);
  void StartFrameTimer();
  void ScheduleFetch();
  void TakeOverFetchStatus();
  void WriteNetErrorLines(std::u16string_view cause, std::u16string_view detail);
  void UpdateFrameCounters();
  void AdvanceTicker();
  void FollowDrag();
  void CountDownHoldOff();
  Rect FramedWindowRect();
  // FramePhase: the frame counters brought up to date, and a short wait.
  int FrameSubCount() override;
  void Wait(int milliseconds) override;

  AppContext& context_;
  PlatformServices& platform_;
  ShellPorts& ports_;
  FrameClock frameClock_;
  FrameComposer composer_;
  WindowPainter painter_;
};

}  // namespace hw
