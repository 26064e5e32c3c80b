#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

// One target area of an early warning: a forecast region of the agency's earthquake
// information (the names of the area table) with its forecast intensity range. Intensities
// are the service's codes (10 … 70, 0 for intensity 0, −1 unknown; scaleTo 99 for "or more"),
// the whole part of the number sent.
struct EarlyWarningArea {
  std::u16string pref;
  std::u16string name;
  int scaleFrom = -1;
  int scaleTo = -1;
  std::u16string kindCode;
  bool operator==(const EarlyWarningArea&) const = default;
};

// An earthquake early warning (緊急地震速報（警報）, code 556) as the service delivers it. A
// cancellation carries no earthquake. Texts are cut to kMaxText units; a member that is missing
// or of another type reads as empty, false, or the service's own value for "none" (−200 for a
// coordinate, −1 for depth and magnitude).
struct EarlyWarningMessage {
  static constexpr std::size_t kMaxAreas = 400;  // the area table has 188
  static constexpr int kMaxText = 64;

  std::string id;
  bool test = false;
  bool cancelled = false;
  std::u16string issueTime;  // issue.time, "YYYY/MM/DD hh:mm:ss"
  std::string eventId;
  // issue.serial, a text of digits; 0 when it is none.
  int serial = 0;
  bool hasEarthquake = false;
  std::u16string originTime;
  std::u16string condition;  // "仮定震源要素" when the hypocentre is assumed
  std::u16string hypocentreName;
  double latitude = -200.0;
  double longitude = -200.0;
  double depth = -1.0;
  double magnitude = -1.0;
  std::vector<EarlyWarningArea> areas;
  // Areas left out: past kMaxAreas, or entries that are no objects.
  int areasLeftOut = 0;
  bool operator==(const EarlyWarningMessage&) const = default;
};

// Reads one early warning (a pushed text) with Qt's JSON reader: nothing unless it is one
// well-formed JSON object (at most 32 levels deep, strings in UTF-8) with "code" 556, a boolean
// "cancelled" and an "issue" object with a string "eventId".
std::optional<EarlyWarningMessage> ReadEarlyWarningMessage(std::string_view text);

}  // namespace hw
