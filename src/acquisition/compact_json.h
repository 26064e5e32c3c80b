#pragma once

#include <string>
#include <string_view>

namespace hw {

// The same JSON text without its insignificant whitespace: blanks, tabs, carriage returns and
// line feeds outside strings are dropped, everything else (strings with their escapes
// included) is kept byte for byte, so compact input comes back unchanged. Text that is not
// JSON is treated the same way; a string that never ends keeps the rest of the text as it is.
std::string CompactJson(std::string_view text);

}  // namespace hw
