#include "platform/bitmap_file.h"

#include <algorithm>
#include <climits>

namespace hw {
namespace {

constexpr std::uint64_t kFileHeaderBytes = 14;

// Header sizes in use: OS/2 1.x core header, BITMAPINFOHEADER, the two Adobe variants with
// masks, OS/2 2.x, BITMAPV4HEADER and BITMAPV5HEADER.
constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kInfoHeader = 40;

enum Compression : std::uint32_t { kNone = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

bool KnownHeaderSize(std::uint32_t size) {
  switch (size) {
    case 12:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
      return true;
    default:
      return false;
  }
}

// Little-endian fields; the caller has checked that the bytes exist.
std::uint32_t U16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}
std::uint32_t U32(std::string_view bytes, std::size_t at) {
  return U16(bytes, at) | U16(bytes, at + 2) << 16;
}
std::int32_t I32(std::string_view bytes, std::size_t at) {
  return static_cast<std::int32_t>(U32(bytes, at));
}

bool CompressionFits(std::uint32_t compression, int bitsPerPixel, bool topDown) {
  switch (compression) {
    case kNone:
      return true;
    case kRle8:
      return bitsPerPixel == 8 && !topDown;
    case kRle4:
      return bitsPerPixel == 4 && !topDown;
    case kBitFields:
      return bitsPerPixel == 16 || bitsPerPixel == 32;
    default:
      return false;
  }
}

void PutU16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void PutU32(std::string& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

}  // namespace

std::optional<BitmapFileInfo> InspectBitmapFile(std::string_view head, std::uint64_t fileSize) {
  if (head.size() < kFileHeaderBytes + 4 || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  const std::uint32_t headerSize = U32(head, 14);
  if (!KnownHeaderSize(headerSize) || head.size() < kFileHeaderBytes + headerSize) {
    return std::nullopt;
  }

  BitmapFileInfo info;
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t colorsUsed = 0;
  if (headerSize == kCoreHeader) {
    width = U16(head, 18);
    height = U16(head, 20);
    planes = U16(head, 22);
    info.bitsPerPixel = static_cast<int>(U16(head, 24));
  } else {
    width = I32(head, 18);
    height = I32(head, 22);
    planes = U16(head, 26);
    info.bitsPerPixel = static_cast<int>(U16(head, 28));
    info.compression = U32(head, 30);
    colorsUsed = U32(head, 46);
  }
  info.topDown = height < 0;
  height = height < 0 ? -height : height;
  if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX || planes != 1) {
    return std::nullopt;
  }
  switch (info.bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return std::nullopt;
  }
  if (!CompressionFits(info.compression, info.bitsPerPixel, info.topDown)) return std::nullopt;
  info.width = static_cast<int>(width);
  info.height = static_cast<int>(height);

  // The pixel rows follow the headers, the colour masks and the palette, or start at the
  // offset the file header gives when that lies further on.
  std::uint64_t dataStart = kFileHeaderBytes + headerSize;
  if (info.compression == kBitFields) {
    // The masks follow a BITMAPINFOHEADER and are part of every longer header.
    if (head.size() < 66) return std::nullopt;
    info.redMask = U32(head, 54);
    info.greenMask = U32(head, 58);
    info.blueMask = U32(head, 62);
    if (headerSize == kInfoHeader) dataStart += 12;
  }
  if (info.bitsPerPixel <= 8) {
    const std::uint64_t colours = colorsUsed != 0 ? colorsUsed : 1u << info.bitsPerPixel;
    if (colours > 256) return std::nullopt;
    info.paletteOffset = dataStart;
    info.paletteColours = static_cast<std::uint32_t>(colours);
    info.paletteEntryBytes = headerSize == kCoreHeader ? 3 : 4;
    dataStart += colours * static_cast<std::uint64_t>(info.paletteEntryBytes);
  }
  info.pixelOffset = std::max<std::uint64_t>(U32(head, 10), dataStart);

  if (info.compression == kRle8 || info.compression == kRle4) {
    if (fileSize <= info.pixelOffset) return std::nullopt;
    return info;
  }
  const std::uint64_t rowBytes =
      (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(info.bitsPerPixel) + 31) /
      32 * 4;
  info.pixelBytes = rowBytes * static_cast<std::uint64_t>(height);
  if (fileSize < info.pixelOffset || fileSize - info.pixelOffset < info.pixelBytes) {
    return std::nullopt;
  }
  return info;
}

std::string EncodeBitmapFile(const Surface& surface) {
  if (surface.empty()) return {};
  const auto width = static_cast<std::uint32_t>(surface.width());
  const auto height = static_cast<std::uint32_t>(surface.height());
  const std::uint64_t rowBytes64 = (std::uint64_t{width} * 3 + 3) / 4 * 4;
  // The file's size fields are 32-bit.
  if (rowBytes64 * height > 0x7FFF0000u) return {};
  const auto rowBytes = static_cast<std::uint32_t>(rowBytes64);
  const std::uint32_t pixelBytes = rowBytes * height;
  constexpr std::uint32_t kOffset = 14 + 40;

  std::string out;
  out.reserve(kOffset + pixelBytes);
  out += "BM";
  PutU32(out, kOffset + pixelBytes);
  PutU32(out, 0);
  PutU32(out, kOffset);
  PutU32(out, 40);
  PutU32(out, width);
  PutU32(out, height);  // positive: the last row comes first
  PutU16(out, 1);
  PutU16(out, 24);
  PutU32(out, kNone);
  PutU32(out, pixelBytes);
  PutU32(out, 2835);  // 72 dots per inch
  PutU32(out, 2835);
  PutU32(out, 0);
  PutU32(out, 0);
  for (int y = surface.height() - 1; y >= 0; --y) {
    const std::uint32_t* row = surface.Row(y);
    for (int x = 0; x < surface.width(); ++x) {
      out.push_back(static_cast<char>(row[x] & 0xFF));
      out.push_back(static_cast<char>((row[x] >> 8) & 0xFF));
      out.push_back(static_cast<char>((row[x] >> 16) & 0xFF));
    }
    out.append(rowBytes - width * 3, '\0');
  }
  return out;
}

}  // namespace hw
