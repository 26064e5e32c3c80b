#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hw {

// The two members of a pushed message that say whether it announces a report: the top-level
// "code" and the message's id ("_id", or "id" when there is no "_id").
struct PushNotice {
  int code = 0;
  std::string id;
};

// Reads a pushed text message. Nothing when it is not one well-formed JSON object (with at
// most a few levels of nesting) or lacks a numeric "code"; the id may be empty.
std::optional<PushNotice> ReadPushMessage(std::string_view text);

}  // namespace hw
