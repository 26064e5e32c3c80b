#pragma once

#include <memory>

#include "platform/bitmap_file.h"
#include "platform/map_picture.h"
#include "platform/read_only_file.h"

namespace hw {

// Whether a bitmap file of this layout can stay on disk as a map picture read by rows:
// uncompressed files of 8 bits per pixel (with a palette), 24, or 32 bits (also bit fields
// with red, green and blue each in its usual byte), in either row order. Others are decoded
// whole.
bool CanReadBitmapByRows(const BitmapFileInfo& info);

// A map picture that stays a bitmap file on disk: each StretchTo reads only the rows and
// columns its source rectangle covers, one row at a time, so memory stays a few rows whatever
// the picture's size. The pixels are exactly those of a whole decode (bitmaps are lossless),
// so StretchTo equals StretchBlt from the decoded picture bit for bit. A file that can no
// longer be read (cut short since it was opened) makes StretchTo fail. `info` must come from
// InspectBitmapFile on this file and satisfy CanReadBitmapByRows; nullptr when the palette
// cannot be read.
std::unique_ptr<MapPicture> OpenBitmapByRows(ReadOnlyFile file, const BitmapFileInfo& info);

}  // namespace hw
