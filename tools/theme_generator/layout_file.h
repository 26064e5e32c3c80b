#pragma once

#include <string>

#include "settings/theme_layout.h"

namespace hw::themegen {

// The theme layout file of `layout`: every key with its value, sections in reading order,
// with comments that explain each section to theme authors (CR LF line ends, ASCII).
std::string WriteLayoutFile(const ThemeLayout& layout);

}  // namespace hw::themegen
