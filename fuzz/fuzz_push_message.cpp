#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/push_message.h"

// Any bytes from the push channel are read as one message; an id read from them is a part of
// them, so it can never be longer than the message.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const std::optional<hw::PushNotice> notice = hw::ReadPushMessage(text)) {
    if (notice->id.size() > size) __builtin_trap();
  }
  return 0;
}
