#include "platform/map_picture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPolygon>
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

// A map-like test picture: smooth shading, flat areas with hard coasts, thin lines and text.
QImage MapLikeImage(int width, int height, bool grey) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb(20 + x % 200, 60 + y % 150, 160));
  }
  QPainter painter(&image);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(90, 160, 70));
  painter.drawPolygon(
      QPolygon({QPoint(width / 5, height / 6), QPoint(width * 3 / 4, height / 4),
                QPoint(width * 2 / 3, height * 5 / 6), QPoint(width / 4, height * 2 / 3)}));
  painter.setPen(QPen(QColor(250, 250, 240), 1));
  for (int x = 7; x < width; x += 23)
    painter.drawLine(x, 0, x + height / 3, height);
  painter.setPen(QColor(200, 30, 30));
  painter.drawText(width / 3, height / 2, QStringLiteral("Heronwatch"));
  painter.end();
  return grey ? image.convertToFormat(QImage::Format_Grayscale8) : image;
}

std::string EncodeJpeg(const QImage& image, bool progressive = false, int quality = 90) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(quality);
  writer.setProgressiveScanWrite(progressive);
  writer.write(image);
  return bytes.toStdString();
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

// Mean absolute channel difference.
double MeanDifference(const Surface& a, const Surface& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      for (const int shift : {0, 8, 16}) {
        sum += std::abs(static_cast<int>((a.Row(y)[x] >> shift) & 0xFF) -
                        static_cast<int>((b.Row(y)[x] >> shift) & 0xFF));
      }
    }
  }
  return sum / (3.0 * a.width() * a.height());
}

// ---- JPEG ----

// Region decoding against the whole decode and StretchBlt, over every DCT scale, rectangles at
// and past every edge, and picture sizes that are no whole number of blocks. At scale 1 the
// decoded pixels are libjpeg's own, so the result is exact. At smaller scales they come from
// libjpeg's scaled inverse DCT, which keeps a block's low frequencies where an area average
// also keeps a share of the high ones: on flat and smooth areas the two agree within rounding,
// at hard edges and one-pixel lines they differ by tens of levels on a few pixels, so the mean
// difference stays within 3 and the largest within 40 (measured: up to 2.5 and 35).
TEST(QtMapPicture, JpegRegionDrawsAsTheWholeDecodeWould) {
  struct Case {
    const char* name;
    int w, h, sx, sy, sw, sh;
  };
  const Case cases[] = {
      // Rectangles ending on odd and on even columns: the edges of a crop need care.
      {"1:1 inside", 50, 40, 37, 21, 50, 40},
      {"1:1 inside, even end", 50, 40, 30, 20, 50, 40},
      {"enlarged", 60, 48, 100, 77, 30, 24},
      {"shrunk by less than 2", 60, 45, 13, 9, 100, 75},
      {"1:1 past left and top", 50, 40, -17, -9, 50, 40},
      {"shrunk past right and bottom", 60, 45, 150, 120, 100, 75},
      {"scale 2 inside", 40, 30, 17, 23, 100, 75},
      {"scale 2 past every edge", 80, 60, -20, -15, 243, 190},
      {"scale 4 whole", 45, 35, 0, 0, 203, 157},
      {"scale 4 past left", 40, 30, -60, 10, 170, 130},
      {"scale 8 whole", 25, 19, 0, 0, 203, 157},
      {"scale 8 past every edge", 25, 19, -30, -20, 263, 197},
      {"wholly off right", 40, 30, 210, 0, 100, 75},
      {"wholly off top", 40, 30, 0, -80, 100, 75},
      {"last pixel blown up", 40, 30, 202, 156, 1, 1},
  };
  for (const bool grey : {false, true}) {
    for (const auto& [width, height] : {std::pair{203, 157}, std::pair{96, 61}}) {
      const std::string jpeg = EncodeJpeg(MapLikeImage(width, height, grey));
      QtPictureDecoder decoder(PictureDecoder::kDefaultMaxPictureBytes, 0);
      const DecodedPicture whole = decoder.Decode(jpeg, PictureFormat::kCompressed);
      ASSERT_TRUE(whole.ok());
      const OpenedMapPicture opened = decoder.OpenMap(jpeg, PictureFormat::kCompressed);
      ASSERT_TRUE(opened.ok());
      ASSERT_EQ(dynamic_cast<DecodedMapPicture*>(opened.picture.get()), nullptr);
      for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.name << (grey ? ", grey " : ", colour ") << width << "x" << height);
        // A margin around the destination rectangle must stay as it was.
        Surface expected(c.w + 4, c.h + 4);
        expected.Fill(MakeColorRef(1, 2, 3));
        StretchBlt(expected, 2, 2, c.w, c.h, whole.picture, c.sx, c.sy, c.sw, c.sh);
        Surface actual(c.w + 4, c.h + 4);
        actual.Fill(MakeColorRef(1, 2, 3));
        EXPECT_TRUE(opened.picture->StretchTo(actual, 2, 2, c.w, c.h, c.sx, c.sy, c.sw, c.sh));
        if (c.sw >= 2 * c.w && c.sh >= 2 * c.h) {
          EXPECT_LE(MeanDifference(actual, expected), 3.0);
          EXPECT_LE(MaxDifference(actual, expected), 40);
        } else {
          EXPECT_EQ(MaxDifference(actual, expected), 0);
        }
      }
    }
  }
}

// On a smooth gradient of one level per pixel the scaled decode must agree with the area
// average within rounding: a footprint shifted by half a decoded pixel would be off by
// scale/2 levels throughout.
TEST(QtMapPicture, ScaledJpegRegionKeepsTheFootprints) {
  QImage image(240, 240, QImage::Format_RGB32);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 240; ++x)
      image.setPixel(x, y, qRgb(x, y, (x + y) / 2));
  }
  const std::string jpeg = EncodeJpeg(image, false, 100);
  QtPictureDecoder decoder(PictureDecoder::kDefaultMaxPictureBytes, 0);
  const DecodedPicture whole = decoder.Decode(jpeg, PictureFormat::kCompressed);
  ASSERT_TRUE(whole.ok());
  const OpenedMapPicture opened = decoder.OpenMap(jpeg, PictureFormat::kCompressed);
  ASSERT_TRUE(opened.ok());
  for (const int scale : {2, 4, 8}) {
    SCOPED_TRACE(scale);
    const int size = 200 / scale;
    Surface expected(size, size);
    StretchBlt(expected, 0, 0, size, size, whole.picture, 17, 13, 200, 200);
    Surface actual(size, size);
    EXPECT_TRUE(opened.picture->StretchTo(actual, 0, 0, size, size, 17, 13, 200, 200));
    EXPECT_LE(MaxDifference(actual, expected), 2);
  }
}

// Damaged files never crash the region decoder. Damaged picture data decodes as libjpeg decodes
// it whole: a file cut short shows mid-grey from the first missing block on, exactly as the
// whole decode does. Where libjpeg gives up (here a frame header naming a quantisation table
// the file lacks, which shows only when decoding starts), drawing fails and leaves the
// destination rectangle black.
TEST(QtMapPicture, DamagedJpegDrawsWhatLibjpegMakesOfItOrFails) {
  const std::string jpeg = EncodeJpeg(MapLikeImage(203, 157, false));
  const std::size_t scan = jpeg.find("\xFF\xDA");
  const std::size_t frame = jpeg.find("\xFF\xC0");
  ASSERT_NE(scan, std::string::npos);
  ASSERT_NE(frame, std::string::npos);
  QtPictureDecoder decoder(PictureDecoder::kDefaultMaxPictureBytes, 0);

  std::size_t middle = scan + (jpeg.size() - scan) / 2;
  while (jpeg[middle - 1] == '\xFF')
    ++middle;  // not within a marker
  const std::string cut = jpeg.substr(0, middle);
  const OpenedMapPicture cutOpen = decoder.OpenMap(cut, PictureFormat::kCompressed);
  ASSERT_TRUE(cutOpen.ok());
  const DecodedPicture cutWhole = decoder.Decode(cut, PictureFormat::kCompressed);
  ASSERT_TRUE(cutWhole.ok());
  for (const auto& [sy, sh] : {std::pair{0, 40}, std::pair{0, 157}, std::pair{110, 47}}) {
    Surface expected(203, sh);
    StretchBlt(expected, 0, 0, 203, sh, cutWhole.picture, 0, sy, 203, sh);
    Surface actual(203, sh);
    EXPECT_TRUE(cutOpen.picture->StretchTo(actual, 0, 0, 203, sh, 0, sy, 203, sh));
    EXPECT_EQ(MaxDifference(actual, expected), 0);
  }
  Surface bottom(1, 1);
  EXPECT_TRUE(cutOpen.picture->StretchTo(bottom, 0, 0, 1, 1, 202, 156, 1, 1));
  EXPECT_EQ(bottom.GetPixel(0, 0), MakeColorRef(128, 128, 128));

  std::string noTable = jpeg;
  noTable[frame + 12] = 3;  // the first component's quantisation table
  const OpenedMapPicture noTableOpen = decoder.OpenMap(noTable, PictureFormat::kCompressed);
  ASSERT_TRUE(noTableOpen.ok());
  Surface dst(30, 20);
  dst.Fill(MakeColorRef(1, 2, 3));
  EXPECT_FALSE(noTableOpen.picture->StretchTo(dst, 5, 5, 20, 10, 10, 10, 100, 50));
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) {
      const bool inside = x >= 5 && x < 25 && y >= 5 && y < 15;
      EXPECT_EQ(dst.GetPixel(x, y), inside ? 0u : MakeColorRef(1, 2, 3)) << x << "," << y;
    }
  }

  std::string hugeJpeg = jpeg;
  hugeJpeg.replace(frame + 5, 4, "\xEA\x60\xEA\x60");  // height and width 60000
  struct Case {
    const char* name;
    std::string bytes;
    PictureFormat format;
    PictureError error;
  };
  const Case refused[] = {
      {"start only", jpeg.substr(0, 20), PictureFormat::kCompressed, PictureError::kNotAPicture},
      {"cut before the scan", jpeg.substr(0, scan), PictureFormat::kCompressed,
       PictureError::kNotAPicture},
      {"claiming 60000 x 60000", hugeJpeg, PictureFormat::kCompressed, PictureError::kTooLarge},
      {"asked for a bitmap", jpeg, PictureFormat::kBitmap, PictureError::kNotAPicture},
  };
  for (const Case& c : refused) {
    const OpenedMapPicture opened = decoder.OpenMap(c.bytes, c.format);
    EXPECT_EQ(opened.error, c.error) << c.name;
    EXPECT_EQ(opened.picture, nullptr) << c.name;
  }
}

// Small pictures, and kinds libjpeg cannot decode a band at a time, are decoded whole when
// opened; a JPEG file opened by path is read into memory and decoded by region.
TEST(QtMapPicture, OpensEachKindOfMapFileTheWayItCanBeRead) {
  const QImage image = MapLikeImage(96, 61, false);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  test::TempFolder folder;
  folder.Write("map.jpg", EncodeJpeg(image));
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t wholeMapBytes;
    bool byRegion;
  };
  const Case cases[] = {
      {"big JPEG", EncodeJpeg(image), 0, true},
      {"small JPEG", EncodeJpeg(image), 96 * 61 * 4, false},
      {"progressive JPEG", EncodeJpeg(image, true), 0, false},
      {"PNG", png.toStdString(), 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QtPictureDecoder decoder(PictureDecoder::kDefaultMaxPictureBytes, c.wholeMapBytes);
    const OpenedMapPicture opened = decoder.OpenMap(c.bytes, PictureFormat::kCompressed);
    ASSERT_TRUE(opened.ok());
    EXPECT_EQ(dynamic_cast<DecodedMapPicture*>(opened.picture.get()) == nullptr, c.byRegion);
    EXPECT_EQ(opened.picture->width(), 96);
    EXPECT_EQ(opened.picture->height(), 61);
  }
  QtPictureDecoder decoder(PictureDecoder::kDefaultMaxPictureBytes, 0);
  const OpenedMapPicture fromFile =
      decoder.OpenMapFile(folder.U16() + u"\\map.jpg", PictureFormat::kCompressed);
  ASSERT_TRUE(fromFile.ok());
  EXPECT_EQ(dynamic_cast<DecodedMapPicture*>(fromFile.picture.get()), nullptr);
  EXPECT_EQ(decoder.OpenMapFile(folder.U16() + u"\\map.jpg", PictureFormat::kBitmap).error,
            PictureError::kNotAPicture);
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
  for (const auto& [sx, sy, sw, sh] : {std::array{0, 0, 29, 11}, std::array{-5, 3, 20, 9}}) {
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
