#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace hw {

// Encodes rows of 32-bit pixels (0xAARRGGBB words, `pitch` pixels apart) as PNG, for pictures
// written many times a second: no row filter and zlib's fastest level, which is twice as
// fast as adaptive filtering and still makes a 1920 × 1080 picture of flat areas about
// 300 KB. With `alpha` each pixel's top byte is its opacity; without it the picture is opaque
// RGB. Nothing when libpng fails.
std::optional<std::string> EncodeFastPng(const std::uint32_t* pixels, int width, int height,
                                         int pitch, bool alpha);

}  // namespace hw
