#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "acquisition/report_model.h"
#include "acquisition/report_source.h"
#include "platform/work_folder_layout.h"
#include "settings/app_settings.h"

namespace hw {

// A desktop notification of a report: a title, one or two lines of text, the sound to play
// with it (a path of the program's path text; empty for none), and whether it is urgent (an
// early warning, a tsunami warning).
struct Notification {
  std::u16string summary;
  std::u16string body;
  std::u16string soundFile;
  bool urgent = false;
};

// The title of a report's notification, "地震情報 最大震度5弱", and its text,
// "10日14時18分ごろ 熊本県熊本地方 M3.5 深さ10km" with a tsunami line when one is in force.
std::u16string NotificationSummary(const ReportHeader& report);
std::u16string NotificationBody(const ReportHeader& report);

// Decides which newly shown reports reach the user as a notification: those at or above the
// chosen maximum intensity, foreign earthquakes and tsunami warnings when those are chosen, each
// report id once, and never the report that was already the latest when a source was first
// read (the program announces what arrives while it runs). Reports of the demo are notified
// only when the user asked for it, and then from the first one, so that the notification can
// be tried out.
class NotificationGate {
 public:
  std::optional<Notification> TakeOver(std::u16string_view id, const ReportHeader& report,
                                       ReportSource source, const AppSettings& settings,
                                       const WorkFolderLayout& folder);

 private:
  // Remembers `id`; false when it was seen before.
  bool FirstSight(std::u16string_view id);

  static constexpr std::size_t kRememberedIds = 64;
  std::deque<std::u16string> seenIds_;
  bool liveRead_ = false;
  bool sandboxRead_ = false;
};

}  // namespace hw
