#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hw {

// The report reader reduces a time "YYYY/MM/DD hh:mm:ss" to its 14 digits "YYYYMMDDhhmmss";
// these helpers turn such digits into the stored key and display texts. Short or malformed
// digit texts give empty or zero fields, never an out-of-range read.

// A minute count that grows with the time:
// yyy × 16338240 + MM × 44640 + DD × 1440 + hh × 60 + mm, yyy being the year's last three digits.
std::int32_t TimeKey(std::u16string_view digits);

// "2024年 1月" (padding 0: a month's leading zero becomes a blank) or "2024年01月".
std::u16string YearMonthText(std::u16string_view digits, int padding);

// " 5日 7時08分" (padding 0: day and hour lose a leading zero to a blank; minutes never do)
// or "05日07時08分".
std::u16string DayTimeText(std::u16string_view digits, int padding);

// The depth as written followed by "km"; "ごく浅い" when it begins with "0", "---" when it
// begins with "-".
std::u16string DepthText(std::u16string_view depthValue);

}  // namespace hw
