#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/report_model.h"
#include "platform/early_warning_message.h"

namespace hw {

// One target area of the warning shown: its name as issued and its forecast intensity range
// (the service's codes: 10 … 70, 0, −1 unknown; `scaleTo` 99 for "or more").
struct EarlyWarningTarget {
  std::u16string name;
  int scaleFrom = -1;
  int scaleTo = -1;
  bool operator==(const EarlyWarningTarget&) const = default;
};

// The early warning the picture shows: the newest message of one earthquake, or for a short
// while that it was cancelled.
struct EarlyWarning {
  enum class Phase { kWarning, kCancelled };
  Phase phase = Phase::kWarning;
  std::string eventId;
  int serial = 0;
  bool test = false;          // a test message, shown only when the user asked for them
  std::u16string issueTime;   // "YYYY/MM/DD hh:mm:ss"
  std::u16string originTime;  // likewise
  std::u16string regionName;  // the hypocentre's region as issued
  // The hypocentre is assumed (仮定震源要素): no mark is drawn, the picture says so.
  bool assumedHypocentre = false;
  double latitude = -200.0;
  double longitude = -200.0;
  // The target areas, in the message's order; none when cancelled.
  std::vector<EarlyWarningTarget> areas;
  // The highest forecast range among the areas (by its lower, then its upper bound); −1 when
  // the message has no area with a known intensity.
  int forecastFrom = -1;
  int forecastTo = -1;

  // Whether the hypocentre can be marked: it is not assumed and has coordinates.
  bool HasHypocentre() const;
  bool operator==(const EarlyWarning&) const = default;
};

// The name of an intensity code as the agency writes it ("5弱", "7", "0"); "不明" for −1 and
// any code that is none.
std::u16string IntensityName(int code);
// A forecast range: "5弱", "5弱～6弱", or "5弱以上" when it is open upwards (`to` 99).
std::u16string ForecastRangeText(int from, int to);

// Keeps the early warning to show. Messages are taken from the push channel: each id once; of
// one earthquake (`eventId`) only a higher serial replaces what is shown; a message of
// another earthquake replaces it too. A cancellation of the earthquake shown is shown as
// cancelled for kCancelledMs. The warning ends kQuietMs after its last message, or when a
// report of the same earthquake is shown. Test messages are shown only when asked for.
class EarlyWarningBoard {
 public:
  static constexpr std::int64_t kQuietMs = 180000;
  static constexpr std::int64_t kCancelledMs = 10000;
  // A report of the same earthquake lies this many minutes from the warning's origin time at
  // most (as reports of one earthquake do, see the map layer's memory).
  static constexpr std::int32_t kSameEarthquakeMinutes = 2;

  enum class Result {
    kShown,      // a warning of a new earthquake
    kUpdated,    // a later serial of the earthquake shown
    kCancelled,  // the earthquake shown was cancelled
    kDuplicate,  // an id seen before
    kIgnored,    // logged, the picture stays: an older serial, a hidden test message, …
  };
  struct Outcome {
    Result result = Result::kIgnored;
    std::vector<std::u16string> log;  // the event log's lines about it
  };

  Outcome TakeOver(const EarlyWarningMessage& message, std::int64_t nowMs, bool showTests);
  // Ends a cancellation shown long enough, or a warning without news for kQuietMs; true when
  // the warning ended.
  bool Tick(std::int64_t nowMs);
  // Ends the warning when `report`, just shown, tells of the same earthquake; true then.
  bool EndForReport(const ReportHeader& report);
  // Forgets everything (a change of data source).
  void Clear();
  // Forgets the messages and serials seen, keeping what is shown, so that stored ones can be
  // played again.
  void ForgetMessages();

  const std::optional<EarlyWarning>& shown() const { return shown_; }

 private:
  // The serials seen of an earthquake, and whether a report ended it.
  struct Event {
    std::string eventId;
    int serial = 0;
    bool reported = false;
  };
  bool Seen(const std::string& id);
  Event& EventOf(const std::string& eventId);

  std::optional<EarlyWarning> shown_;
  std::int32_t originKey_ = 0;
  std::int64_t endsAtMs_ = 0;
  std::deque<std::string> seenIds_;
  std::deque<Event> events_;
};

}  // namespace hw
