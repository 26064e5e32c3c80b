#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/picture_decoder.h"

class QIODevice;

namespace hw {

// PictureDecoder on Qt's image readers (QImageReader: Windows bitmaps of 1 to 32 bits per
// pixel in either row order, JPEG through libjpeg-turbo, PNG and GIF). Windows bitmap headers
// are checked by our own inspection first, so a truncated bitmap fails instead of coming back
// with rows Qt never filled. Pictures are decoded straight into the surface's pixels where the
// reader allows it, so a 405 MB map needs no second copy.
//
// Map pictures bigger than `wholeMapBytes` decoded are not decoded whole: a single-scan JPEG
// is kept as its file in memory and decoded by region when drawn (on libjpeg-turbo directly,
// platform/jpeg/), and an uncompressed bitmap file stays on disk and is read by rows. Smaller
// pictures, and kinds that cannot be read in parts, are decoded whole when opened: decoding
// a small picture once costs less than decoding its parts at every composition.
//
// Qt refuses pictures above a process-wide allocation limit (128 MB by default, too small for
// the maps); constructing a decoder raises that limit to the decoder's own, which is checked
// before Qt is asked to decode anything.
class QtPictureDecoder final : public PictureDecoder {
 public:
  // 16 MiB: pictures of up to 2048 × 2048 pixels are decoded whole when opened as maps.
  static constexpr std::size_t kDefaultWholeMapBytes = std::size_t{16} << 20;

  explicit QtPictureDecoder(std::size_t maxPictureBytes = kDefaultMaxPictureBytes,
                            std::size_t wholeMapBytes = kDefaultWholeMapBytes);

  DecodedPicture Decode(std::string_view bytes, PictureFormat format) override;
  DecodedPicture DecodeFile(std::u16string_view path, PictureFormat format) override;
  OpenedMapPicture OpenMap(std::string bytes, PictureFormat format) override;
  OpenedMapPicture OpenMapFile(std::u16string_view path, PictureFormat format) override;

 private:
  DecodedPicture Read(QIODevice& device, std::uint64_t size, PictureFormat format) const;

  bool Fits(std::int64_t width, std::int64_t height) const;

  std::size_t maxPictureBytes_;
  std::size_t wholeMapBytes_;
};

}  // namespace hw
