#pragma once

#include <cstdint>

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

}  // namespace hw
