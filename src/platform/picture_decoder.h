#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/surface.h"

namespace hw {

// Which kinds of picture file a decode accepts.
enum class PictureFormat : std::uint8_t {
  // Windows bitmap files only, as the theme's ".bmp" pictures are loaded.
  kBitmap,
  // JPEG, and also PNG, GIF and Windows bitmap files: the compressed map pictures.
  kCompressed,
};

enum class PictureError : std::uint8_t {
  kNone,
  kCannotOpen,   // the file is missing or cannot be read
  kNotAPicture,  // not a file of an accepted kind, or its headers are broken or incomplete
  kTooLarge,     // the decoded picture would exceed the decoder's memory limit
  kBroken,       // the headers were fine but the picture data could not be decoded
  kOutOfMemory,  // the pixels could not be had
};

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
};

}  // namespace hw
