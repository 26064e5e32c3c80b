#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <cstdlib>
#include <string>
#include <vector>

#include "fakes/bitmap_builder.h"
#include "fakes/temp_folder.h"
#include "platform/bitmap_file.h"
#include "platform/qt/qt_picture_decoder.h"

namespace hw {
namespace {

using test::BitmapSpec;
using test::BuildBitmapFile;
using test::PatternColour;

std::string Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, 95);
  return bytes.toStdString();
}

std::string SolidJpeg(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return Encode(image, "JPG");
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        tolerance) {
      return false;
    }
  }
  return true;
}

bool Opaque(const Surface& surface) {
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      if ((surface.Row(y)[x] >> 24) != 0xFF) return false;
    }
  }
  return true;
}

// Every pixel where it belongs, whatever the bit depth, header and row order of the file.
TEST(QtPictureDecoder, ReadsWindowsBitmapsOfEveryLayout) {
  struct Case {
    const char* name;
    BitmapSpec spec;
  };
  QtPictureDecoder decoder;
  for (const Case& c : std::vector<Case>{
           {"8 bits bottom-up", {5, 3, 8, false}},
           {"8 bits top-down", {5, 3, 8, true}},
           {"8 bits run-length", {5, 3, 8, false, 40, true}},
           {"24 bits bottom-up", {5, 3, 24, false}},
           {"24 bits top-down", {5, 3, 24, true}},
           {"24 bits core header", {5, 3, 24, false, 12}},
           {"32 bits bottom-up", {5, 3, 32, false}},
           {"32 bits top-down", {5, 3, 32, true}},
           {"32 bits V4 header", {5, 3, 32, false, 108}},
           {"32 bits V5 header with alpha", {5, 3, 32, true, 124, false, true}},
           {"24 bits one pixel wide", {1, 4, 24, false}},
       }) {
    SCOPED_TRACE(c.name);
    for (PictureFormat format : {PictureFormat::kBitmap, PictureFormat::kCompressed}) {
      const DecodedPicture decoded = decoder.Decode(BuildBitmapFile(c.spec, PatternColour), format);
      ASSERT_TRUE(decoded.ok()) << static_cast<int>(decoded.error);
      ASSERT_EQ(decoded.picture.width(), c.spec.width);
      ASSERT_EQ(decoded.picture.height(), c.spec.height);
      for (int y = 0; y < c.spec.height; ++y) {
        for (int x = 0; x < c.spec.width; ++x)
          EXPECT_EQ(decoded.picture.GetPixel(x, y), PatternColour(x, y)) << x << "," << y;
      }
      EXPECT_TRUE(Opaque(decoded.picture));
    }
  }
}

TEST(QtPictureDecoder, ReadsCompressedPicturesOnlyWhenAsked) {
  QtPictureDecoder decoder;
  const std::string jpeg = SolidJpeg(40, 30, QColor(200, 60, 30));
  const DecodedPicture decoded = decoder.Decode(jpeg, PictureFormat::kCompressed);
  ASSERT_TRUE(decoded.ok());
  EXPECT_EQ(decoded.picture.width(), 40);
  EXPECT_EQ(decoded.picture.height(), 30);
  EXPECT_TRUE(Near(decoded.picture.GetPixel(20, 15), MakeColorRef(200, 60, 30), 6));
  EXPECT_TRUE(Opaque(decoded.picture));

  QImage grey(7, 5, QImage::Format_Grayscale8);
  grey.fill(128);
  const DecodedPicture png = decoder.Decode(Encode(grey, "PNG"), PictureFormat::kCompressed);
  ASSERT_TRUE(png.ok());
  EXPECT_EQ(png.picture.GetPixel(6, 4), 0x808080u);

  // A theme's ".bmp" file must really be a bitmap file.
  EXPECT_EQ(decoder.Decode(jpeg, PictureFormat::kBitmap).error, PictureError::kNotAPicture);
}

// Broken and hostile files fail with a reason; none of them allocates what its header claims.
TEST(QtPictureDecoder, RefusesBrokenFiles) {
  const std::string bitmap = BuildBitmapFile({300, 200, 24}, PatternColour);
  const std::string jpeg = SolidJpeg(300, 200, Qt::darkGreen);
  std::string hugeBitmap = bitmap;
  hugeBitmap.replace(18, 8, std::string("\x60\xEA\0\0\x60\xEA\0\0", 8));  // 60000 × 60000
  std::string hugeJpeg = jpeg;
  const std::size_t frame = hugeJpeg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  hugeJpeg.replace(frame + 5, 4, "\xEA\x60\xEA\x60");  // height and width 60000

  struct Case {
    const char* name;
    std::string bytes;
    PictureFormat format;
    PictureError error;
  };
  const std::vector<Case> cases = {
      {"truncated bitmap", bitmap.substr(0, bitmap.size() - 500), PictureFormat::kBitmap,
       PictureError::kNotAPicture},
      {"bitmap headers only", bitmap.substr(0, 54), PictureFormat::kBitmap,
       PictureError::kNotAPicture},
      {"bitmap claiming 60000 x 60000", hugeBitmap, PictureFormat::kBitmap,
       PictureError::kNotAPicture},
      {"JPEG claiming 60000 x 60000", hugeJpeg, PictureFormat::kCompressed,
       PictureError::kTooLarge},
      {"text named .jpg", "this is not a picture\n", PictureFormat::kCompressed,
       PictureError::kNotAPicture},
      {"zero bytes", "", PictureFormat::kCompressed, PictureError::kNotAPicture},
      {"JPEG start only", jpeg.substr(0, 20), PictureFormat::kCompressed,
       PictureError::kNotAPicture},
      {"scalable vector graphics", "<svg xmlns='http://www.w3.org/2000/svg' width='9' height='9'/>",
       PictureFormat::kCompressed, PictureError::kNotAPicture},
  };
  QtPictureDecoder decoder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DecodedPicture decoded = decoder.Decode(c.bytes, c.format);
    EXPECT_EQ(decoded.error, c.error);
    EXPECT_TRUE(decoded.picture.empty());
  }
}

TEST(QtPictureDecoder, LimitHoldsForEveryFormat) {
  // 300 × 200 pixels need 240,000 bytes.
  QtPictureDecoder small(200'000);
  EXPECT_EQ(
      small.Decode(BuildBitmapFile({300, 200, 24}, PatternColour), PictureFormat::kBitmap).error,
      PictureError::kTooLarge);
  EXPECT_EQ(small.Decode(SolidJpeg(300, 200, Qt::red), PictureFormat::kCompressed).error,
            PictureError::kTooLarge);
  QtPictureDecoder enough(240'000);
  EXPECT_TRUE(enough.Decode(SolidJpeg(300, 200, Qt::red), PictureFormat::kCompressed).ok());
}

// Qt's own default allocation limit (128 MB) would refuse the maps of Japan.
TEST(QtPictureDecoder, AdmitsPicturesBeyondQtsDefaultLimit) {
  QtPictureDecoder decoder;
  const DecodedPicture decoded =
      decoder.Decode(SolidJpeg(6000, 5600, QColor(10, 20, 200)), PictureFormat::kCompressed);
  ASSERT_TRUE(decoded.ok());
  EXPECT_EQ(decoded.picture.ByteCount(), 6000u * 5600u * 4u);
  EXPECT_TRUE(Near(decoded.picture.GetPixel(5999, 5599), MakeColorRef(10, 20, 200), 6));
}

// A run-length file that ends early gives defined pixels: the rows it lacks take colour 0.
TEST(QtPictureDecoder, ShortRunLengthFileLeavesNoUndefinedPixels) {
  const std::string file = BuildBitmapFile({5, 3, 8, false, 40, true}, PatternColour);
  // Rows are stored bottom-up; keep only the bottom row (5 runs and an end-of-line).
  const std::size_t pixelOffset = file.size() - 3 * 12 - 2;
  const std::string cut = file.substr(0, pixelOffset + 12);
  QtPictureDecoder decoder;
  const DecodedPicture decoded = decoder.Decode(cut, PictureFormat::kBitmap);
  ASSERT_TRUE(decoded.ok());
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(decoded.picture.GetPixel(x, 2), PatternColour(x, 2));
    EXPECT_EQ(decoded.picture.GetPixel(x, 0), PatternColour(0, 0));  // palette entry 0
  }
}

TEST(QtPictureDecoder, DecodesFilesByTheProgramsPaths) {
  test::TempFolder folder;
  folder.Write("Intensity/MaxIntensity.bmp", BuildBitmapFile({5, 3, 24}, PatternColour));
  QtPictureDecoder decoder;
  const DecodedPicture decoded =
      decoder.DecodeFile(folder.U16() + u"\\Intensity\\MaxIntensity.bmp", PictureFormat::kBitmap);
  ASSERT_TRUE(decoded.ok());
  EXPECT_EQ(decoded.picture.GetPixel(4, 2), PatternColour(4, 2));
  EXPECT_EQ(decoder.DecodeFile(folder.U16() + u"\\missing.bmp", PictureFormat::kBitmap).error,
            PictureError::kCannotOpen);
  EXPECT_FALSE(decoder.DecodeFile(folder.U16() + u"\\Intensity", PictureFormat::kBitmap).ok());

  // What the program writes, it reads back.
  Surface surface(3, 2);
  surface.FillRect(1, 0, 2, 2, kSpriteKey);
  const DecodedPicture again = decoder.Decode(EncodeBitmapFile(surface), PictureFormat::kBitmap);
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(again.picture.GetPixel(0, 1), 0x000000u);
  EXPECT_EQ(again.picture.GetPixel(2, 1), kSpriteKey);
}

}  // namespace
}  // namespace hw
