#include "platform/bitmap_map_picture.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/blit.h"

namespace hw {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

class BitmapRowsPicture final : public MapPicture {
 public:
  BitmapRowsPicture(ReadOnlyFile file, const BitmapFileInfo& info,
                    const std::array<std::uint32_t, 256>& palette)
      : file_(std::move(file)),
        info_(info),
        palette_(palette),
        rowBytes_((static_cast<std::uint64_t>(info.width) *
                       static_cast<std::uint64_t>(info.bitsPerPixel) +
                   31) /
                  32 * 4) {}

  int width() const override { return info_.width; }
  int height() const override { return info_.height; }

  bool StretchTo(Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw,
                 int sh) override {
    Rows rows(*this);
    if (StretchFromRows(dst, x, y, w, h, {info_.width, info_.height, 1}, sx, sy, sw, sh, rows)) {
      return true;
    }
    dst.FillRect(x, y, w, h, 0);
    return false;
  }

 private:
  // Reads the region's part of each row and turns it into surface pixels.
  class Rows final : public RowSource {
   public:
    explicit Rows(const BitmapRowsPicture& picture) : picture_(picture) {}

    bool Begin(const HeldRegion& region) override {
      first_ = region.firstColumn;
      count_ = static_cast<std::size_t>(region.endColumn - region.firstColumn);
      bytes_.resize(count_ * static_cast<std::size_t>(picture_.info_.bitsPerPixel / 8));
      return true;
    }

    bool ReadRow(int row, std::uint32_t* pixels) override {
      const BitmapFileInfo& info = picture_.info_;
      const auto fileRow = static_cast<std::uint64_t>(info.topDown ? row : info.height - 1 - row);
      const std::uint64_t offset =
          info.pixelOffset + fileRow * picture_.rowBytes_ +
          static_cast<std::uint64_t>(first_) * static_cast<std::uint64_t>(info.bitsPerPixel / 8);
      if (!picture_.file_.ReadAt(offset, bytes_.data(), bytes_.size())) return false;
      const unsigned char* in = bytes_.data();
      switch (info.bitsPerPixel) {
        case 8:
          for (std::size_t i = 0; i < count_; ++i) {
            pixels[i] = picture_.palette_[in[i]];
          }
          break;
        case 24:
          for (std::size_t i = 0; i < count_; ++i, in += 3) {
            pixels[i] = kOpaque | std::uint32_t{in[2]} << 16 | std::uint32_t{in[1]} << 8 | in[0];
          }
          break;
        default:  // 32: B, G, R and a byte that is not shown
          std::memcpy(pixels, in, count_ * 4);
          break;
      }
      return true;
    }

   private:
    const BitmapRowsPicture& picture_;
    int first_ = 0;
    std::size_t count_ = 0;
    std::vector<unsigned char> bytes_;
  };

  ReadOnlyFile file_;
  BitmapFileInfo info_;
  std::array<std::uint32_t, 256> palette_;
  std::uint64_t rowBytes_ = 0;
};

}  // namespace

bool CanReadBitmapByRows(const BitmapFileInfo& info) {
  switch (info.bitsPerPixel) {
    case 8:
    case 24:
      return info.compression == 0;
    case 32:
      return info.compression == 0 ||
             (info.compression == 3 && info.redMask == 0x00FF0000u &&
              info.greenMask == 0x0000FF00u && info.blueMask == 0x000000FFu);
    default:
      return false;
  }
}

std::unique_ptr<MapPicture> OpenBitmapByRows(ReadOnlyFile file, const BitmapFileInfo& info) {
  // Indices past the palette's end show black, as in a whole decode.
  std::array<std::uint32_t, 256> palette{};
  palette.fill(kOpaque);
  if (info.bitsPerPixel == 8) {
    const auto entry = static_cast<std::size_t>(info.paletteEntryBytes);
    std::vector<unsigned char> bytes(info.paletteColours * entry);
    if (!file.ReadAt(info.paletteOffset, bytes.data(), bytes.size())) return nullptr;
    for (std::size_t i = 0; i < info.paletteColours && i < palette.size(); ++i) {
      const unsigned char* c = bytes.data() + i * entry;
      palette[i] = kOpaque | std::uint32_t{c[2]} << 16 | std::uint32_t{c[1]} << 8 | c[0];
    }
  }
  return std::make_unique<BitmapRowsPicture>(std::move(file), info, palette);
}

}  // namespace hw
