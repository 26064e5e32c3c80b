#include "platform/utf16.h"

namespace hw {

std::size_t CutLengthKeepingPairs(std::u16string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  if (limit > 0 && IsHighSurrogate(text[limit - 1]) && IsLowSurrogate(text[limit])) {
    return limit - 1;
  }
  return limit;
}

}  // namespace hw
