#pragma once

#include <memory>
#include <string_view>

#include "acquisition/push_doorbell.h"
#include "display/display.h"
#include "platform/window_host.h"
#include "shell/app_context.h"
#include "shell/command_menu.h"
#include "shell/frame_clock.h"
#include "shell/platform_services.h"
#include "shell/report_notification.h"
#include "shell/request_budget.h"
#include "shell/settings_dialog_link.h"
#include "shell/shell_ports.h"
#include "shell/warning_feed.h"

namespace hw {

// The main window's logic: initialisation, the 10 ms main loop, painting, the commands and keys,
// and shutdown. It owns no platform object and no picture: the window forwards its events here,
// and the display it is given composes and paints.
class CTremorlensDlg final : public WindowEventSink,
                             public CommandTarget,
                             private FramePhase,
                             private SettingsDialogLink {
 public:
  CTremorlensDlg(AppContext& context, Display& display, PlatformServices& platform,
                 ShellPorts& ports);

  // Builds everything the picture needs, in the documented order. Always true; when a theme
  // picture is missing it shows why and asks the window to close instead of starting the loop.
  bool OnInitDialog();
  // One tick of the main loop.
  void OnTimer() override;
  PaintSource OnPaint() override;
  // Keys, mouse and menus.
  void OnKeyDown(int virtualKey, bool system) override;
  void OnContextMenu(Point screen) override;
  void OnLButtonDown() override;
  void OnLButtonUp() override;
  bool OnCloseRequest() override;
  void OnFrameExtentsChanged() override;
  void OnWindowRectChanged() override;
  CommandMenu CurrentMenu() override;
  void OnCommand(int id) override;
  // The dialog's OK command (Enter) does nothing; its cancel command closes the window unless
  // it follows an Escape key press. True when the window is to close.
  void OnOkCommand() {}
  bool OnCancelCommand();
  // Stops the timers, writes the settings file, frees the surfaces and closes the log.
  void OnDestroy();

  // FrameInterval from [Config] SpeedDraw.
  void SetFrameInterval() override;

  // Moves and sizes the window to the [Position] rectangle; the client area keeps the size a
  // framed window of that rectangle has, also while the frame is hidden.
  void ApplyWindowGeometry() override;

  // Listens to the service's push channel from now on: an announced report is fetched at the
  // next second, and polling slows to [Push] Reload while the channel is connected.
  void AttachPushChannel(PushChannel& channel);
  // Reads the tsunami list through `fetch` beside the report list (see WarningFeed).
  void AttachTsunamiFetch(TsunamiFetchService& fetch) { warnings_.AttachTsunamiFetch(fetch); }

  SettingsDialogLink& settingsLink() { return *this; }
  // Where the picture's report came from and whether the feed answers: the picture's label
  // and the tray icon's tooltip tell it.
  FeedState Feed() const;

 private:
  // Start-up helpers.
  void ShowThemeAssetFailure(ThemeAssetResult code);
  // Main-loop steps.
  void RunStartupStage();
  void RunStartupStage0();
  void PlaceWindowAtStart();
  void FrameTheFirstPlacement();
  void ApplyFrameStyle(WindowPlacement& placement);
  void PlaceStoredRectangle();
  void ApplyTrackingSizes();
  void StartFrameTimer();
  void ScheduleFetch();
  // Starts the fetch worker unless the request budget of the address in use is spent (false
  // then; said once in the log while it lasts).
  bool StartFetch();
  // Counts the redirects of a fetch against the budget and backs off after an answer that
  // needed them.
  void TakeOverRedirects(FetchStatusValue status);
  void TickPushDoorbell();
  bool PushConnected() const { return doorbell_ && doorbell_->Connected(); }
  // Starts a fetch at once when nothing holds it back, else at the next second.
  void FetchNow();
  // Reload, or the longer push period while the push channel is connected.
  int PollPeriod() const;
  // What the warnings read from the loop now (warning_link.cpp).
  WarningContext WarningContextNow() const;
  void TakeOverFetchStatus();
  // The outputs for streams, once per tick.
  void TickStreams(bool newSecond);
  // A desktop notification of the report just taken over, when it is one to announce.
  void NotifyNewReport();
  // Logs a failed fetch (the documented cause and advice lines, then what really happened) and
  // holds the next fetches off as the back-off asks.
  void TakeOverFailure(FetchStatusValue status, std::u16string_view cause,
                       std::u16string_view advice);
  // The feed behind the picture: the last live list an earlier run kept, shown until the
  // service answers; what each fetch result means for the picture's label; the stale state,
  // once a second; and the tray icon's tooltip.
  void ComposeLastKnownList();
  void RecordFeed(FetchStatusValue status);
  void WatchFeed();
  int StalePeriod() const;
  void RestartFeedWatch();
  void SetStale(bool stale);
  void ShowFeedState();
  // The loop's counters for a paint, and the settings the picture reads, handed over as values.
  PaintState PaintStateNow() const;
  void SyncDisplaySettings();
  void UpdateFrameCounters();
  void AdvanceTicker();
  void FollowDrag();
  // Takes a station refresh that has ended over and logs what the reference data said.
  void TakeOverReferenceData();
  void CountDownHoldOff();
  Rect FramedWindowRect();
  // Commands.
  void ToggleFrame();
  void ToggleOnTop();
  void ToggleAtBack();
  void ToggleDataSource(int id);
  void BringWindowToFront();
  void OpenSettings();
  void ShowAbout();
  void OpenManual();
  void CheckHeldKeys();
  // SettingsDialogLink
  AppSettings& Settings() override { return context_.settings; }
  const ThemeList& Themes() override { return context_.themes; }
  int FrameExtraWidth() override { return context_.loop.FrameExtraWidth; }
  int FrameExtraHeight() override { return context_.loop.FrameExtraHeight; }
  void FetchAtNextSecond() override;
  void InvalidateWindow() override;
  StreamServerState StreamStatus() override { return streams_.ServerState(); }
  // FramePhase: the frame counters brought up to date, and a short wait.
  int FrameSubCount() override;
  void Wait(int milliseconds) override;

  AppContext& context_;
  PlatformServices& platform_;
  ShellPorts& ports_;
  FrameClock frameClock_;
  Display& display_;
  NotificationGate notificationGate_;
  std::u16string shownToolTip_;
  std::unique_ptr<PushDoorbell> doorbell_;
  // True when the settings file held no [Position]: the first placement gets a 16:9 client.
  bool firstPlacement_ = false;
  RequestBudget requestBudget_;
  std::string fetchAddress_;     // the address the running fetch asks
  bool budgetWaitSaid_ = false;  // whether the log said that fetches wait for the budget
  // Tsunami forecasts and early warnings beside the reports.
  WarningFeed warnings_;
  // The picture file, the local page and the command after a report.
  StreamOutputs streams_;
  bool streamsConfigured_ = false;
  std::int64_t nextHiddenPaintMs_ = 0;  // paints for the outputs while the window is minimised
};

}  // namespace hw
