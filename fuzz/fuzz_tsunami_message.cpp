#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "acquisition/tsunami_board.h"
#include "platform/tsunami_message.h"

// Any bytes are read as a pushed tsunami forecast and as a history list; what is read keeps to
// its limits, and the board takes each message (twice, as a repeated push) without failing.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  hw::TsunamiBoard board;
  std::int64_t nowMs = 0;
  const auto take = [&](const hw::TsunamiMessage& message) {
    if (message.regions.size() > hw::TsunamiMessage::kMaxRegions) __builtin_trap();
    if (message.id.size() > size) __builtin_trap();
    for (const hw::TsunamiRegion& region : message.regions) {
      if (region.name.size() > hw::TsunamiMessage::kMaxText) __builtin_trap();
    }
    board.TakeOver(message, nowMs, 0);
    board.TakeOver(message, nowMs, 0);
    nowMs += 30000;
    board.Tick(nowMs);
  };
  if (const std::optional<hw::TsunamiMessage> message = hw::ReadTsunamiMessage(text)) {
    take(*message);
  }
  if (const std::optional<std::vector<hw::TsunamiMessage>> list = hw::ReadTsunamiList(text)) {
    for (const hw::TsunamiMessage& message : *list)
      take(message);
  }
  return 0;
}
