#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

// A stored message of the service and the second of a cycle at which it is played.
struct TimedMessage {
  int second = 0;
  std::string text;  // the message as compact JSON
  bool operator==(const TimedMessage&) const = default;
};

// Reads a JSON array of {"at": second, "message": {…}} with Qt's JSON reader, as the rotating
// demo's warnings are stored: each message as compact JSON text, in the file's order. Elements
// without a whole "at" from 0 to `cycleSeconds` − 1 or without an object "message" are left
// out. Nothing when the text is not one well-formed JSON array (at most 32 levels deep).
std::optional<std::vector<TimedMessage>> ReadTimedMessages(std::string_view text, int cycleSeconds);

}  // namespace hw
