#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/bitmap_file.h"
#include "platform/qt/qt_picture_decoder.h"

// Any bytes give a picture or an error, never a crash or a read outside the input; a picture
// is never larger than the limit, and a failure never comes with pixels.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kLimit = std::size_t{16} << 20;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)hw::InspectBitmapFile(bytes, size);
  hw::QtPictureDecoder decoder(kLimit);
  for (hw::PictureFormat format : {hw::PictureFormat::kBitmap, hw::PictureFormat::kCompressed}) {
    const hw::DecodedPicture decoded = decoder.Decode(bytes, format);
    if (decoded.ok() && (decoded.picture.empty() || decoded.picture.ByteCount() > kLimit)) {
      std::abort();
    }
    if (!decoded.ok() && !decoded.picture.empty()) std::abort();
  }
  return 0;
}
