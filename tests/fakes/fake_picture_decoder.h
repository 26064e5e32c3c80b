#pragma once

#include <string>
#include <vector>

#include "platform/picture_decoder.h"

namespace hw::test {

// Decodes stand-in picture files: the text "PICTURE bmp W H" is a bitmap file and
// "PICTURE jpg W H" a compressed one, of W × H grey pixels; anything else is no picture.
// Records every file it was asked to open and every picture decoded from memory. Map pictures
// are decoded whole (DecodedMapPicture) through Decode and DecodeFile, and recorded by them.
class FakePictureDecoder final : public PictureDecoder {
 public:
  DecodedPicture Decode(std::string_view bytes, PictureFormat format) override;
  DecodedPicture DecodeFile(std::u16string_view path, PictureFormat format) override;
  OpenedMapPicture OpenMap(std::string bytes, PictureFormat format) override;
  OpenedMapPicture OpenMapFile(std::u16string_view path, PictureFormat format) override;

  static std::string Bitmap(int width, int height);
  static std::string Jpeg(int width, int height);

  std::vector<std::u16string> openedFiles;
  int memoryDecodes = 0;
};

}  // namespace hw::test
