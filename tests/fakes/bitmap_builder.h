#pragma once

#include <functional>
#include <string>

#include "platform/colorref.h"

namespace hw::test {

// The layout of a Windows bitmap file to write.
struct BitmapSpec {
  int width = 5;
  int height = 3;
  int bitsPerPixel = 24;  // 8 (with a palette of the picture's colours), 24 or 32
  bool topDown = false;
  int headerSize = 40;        // 12 (OS/2 core header), 40, 108 (V4) or 124 (V5)
  bool runLength = false;     // 8 bits per pixel only: RLE8, one run per pixel
  bool alphaChannel = false;  // 32 bits per pixel, V4/V5 header: bit fields with an alpha mask
};

// Writes a bitmap file byte by byte, independently of the program's own writer.
std::string BuildBitmapFile(const BitmapSpec& spec,
                            const std::function<COLORREF(int x, int y)>& colourAt);

// A small picture whose every pixel differs from its neighbours, for checking row order.
COLORREF PatternColour(int x, int y);

}  // namespace hw::test
