#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/tsunami_message.h"

namespace hw {

// One region of the tsunami panel, as the agency issued it.
struct TsunamiRegionLine {
  std::u16string name;
  TsunamiGrade grade = TsunamiGrade::kWatch;
  // The first wave: the condition as issued ("津波到達中と推測"), else the issued arrival time as
  // "hh:mm 到達予想", else "ただちに来襲と予想" when the region is marked immediate; empty when
  // the message says nothing of it.
  std::u16string firstWave;
  std::u16string height;  // the expected maximum height as issued ("３ｍ", "巨大"); may be empty
  bool operator==(const TsunamiRegionLine&) const = default;
};

// What the picture shows of tsunamis: nothing, the forecast in force, or for a minute after
// its cancellation that it was lifted.
struct TsunamiState {
  enum class Phase { kNone, kInForce, kLifted };
  Phase phase = Phase::kNone;
  std::string id;            // the message shown
  std::u16string issueTime;  // its issue time, "YYYY/MM/DD hh:mm:ss"
  // The regions in force, strongest grade first (大津波警報, 津波警報, 津波注意報), each grade in
  // the message's order; empty when lifted.
  std::vector<TsunamiRegionLine> regions;

  // The strongest grade in force; kUnknown when none is.
  TsunamiGrade Highest() const;
  int Count(TsunamiGrade grade) const;
  bool operator==(const TsunamiState&) const = default;
};

// The agency's name of a grade: "大津波警報", "津波警報", "津波注意報"; empty for kUnknown.
std::u16string_view TsunamiGradeName(TsunamiGrade grade);

// "hh:mm" of a time "YYYY/MM/DD hh:mm:ss"; empty when it has no such part.
std::u16string HourMinuteOf(std::u16string_view time);

// The minute key (as report times have, see TimeKey) of "YYYY/MM/DD hh:mm:ss"; 0 when the text
// is no such time.
std::int32_t TimeKeyOf(std::u16string_view time);

// Keeps the newest tsunami message and what the picture shows of it. A message replaces the one
// in force unless it was seen before (by id), is older (by issue time), or has no regions; a
// cancellation lifts the forecast in force and is shown as lifted for kLiftedMs; a newer
// message that lists no region with a known grade ends what was in force.
class TsunamiBoard {
 public:
  static constexpr std::int64_t kLiftedMs = 60000;
  // A forecast issued this long before now is not taken for one in force: the service keeps
  // no guarantee of delivering its cancellation.
  static constexpr std::int32_t kStaleMinutes = 2 * 24 * 60;

  enum class Result {
    kShown,      // a forecast is in force (new, or changed)
    kLifted,     // the forecast in force was cancelled
    kEnded,      // a newer message lists none of what was in force
    kUnchanged,  // taken, but the picture stays (a cancellation with nothing in force)
    kDuplicate,  // seen before
    kIgnored,    // older, stale or without regions: logged, the picture stays
  };
  struct Outcome {
    Result result = Result::kUnchanged;
    std::vector<std::u16string> log;  // the event log's lines about it
  };

  // Takes a message over at `nowMs` (monotonic); `nowKey` is the minute key of the local time,
  // or 0 to take a message of any age (the demo's stored messages).
  Outcome TakeOver(const TsunamiMessage& message, std::int64_t nowMs, std::int32_t nowKey);
  // Ends the lifted state once its minute has passed; true when the state changed.
  bool Tick(std::int64_t nowMs);
  // Forgets everything (a change of data source).
  void Clear();
  // Forgets the messages seen, keeping what is shown, so that stored ones can be played again.
  void ForgetMessages();

  const TsunamiState& state() const { return state_; }

 private:
  bool Seen(const std::string& id);

  TsunamiState state_;
  TsunamiMessage last_;
  std::u16string newestIssueTime_;
  std::int64_t liftedUntilMs_ = 0;
  std::deque<std::string> seenIds_;
};

}  // namespace hw
