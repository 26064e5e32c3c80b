#include "platform/map_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "fakes/bitmap_builder.h"
#include "fakes/temp_folder.h"
#include "platform/blit.h"
#include "platform/qt/qt_picture_decoder.h"

namespace hw {
namespace {

using test::BitmapSpec;
using test::BuildBitmapFile;

COLORREF FewColours(int x, int y) {
  return MakeColorRef(40 * (x % 4), 60 * (y % 4), 30 * ((x + y) % 4));
}

// Every pixel of a and b, and the largest channel difference.
int MaxDifference(const Surface& a, const Surface& b) {
  int largest = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      for (const int shift : {0, 8, 16}) {
        const int d = std::abs(static_cast<int>((a.Row(y)[x] >> shift) & 0xFF) -
                               static_cast<int>((b.Row(y)[x] >> shift) & 0xFF));
        largest = std::max(largest, d);
      }
    }
  }
  return largest;
}

// ---- Bitmap files ----

// A big bitmap stays on disk and is read by rows; every pixel is the one a whole decode gives,
// including palette indices past the palette's end.
TEST(QtMapPicture, BigBitmapFileIsReadByRowsWithTheWholeDecodesPixels) {
  test::TempFolder folder;
  std::string file = BuildBitmapFile({29, 11, 8, false}, FewColours);
  const std::size_t pixels = file.size() - 11 * 32;  // rows of 29 bytes padded to 32
  file[pixels + 3] = static_cast<char>(200);         // only 48 colours in the palette
  folder.Write("map.bmp", file);
  const std::u16string path = folder.U16() + u"\\map.bmp";

  QtPictureDecoder decoder(PictureDecoder::kDefaultMaxPictureBytes, 0);
  const OpenedMapPicture opened = decoder.OpenMapFile(path, PictureFormat::kBitmap);
  ASSERT_TRUE(opened.ok());
  EXPECT_EQ(dynamic_cast<DecodedMapPicture*>(opened.picture.get()), nullptr);
  const DecodedPicture whole = decoder.DecodeFile(path, PictureFormat::kBitmap);
  ASSERT_TRUE(whole.ok());
  for (const auto [sx, sy, sw, sh] : {std::array{0, 0, 29, 11}, std::array{-5, 3, 20, 9}}) {
    Surface expected(13, 7);
    StretchBlt(expected, 0, 0, 13, 7, whole.picture, sx, sy, sw, sh);
    Surface actual(13, 7);
    EXPECT_TRUE(opened.picture->StretchTo(actual, 0, 0, 13, 7, sx, sy, sw, sh));
    EXPECT_EQ(MaxDifference(actual, expected), 0);
  }
  Surface copy(29, 11);
  EXPECT_TRUE(opened.picture->StretchTo(copy, 0, 0, 29, 11, 0, 0, 29, 11));
  EXPECT_EQ(copy.GetPixel(3, 10), 0u) << "index past the palette";
  EXPECT_EQ(copy.GetPixel(3, 10), whole.picture.GetPixel(3, 10));
}

TEST(QtMapPicture, SmallOrCompressedBitmapsAreDecodedWhole) {
  test::TempFolder folder;
  folder.Write("small.bmp", BuildBitmapFile({29, 11, 24}, FewColours));
  folder.Write("rle.bmp", BuildBitmapFile({29, 11, 8, false, 40, true}, FewColours));
  QtPictureDecoder decoder(PictureDecoder::kDefaultMaxPictureBytes, 29 * 11 * 4);
  QtPictureDecoder anySize(PictureDecoder::kDefaultMaxPictureBytes, 0);
  for (const auto& [name, d] :
       {std::pair{u"small.bmp", &decoder}, std::pair{u"rle.bmp", &anySize}}) {
    const OpenedMapPicture opened =
        d->OpenMapFile(folder.U16() + u"\\" + name, PictureFormat::kBitmap);
    ASSERT_TRUE(opened.ok());
    EXPECT_NE(dynamic_cast<DecodedMapPicture*>(opened.picture.get()), nullptr);
    EXPECT_EQ(opened.picture->width(), 29);
  }
}

TEST(QtMapPicture, BitmapFilesFailAsTheirWholeDecodeWould) {
  test::TempFolder folder;
  const std::string bitmap = BuildBitmapFile({300, 200, 24}, FewColours);
  folder.Write("cut.bmp", bitmap.substr(0, bitmap.size() - 500));
  folder.Write("text.bmp", "not a picture");
  folder.Write("empty.bmp", "");
  folder.Write("Folder/x", "");
  struct Case {
    const char16_t* name;
    PictureError error;
  };
  const Case cases[] = {
      {u"missing.bmp", PictureError::kCannotOpen}, {u"Folder", PictureError::kCannotOpen},
      {u"cut.bmp", PictureError::kNotAPicture},    {u"text.bmp", PictureError::kNotAPicture},
      {u"empty.bmp", PictureError::kNotAPicture},
  };
  QtPictureDecoder decoder(PictureDecoder::kDefaultMaxPictureBytes, 0);
  for (const Case& c : cases) {
    const OpenedMapPicture opened =
        decoder.OpenMapFile(folder.U16() + u"\\" + c.name, PictureFormat::kBitmap);
    EXPECT_EQ(opened.error, c.error);
    EXPECT_EQ(opened.picture, nullptr);
  }
  folder.Write("big.bmp", bitmap);
  QtPictureDecoder small(200'000, 0);  // 300 × 200 pixels need 240,000 bytes
  EXPECT_EQ(small.OpenMapFile(folder.U16() + u"\\big.bmp", PictureFormat::kBitmap).error,
            PictureError::kTooLarge);
}

}  // namespace
}  // namespace hw
