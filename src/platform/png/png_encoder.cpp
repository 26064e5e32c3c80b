#include "platform/png/png_encoder.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>

namespace hw {
namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

void NoFlush(png_structp /*png*/) {}

// libpng reports errors by longjmp to the point set below; nothing with a destructor lives
// between the two, so the jump skips no clean-up.
bool Encode(std::string& out, const std::uint32_t* pixels, int width, int height, int pitch,
            bool alpha) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png)) != 0) {  // NOLINT(cert-err52-cpp): libpng's error protocol
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, 0, PNG_FILTER_NONE);
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  // The words are B, G, R, A in memory on a little-endian machine; without alpha the fourth
  // byte is stripped.
  png_set_bgr(png);
  if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < height; ++y) {
    // libpng takes the row as non-const but only reads it.
    png_write_row(png, reinterpret_cast<png_bytep>(const_cast<std::uint32_t*>(
                           pixels + static_cast<std::ptrdiff_t>(y) * pitch)));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::optional<std::string> EncodeFastPng(const std::uint32_t* pixels, int width, int height,
                                         int pitch, bool alpha) {
  if (pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return std::nullopt;
  std::string out;
  out.reserve(static_cast<std::size_t>(width) * height / 8);
  if (!Encode(out, pixels, width, height, pitch, alpha)) return std::nullopt;
  return out;
}

}  // namespace hw
