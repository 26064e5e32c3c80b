#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/map_picture.h"

namespace hw {

// What the headers of a JPEG file say.
struct JpegInfo {
  int width = 0;
  int height = 0;
  // One sequential scan in grey, YCbCr or RGB: the pictures decoded by region. Others
  // (progressive, CMYK) are decoded whole.
  bool readableByRegion = false;
};

// Reads the headers of a JPEG file; nullopt when they are broken or incomplete.
std::optional<JpegInfo> InspectJpeg(std::string_view bytes);

// A map picture kept as its JPEG file in memory. Each StretchTo decodes only the blocks its
// source rectangle covers (the columns by cropping, the rows above by skipping, stopping after
// the last row it needs), at the smallest DCT scale (1/1, 1/2, 1/4 or 1/8) that still gives at
// least one decoded pixel per destination pixel each way, a few rows at a time. The geometry is
// StretchBlt's from the whole picture: at scale 1 the result equals StretchBlt from a whole
// decode bit for bit; at smaller scales the decoded pixels are libjpeg's scaled inverse DCT
// instead of exact block averages, which differ slightly at sharp edges. A damaged file
// decodes as libjpeg decodes it whole (a file cut short shows mid-grey from the first missing
// block on); StretchTo fails only where libjpeg gives up. `info` must come from InspectJpeg on
// these bytes and say readableByRegion.
std::unique_ptr<MapPicture> OpenJpegByRegion(std::string bytes, const JpegInfo& info);

}  // namespace hw
