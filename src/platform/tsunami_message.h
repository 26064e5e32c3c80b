#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

// The grade of a tsunami forecast region, by the service's names: "MajorWarning" (大津波警報),
// "Warning" (津波警報), "Watch" (津波注意報); any other name, "Unknown" included, is kUnknown.
enum class TsunamiGrade { kUnknown = 0, kWatch = 1, kWarning = 2, kMajorWarning = 3 };

// One forecast region of a tsunami message (code 552) as the agency issued it. Texts are cut
// to kMaxText units; a member that is missing or of another type reads as empty (false).
struct TsunamiRegion {
  std::u16string name;
  std::u16string gradeName;  // the grade as sent, for the log when it is not known
  TsunamiGrade grade = TsunamiGrade::kUnknown;
  bool immediate = false;
  std::u16string arrivalTime;  // firstHeight.arrivalTime, "YYYY/MM/DD hh:mm:ss"
  std::u16string condition;    // firstHeight.condition, e.g. "津波到達中と推測"
  std::u16string maxHeight;    // maxHeight.description, e.g. "３ｍ", "巨大"
  bool operator==(const TsunamiRegion&) const = default;
};

// A tsunami message: the newest forecast in force, or its cancellation (`cancelled`, with no
// regions).
struct TsunamiMessage {
  static constexpr std::size_t kMaxRegions = 200;  // the agency has 66 forecast regions
  static constexpr int kMaxText = 64;

  std::string id;
  std::u16string issueTime;  // issue.time, "YYYY/MM/DD hh:mm:ss"
  bool cancelled = false;
  std::vector<TsunamiRegion> regions;
  // Regions left out: past kMaxRegions, or entries that are no objects.
  int regionsLeftOut = 0;
  bool operator==(const TsunamiMessage&) const = default;
};

// Reads one tsunami message (a pushed text) with Qt's JSON reader: nothing unless it is one
// well-formed JSON object (at most 32 levels deep, strings in UTF-8) with "code" 552, a boolean
// "cancelled" and an "issue" object.
std::optional<TsunamiMessage> ReadTsunamiMessage(std::string_view text);

// Reads an answer of the history list: the tsunami messages of a JSON array, in its order
// (newest first), leaving out the elements that are no tsunami messages. Nothing when the
// text is no JSON array.
std::optional<std::vector<TsunamiMessage>> ReadTsunamiList(std::string_view text);

}  // namespace hw
