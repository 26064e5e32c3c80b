#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hw {

// The two members of a pushed message that say whether it announces a report: the top-level
// "code" and the message's id (a string "_id", else "id").
struct PushNotice {
  int code = 0;
  std::string id;
};

// Reads a pushed text message with Qt's JSON reader. Nothing when it is not one well-formed
// JSON object (with at most 32 levels of nesting, strings in UTF-8) or lacks a numeric "code".
// A code that is not a whole number in the range of int reads as 0; of repeated members the
// last counts; the id is the string's value (escapes decoded) and may be empty.
std::optional<PushNotice> ReadPushMessage(std::string_view text);

}  // namespace hw
