#pragma once

#include <string>

namespace hw {

// printf formatting of an event log text: `format` and every %s argument are UTF-8, numbers
// are written with the C locale's decimal point. Gives the UTF-16 text, whatever its length.
std::u16string FormatLogText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace hw
