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
// Qt refuses pictures above a process-wide allocation limit (128 MB by default, too small for
// the maps); constructing a decoder raises that limit to the decoder's own, which is checked
// before Qt is asked to decode anything.
class QtPictureDecoder final : public PictureDecoder {
 public:
  explicit QtPictureDecoder(std::size_t maxPictureBytes = kDefaultMaxPictureBytes);

  DecodedPicture Decode(std::string_view bytes, PictureFormat format) override;
  DecodedPicture DecodeFile(std::u16string_view path, PictureFormat format) override;
  OpenedMapPicture OpenMap(std::string bytes, PictureFormat format) override;
  OpenedMapPicture OpenMapFile(std::u16string_view path, PictureFormat format) override;

 private:
  DecodedPicture Read(QIODevice& device, std::uint64_t size, PictureFormat format) const;

  std::size_t maxPictureBytes_;
};

}  // namespace hw
