#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/map_picture.h"
#include "platform/qt/qt_picture_decoder.h"

// Any bytes open as a map picture or give an error, and every drawing of an opened picture
// either succeeds or fails with its destination rectangle black: never a crash, a read outside
// the input, or libjpeg ending the process. Every picture is decoded by region where it can be.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kLimit = std::size_t{16} << 20;
  hw::QtPictureDecoder decoder(kLimit, 0);
  hw::OpenedMapPicture opened = decoder.OpenMap(
      std::string(reinterpret_cast<const char*>(data), size), hw::PictureFormat::kCompressed);
  if (opened.ok() != (opened.picture != nullptr)) std::abort();
  if (!opened.ok()) return 0;
  hw::MapPicture& map = *opened.picture;
  const int w = map.width();
  const int h = map.height();
  // The whole picture shrunk (every DCT scale, depending on its size), a part one to one, and
  // a rectangle past every edge.
  const int rects[][4] = {{0, 0, w, h}, {w / 3, h / 3, 24, 16}, {-w / 2, -h / 2, 2 * w, 2 * h}};
  for (const auto& r : rects) {
    hw::Surface dst(26, 18);
    dst.Fill(0x010203);
    if (!map.StretchTo(dst, 1, 1, 24, 16, r[0], r[1], r[2], r[3])) {
      for (int y = 1; y < 17; ++y) {
        for (int x = 1; x < 25; ++x) {
          if (dst.GetPixel(x, y) != 0) std::abort();
        }
      }
    }
  }
  return 0;
}
