#include "platform/jpeg/jpeg_map_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/blit.h"
#include "platform/jpeg/jpeg_decompressor.h"

namespace hw {
namespace {

// The largest DCT scale at which the decoded source rectangle keeps at least two pixels per
// destination pixel each way. The last step is then a shrink by area averaging of at least
// 2:1, which hides what the scaled inverse DCT does differently from averaging: views up to
// level 8 come out exactly as from the whole picture, levels 9 and 10 within a few levels on
// one-pixel lines, for about the same time as one pixel per destination pixel.
int ScaleFor(int w, int h, int sw, int sh) {
  int scale = 1;
  while (scale < 8 && std::int64_t{sw} >= std::int64_t{w} * scale * 4 &&
         std::int64_t{sh} >= std::int64_t{h} * scale * 4) {
    scale *= 2;
  }
  return scale;
}

// Decodes the region a stretch asks for, row by row.
class RegionRows final : public RowSource {
 public:
  RegionRows(std::string_view bytes, const JpegInfo& info, int scale)
      : jpeg_(bytes), info_(info), scale_(scale) {}

  bool Begin(const HeldRegion& region) override {
    if (!jpeg_.ReadHeader() || jpeg_.width() != info_.width || jpeg_.height() != info_.height ||
        !jpeg_.Start(scale_) || jpeg_.outputWidth() != (info_.width + scale_ - 1) / scale_ ||
        jpeg_.outputHeight() != (info_.height + scale_ - 1) / scale_) {
      return false;
    }
    // One column more on each side than the stretch reads: at a crop's edge libjpeg's smooth
    // chroma upsampling lacks the neighbouring chroma sample, so the edge column differs from
    // a whole decode.
    int first = std::max(region.firstColumn - 1, 0);
    int count = std::min(region.endColumn + 1, jpeg_.outputWidth()) - first;
    if (!jpeg_.CropColumns(&first, &count)) return false;
    if (first > region.firstColumn || first + count < region.endColumn) return false;
    offset_ = static_cast<std::size_t>(region.firstColumn - first);
    width_ = static_cast<std::size_t>(region.endColumn - region.firstColumn);
    decoded_.resize(static_cast<std::size_t>(count));
    return jpeg_.SkipRows(region.firstRow);
  }

  bool ReadRow(int, std::uint32_t* pixels) override {
    if (!jpeg_.ReadRow(decoded_.data())) return false;
    std::memcpy(pixels, decoded_.data() + offset_, width_ * sizeof(std::uint32_t));
    return true;
  }

 private:
  JpegDecompressor jpeg_;
  JpegInfo info_;
  int scale_;
  std::size_t offset_ = 0;
  std::size_t width_ = 0;
  std::vector<std::uint32_t> decoded_;
};

class JpegRegionPicture final : public MapPicture {
 public:
  JpegRegionPicture(std::string bytes, const JpegInfo& info)
      : bytes_(std::move(bytes)), info_(info) {}

  int width() const override { return info_.width; }
  int height() const override { return info_.height; }

  bool StretchTo(Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw,
                 int sh) override {
    const int scale = ScaleFor(w, h, sw, sh);
    RegionRows rows(bytes_, info_, scale);
    if (StretchFromRows(dst, x, y, w, h, {info_.width, info_.height, scale}, sx, sy, sw, sh,
                        rows)) {
      return true;
    }
    dst.FillRect(x, y, w, h, 0);
    return false;
  }

 private:
  std::string bytes_;
  JpegInfo info_;
};

}  // namespace

std::optional<JpegInfo> InspectJpeg(std::string_view bytes) {
  JpegDecompressor jpeg(bytes);
  if (!jpeg.ReadHeader() || jpeg.width() <= 0 || jpeg.height() <= 0) return std::nullopt;
  return JpegInfo{jpeg.width(), jpeg.height(), jpeg.ReadableByRows()};
}

std::unique_ptr<MapPicture> OpenJpegByRegion(std::string bytes, const JpegInfo& info) {
  return std::make_unique<JpegRegionPicture>(std::move(bytes), info);
}

}  // namespace hw
