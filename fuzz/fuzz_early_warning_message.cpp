#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "acquisition/early_warning_board.h"
#include "platform/early_warning_message.h"

// Any bytes are read as a pushed early warning; what is read keeps to its limits, and the
// board takes it (twice, as a repeated push, and with test messages shown or not) and lets
// it expire without failing.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<hw::EarlyWarningMessage> message = hw::ReadEarlyWarningMessage(text);
  if (!message) return 0;
  if (message->areas.size() > hw::EarlyWarningMessage::kMaxAreas) __builtin_trap();
  if (message->id.size() > size || message->eventId.size() > size) __builtin_trap();
  for (const hw::EarlyWarningArea& area : message->areas) {
    if (area.name.size() > hw::EarlyWarningMessage::kMaxText) __builtin_trap();
  }
  for (const bool showTest : {false, true}) {
    hw::EarlyWarningBoard board;
    board.TakeOver(*message, 0, showTest);
    board.TakeOver(*message, 1, showTest);
    board.Tick(200000);
  }
  return 0;
}
