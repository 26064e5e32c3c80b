#pragma once

#include <cstddef>
#include <string_view>

namespace hw {

// UTF-16 code units that make up a surrogate pair.
constexpr bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// How many units of `text` to keep when it must fit `limit` units: the whole text when it
// fits, else `limit`, one fewer when the cut would split a surrogate pair.
std::size_t CutLengthKeepingPairs(std::u16string_view text, std::size_t limit);

}  // namespace hw
