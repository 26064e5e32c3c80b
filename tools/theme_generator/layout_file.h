#pragma once

#include <string>

#include "settings/theme_layout.h"

namespace hw::themegen {

// The theme layout file of `layout`: every key with its value, sections in reading order,
// with comments that explain each section to theme authors (CR LF line ends, ASCII). The
// note of [Table] also lists the keys to change for the theme's list form, `listForm`.
std::string WriteLayoutFile(const ThemeLayout& layout, const ThemeLayout& listForm);

}  // namespace hw::themegen
