#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/map_picture.h"
#include "platform/picture_error.h"
#include "platform/surface.h"

namespace hw {

// The outcome of one decode: either a picture (opaque pixels, top row first, in the surface
// layout) or an error with an empty surface, never half a picture.
struct DecodedPicture {
  Surface picture;
  PictureError error = PictureError::kNone;

  bool ok() const { return error == PictureError::kNone; }
};

// Turns picture files into surfaces. The limit is checked against the size the headers
// claim before any pixel memory is taken, so a header claiming 60000 × 60000 pixels fails at
// once instead of allocating gigabytes.
class PictureDecoder {
 public:
  // 512 MiB of 32-bit pixels per picture: the default maps of Japan (11,520 × 8,778 pixels,
  // 405 MB) fit; anything much larger is not a theme picture.
  static constexpr std::size_t kDefaultMaxPictureBytes = std::size_t{512} << 20;

  virtual ~PictureDecoder() = default;

  // Decodes a whole file held in memory.
  virtual DecodedPicture Decode(std::string_view bytes, PictureFormat format) = 0;
  // Decodes the file at `path` (the program's path text, "\" separators allowed), reading it
  // as it decodes rather than holding the whole file in memory.
  virtual DecodedPicture DecodeFile(std::u16string_view path, PictureFormat format) = 0;

  // Opens a map picture file held in memory (a JPEG, say) so that each composition decodes
  // only the part it shows: the bytes are kept and only the headers are read now, so errors in
  // the picture data show when it is drawn. Kinds that cannot be read in parts (PNG, GIF,
  // progressive JPEG, bitmap files) and small pictures are decoded whole here, with Decode's
  // errors. The same limit holds as for Decode.
  virtual OpenedMapPicture OpenMap(std::string bytes, PictureFormat format) = 0;
  // Opens the map picture file at `path`: a big uncompressed bitmap file stays on disk and its
  // rows are read when a composition needs them; other files are read as by OpenMap, or
  // decoded whole as by DecodeFile.
  virtual OpenedMapPicture OpenMapFile(std::u16string_view path, PictureFormat format) = 0;
};

// A picture decoded whole as a map picture (a DecodedMapPicture), or the decode's error.
OpenedMapPicture HoldWholePicture(DecodedPicture decoded);

}  // namespace hw
