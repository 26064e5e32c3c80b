#pragma once

#include <cstdint>
#include <string_view>

namespace hw {

// Text-to-number conversions with the runtime library's forgiving rules: leading blanks are
// skipped, then an optional sign and the longest valid number; no number gives 0. Integers
// saturate at the int32 range instead of overflowing.
std::int32_t LeadingInt(std::u16string_view text);
double LeadingDouble(std::u16string_view text);

}  // namespace hw
