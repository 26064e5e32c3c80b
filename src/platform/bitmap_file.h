#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/surface.h"

namespace hw {

// What the headers of a Windows bitmap file say about its pixels.
struct BitmapFileInfo {
  int width = 0;
  int height = 0;  // always positive; `topDown` tells the row order
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  std::uint64_t pixelOffset = 0;  // where the first pixel row starts in the file
  std::uint64_t pixelBytes = 0;   // bytes of all pixel rows; 0 when run-length compressed
  // The palette of 1 to 8 bits per pixel: where it starts, its entries and their size (4
  // bytes B, G, R, 0; 3 bytes with an OS/2 core header).
  std::uint64_t paletteOffset = 0;
  std::uint32_t paletteColours = 0;
  int paletteEntryBytes = 4;
  // The colour masks of compression 3 (bit fields); 0 otherwise.
  std::uint32_t redMask = 0;
  std::uint32_t greenMask = 0;
  std::uint32_t blueMask = 0;
};

// The file and info headers with colour masks fit in this many leading bytes of a file.
inline constexpr std::size_t kBitmapHeadBytes = 14 + 124 + 16;

// Reads the headers of a Windows bitmap file from its first bytes (`head`, at least the
// headers) and the size of the whole file. Gives nullopt when the file is not one the program
// reads: no "BM" signature, an unknown header size, a width or height of 0 or below, a plane
// count other than 1, a bit count other than 1, 4, 8, 16, 24 or 32, a compression that does
// not fit the bit count (embedded JPEG and PNG included), or an uncompressed file too short to
// hold all its rows. Nothing here allocates, whatever the header claims.
std::optional<BitmapFileInfo> InspectBitmapFile(std::string_view head, std::uint64_t fileSize);

// The surface as a 24-bit bottom-up Windows bitmap file (BITMAPINFOHEADER, rows padded to four
// bytes), the form every Windows program reads. An empty surface gives an empty string.
std::string EncodeBitmapFile(const Surface& surface);

}  // namespace hw
