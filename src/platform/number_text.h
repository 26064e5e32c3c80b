#pragma once

#include <cstdint>
#include <string_view>

namespace hw {

// Text-to-number conversions with the runtime library's forgiving rules: leading blanks are
// skipped, then an optional sign and the longest valid number; no number gives 0. Integers
// saturate at the int32 range instead of overflowing.
std::int32_t LeadingInt(std::u16string_view text);
double LeadingDouble(std::u16string_view text);

// The value of one hexadecimal digit (either case), or −1 for any other character.
constexpr int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace hw
