#pragma once

#include <deque>
#include <optional>
#include <string>

#include "acquisition/early_warning_board.h"
#include "acquisition/report_source.h"
#include "acquisition/tsunami_board.h"
#include "platform/work_folder_layout.h"
#include "settings/app_settings.h"
#include "shell/report_notification.h"

namespace hw {

// The title and text of the notifications of a tsunami forecast ("津波警報 発表" and the regions
// of each grade) and of an early warning ("緊急地震速報（警報）", the hypocentre's region, the
// forecast maximum, the issue time and that the feed is unguaranteed).
Notification TsunamiNotification(const TsunamiState& state);
Notification EarlyWarningNotification(const EarlyWarning& warning);

// Decides which tsunami forecasts and early warnings reach the user as notifications, beside
// the reports' own (NotificationGate). All follow [Notify] Enabled, and the demo's only
// [Notify] Demo.
// - Tsunami: a forecast in force whose strongest grade reaches [Notify] TsunamiGrade, each
//   message once; its lifting, when it was notified. What was in force at the first read of a
//   source is shown, not announced, as the first report list is.
// - Early warning ([Notify] EarlyWarning): urgent, with its own sound ([Notify]
//   EarlyWarningSound: as [Notify] Sound, never or always), once per earthquake and again only
//   when a later serial raises the forecast maximum; its cancellation, when it was notified.
//   Test messages never.
class WarningNotificationGate {
 public:
  // `arrival` is false for a forecast read from the list at the start of a source.
  std::optional<Notification> ForTsunami(const TsunamiState& state, bool arrival,
                                         ReportSource source, const AppSettings& settings,
                                         const WorkFolderLayout& folder);
  std::optional<Notification> ForEarlyWarning(const EarlyWarning& warning, ReportSource source,
                                              const AppSettings& settings,
                                              const WorkFolderLayout& folder);

 private:
  struct NotifiedEvent {
    std::string eventId;
    int forecast = -1;  // the forecast maximum's lower bound last notified
    bool cancelled = false;
  };
  static bool Allowed(ReportSource source, const AppSettings& settings);

  std::deque<std::string> tsunamiIds_;
  bool tsunamiNotified_ = false;  // the forecast in force was notified
  std::deque<NotifiedEvent> events_;
};

}  // namespace hw
