#include "fakes/fake_picture_decoder.h"

#include <sstream>

#include "platform/file_system.h"

namespace hw::test {
namespace {

DecodedPicture Parse(std::string_view bytes, PictureFormat format) {
  std::istringstream in{std::string(bytes)};
  std::string magic;
  std::string kind;
  int width = 0;
  int height = 0;
  if (!(in >> magic >> kind >> width >> height) || magic != "PICTURE" || width <= 0 ||
      height <= 0 || width > 20000 || height > 20000) {
    return {Surface(), PictureError::kNotAPicture};
  }
  if (kind != "bmp" && !(kind == "jpg" && format == PictureFormat::kCompressed)) {
    return {Surface(), PictureError::kNotAPicture};
  }
  Surface picture(width, height);
  picture.Fill(0x808080);
  return {std::move(picture), PictureError::kNone};
}

std::string Describe(const char* kind, int width, int height) {
  return "PICTURE " + std::string(kind) + " " + std::to_string(width) + " " +
         std::to_string(height);
}

}  // namespace

DecodedPicture FakePictureDecoder::Decode(std::string_view bytes, PictureFormat format) {
  ++memoryDecodes;
  return Parse(bytes, format);
}

DecodedPicture FakePictureDecoder::DecodeFile(std::u16string_view path, PictureFormat format) {
  openedFiles.emplace_back(path);
  const auto bytes = ReadFileBytes(path, 1024);
  if (!bytes) return {Surface(), PictureError::kCannotOpen};
  return Parse(*bytes, format);
}

OpenedMapPicture FakePictureDecoder::OpenMap(std::string bytes, PictureFormat format) {
  return HoldWholePicture(Decode(bytes, format));
}

OpenedMapPicture FakePictureDecoder::OpenMapFile(std::u16string_view path, PictureFormat format) {
  return HoldWholePicture(DecodeFile(path, format));
}

std::string FakePictureDecoder::Bitmap(int width, int height) {
  return Describe("bmp", width, height);
}

std::string FakePictureDecoder::Jpeg(int width, int height) {
  return Describe("jpg", width, height);
}

}  // namespace hw::test
