#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/early_warning_board.h"
#include "acquisition/report_source.h"
#include "acquisition/tsunami_board.h"
#include "acquisition/tsunami_fetch.h"
#include "display/display.h"
#include "eventlog/event_log_writer.h"
#include "platform/timed_messages.h"
#include "shell/request_budget.h"
#include "shell/shell_ports.h"
#include "shell/warning_notification.h"

namespace hw {

// What the warnings read from the main loop at each call.
struct WarningContext {
  const AppSettings& settings;
  const WorkFolderLayout& folder;
  // The data source in use: the demo, the sandbox or the live service.
  ReportSource source = ReportSource::kLive;
  bool pushConnected = false;
  std::tm now{};
  std::int64_t nowMs = 0;
};

// The tsunami forecasts (code 552) and early warnings (code 556) beside the reports: it reads
// them from the push channel, the tsunami list also in a request of its own (at the start of a
// source, after a pushed forecast, when the channel connects, and every kPollSeconds while it
// is down, each request counted in the one request budget), plays the rotating demo's stored
// ones, keeps what is in force (TsunamiBoard, EarlyWarningBoard), hands it to the display as
// values, writes the event log and decides the notifications.
class WarningFeed {
 public:
  static constexpr std::int64_t kPollMs = 60000;
  // The list trails the push channel by about half a second.
  static constexpr std::int64_t kFetchAfterPushMs = 2000;
  static constexpr std::int64_t kRetryMs = 30000;
  // The rotating demo's cycle, as its report files rotate.
  static constexpr int kDemoCycleSeconds = 120;

  // `apiBase` gives the base address of the service in use; `changed` runs when what the
  // picture shows of warnings changed (for the tray's tooltip).
  WarningFeed(Display& display, EventLogWriter& log, NotificationService& notify,
              RequestBudget& budget, std::function<std::string()> apiBase,
              std::function<void()> changed);

  // Reads the tsunami list through `fetch` from now on.
  void AttachTsunamiFetch(TsunamiFetchService& fetch) { fetch_ = &fetch; }
  // A pushed message that is no report announcement (`code` as the message says).
  void OnPushed(int code, std::string_view text, const WarningContext& context);
  // The push channel (re)connected: what it pushed while away is not sent again.
  void OnConnected() { dueAtMs_ = 0; }
  // Every tick: a tsunami list read that ended; every new second also the ends of what is
  // shown, the tsunami list's schedule and the demo's messages.
  void Tick(const WarningContext& context, bool newSecond);
  // A report list was just taken over: a warning of the same earthquake ends.
  void AfterReport(const ReportHeader& report);
  // Ends a running list read (the transfers were aborted).
  void Shutdown();

  // What the tray's tooltip adds: a line for the early warning and one for the tsunami
  // forecast while they are shown; empty otherwise.
  std::u16string ToolTipLines() const;

 private:
  void TakeOverTsunami(const TsunamiMessage& message, bool arrival, bool pushed,
                       const WarningContext& context);
  void TakeOverEarlyWarning(const EarlyWarningMessage& message, const WarningContext& context);
  void ShowTsunami(bool arrival, const WarningContext& context);
  void ShowEarlyWarning(const WarningContext& context);
  void SwitchSource(const WarningContext& context);
  void StartTsunamiFetch(const WarningContext& context);
  void TakeOverTsunamiFetch(const WarningContext& context);
  void PlayDemo(const WarningContext& context);
  void Log(std::u16string_view line);

  Display& display_;
  EventLogWriter& log_;
  NotificationService& notify_;
  RequestBudget& budget_;
  std::function<std::string()> apiBase_;
  std::function<void()> changed_;
  TsunamiFetchService* fetch_ = nullptr;

  TsunamiBoard tsunami_;
  EarlyWarningBoard warning_;
  WarningNotificationGate notifications_;
  std::optional<ReportSource> source_;
  // The tsunami list: when it is to be read next (kept while the budget or a running read
  // holds it back), when the next poll without the push channel is due, the source and
  // address of the running read, and whether the source's list was read once.
  std::optional<std::int64_t> dueAtMs_;
  std::int64_t nextPollMs_ = 0;
  ReportSource fetchSource_ = ReportSource::kLive;
  std::string fetchAddress_;
  bool listRead_ = false;
  bool fetchFailureSaid_ = false;
  // The rotating demo's messages and the second of its cycle played last.
  std::optional<std::vector<TimedMessage>> demo_;
  int demoSecond_ = -1;
};

}  // namespace hw
