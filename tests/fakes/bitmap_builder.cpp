#include "fakes/bitmap_builder.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace hw::test {
namespace {

void Put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

COLORREF PatternColour(int x, int y) {
  return MakeColorRef(20 + 40 * x, 30 + 70 * y, 250 - 25 * (x + y));
}

std::string BuildBitmapFile(const BitmapSpec& spec,
                            const std::function<COLORREF(int x, int y)>& colourAt) {
  std::vector<COLORREF> palette;
  if (spec.bitsPerPixel == 8) {
    for (int y = 0; y < spec.height; ++y) {
      for (int x = 0; x < spec.width; ++x) {
        const COLORREF c = colourAt(x, y);
        if (std::find(palette.begin(), palette.end(), c) == palette.end()) palette.push_back(c);
      }
    }
  }
  // A core header has no colour count: its palette always has 2^bits entries.
  if (spec.headerSize == 12 && spec.bitsPerPixel == 8) palette.resize(256, 0);
  const auto indexOf = [&](COLORREF c) {
    return static_cast<char>(std::find(palette.begin(), palette.end(), c) - palette.begin());
  };

  // Pixel rows in file order.
  std::string pixels;
  const int rowBytes = (spec.width * spec.bitsPerPixel + 31) / 32 * 4;
  for (int i = 0; i < spec.height; ++i) {
    const int y = spec.topDown ? i : spec.height - 1 - i;
    std::string row;
    for (int x = 0; x < spec.width; ++x) {
      const COLORREF c = colourAt(x, y);
      if (spec.runLength) {
        row.push_back(1);
        row.push_back(indexOf(c));
      } else if (spec.bitsPerPixel == 8) {
        row.push_back(indexOf(c));
      } else {
        row.push_back(static_cast<char>((c >> 16) & 0xFF));
        row.push_back(static_cast<char>((c >> 8) & 0xFF));
        row.push_back(static_cast<char>(c & 0xFF));
        if (spec.bitsPerPixel == 32) row.push_back(spec.alphaChannel ? '\x40' : '\0');
      }
    }
    if (spec.runLength) {
      row += std::string("\0\0", 2);  // end of line
    } else {
      row.resize(static_cast<std::size_t>(rowBytes), '\0');
    }
    pixels += row;
  }
  if (spec.runLength) pixels += std::string("\0\1", 2);  // end of picture

  const bool core = spec.headerSize == 12;
  const std::size_t paletteBytes = palette.size() * (core ? 3 : 4);
  const auto offset = static_cast<std::uint32_t>(14 + spec.headerSize + paletteBytes);
  std::string out = "BM";
  Put32(out, offset + static_cast<std::uint32_t>(pixels.size()));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, static_cast<std::uint32_t>(spec.headerSize));
  if (core) {
    Put16(out, static_cast<std::uint32_t>(spec.width));
    Put16(out, static_cast<std::uint32_t>(spec.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(spec.bitsPerPixel));
  } else {
    Put32(out, static_cast<std::uint32_t>(spec.width));
    Put32(out, static_cast<std::uint32_t>(spec.topDown ? -spec.height : spec.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(spec.bitsPerPixel));
    Put32(out, spec.runLength ? 1 : spec.alphaChannel ? 3 : 0);
    Put32(out, static_cast<std::uint32_t>(pixels.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<std::uint32_t>(palette.size()));
    Put32(out, 0);
    if (spec.headerSize > 40) {
      Put32(out, 0x00FF0000);  // red, green, blue and alpha masks
      Put32(out, 0x0000FF00);
      Put32(out, 0x000000FF);
      Put32(out, spec.alphaChannel ? 0xFF000000 : 0);
      Put32(out, 0x73524742);  // colour space "sRGB"
      out.append(static_cast<std::size_t>(spec.headerSize - 60), '\0');
    }
  }
  for (COLORREF c : palette) {
    out.push_back(static_cast<char>((c >> 16) & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
    out.push_back(static_cast<char>(c & 0xFF));
    if (!core) out.push_back('\0');
  }
  return out + pixels;
}

}  // namespace hw::test
