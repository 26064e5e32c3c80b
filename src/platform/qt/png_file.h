#pragma once

#include <string>

#include "platform/geometry.h"
#include "platform/surface.h"

namespace hw {

// Writes `region` of `surface` (clipped to it) as a PNG file at `path` (a native path). False
// when the region is empty or the file cannot be written.
bool WritePngFile(const std::string& path, const Surface& surface, const Rect& region);

}  // namespace hw
