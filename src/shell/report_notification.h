#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "acquisition/report_model.h"
#include "acquisition/report_source.h"
#include "platform/work_folder_layout.h"
#include "settings/app_settings.h"

namespace hw {

// How urgent a notification is, in the desktop's three levels (the numbers are the values of
// the notification's "urgency" hint). A critical one stays until the user closes it.
enum class NotificationUrgency : std::uint8_t { kLow = 0, kNormal = 1, kCritical = 2 };

// A desktop notification of a report: a title, one or two lines of text, how urgent it is, the
// earthquake it is about, and the sound to play with it (a path of the program's path text;
// empty for none).
struct Notification {
  std::u16string summary;
  std::u16string body;
  std::u16string soundFile;
  NotificationUrgency urgency = NotificationUrgency::kNormal;
  // The earthquakes are numbered from 1 in the order of their first notification; a
  // notification replaces the one shown before for the same earthquake.
  std::uint32_t earthquake = 0;
};

// The title of a report's notification, "地震情報 最大震度5弱", and its text,
// "10日14時18分ごろ 熊本県熊本地方 M3.5 深さ10km" with a tsunami line when one is in force.
std::u16string NotificationSummary(const ReportHeader& report);
std::u16string NotificationBody(const ReportHeader& report);

// Critical from intensity 5 lower and for a tsunami warning in force, low for intensity 1 and 2
// (announced only when the user chose so) without a tsunami to tell, normal for the rest.
NotificationUrgency UrgencyOf(const ReportHeader& report);

// Whether a report is a later one of the earthquake `earlier` was about, as the map merges
// them: event times at most two minutes apart (an intensity prompt gives the minute of
// detection, the later reports the origin time) and, when both name an epicentre, the same one.
bool SameEarthquake(const ReportHeader& earlier, const ReportHeader& later);

// Decides which newly shown reports reach the user as a notification: those at or above the
// chosen maximum intensity, foreign earthquakes and tsunami warnings when those are chosen, each
// report id once, and never the report that was already the latest when a source was first
// read (the program announces what arrives while it runs). Reports of the demo are notified
// only when the user asked for it, and then from the first one, so that the notification can
// be tried out.
//
// One notification per earthquake: a later report of an earthquake already announced replaces
// its notification, also when it would not be announced by itself (a lowered intensity), so
// that what stays on the desktop is the latest word. The sound plays with the first
// notification of an earthquake and again only when a later one is more urgent.
class NotificationGate {
 public:
  std::optional<Notification> TakeOver(std::u16string_view id, const ReportHeader& report,
                                       ReportSource source, const AppSettings& settings,
                                       const WorkFolderLayout& folder);

 private:
  struct Announced {
    ReportHeader last;  // the latest report of it that was announced
    std::uint32_t earthquake = 0;
    NotificationUrgency loudest = NotificationUrgency::kLow;  // the most urgent announced
  };

  // Remembers `id`; false when it was seen before.
  bool FirstSight(std::u16string_view id);
  // The announced earthquake the report is a later report of, or null.
  Announced* EarthquakeOf(const ReportHeader& report);

  static constexpr std::size_t kRememberedIds = 64;
  // Reports of one earthquake come within minutes; a few remembered are plenty.
  static constexpr std::size_t kRememberedEarthquakes = 8;
  std::deque<std::u16string> seenIds_;
  std::deque<Announced> announced_;
  std::uint32_t lastEarthquake_ = 0;
  bool liveRead_ = false;
  bool sandboxRead_ = false;
};

}  // namespace hw
