#include "platform/qt/qt_picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QSize>
#include <QString>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/bitmap_file.h"
#include "platform/bitmap_map_picture.h"
#include "platform/file_system.h"
#include "platform/jpeg/jpeg_map_picture.h"
#include "platform/read_only_file.h"

namespace hw {
namespace {

DecodedPicture Failure(PictureError error) {
  return {Surface(), error};
}

// Surfaces are always opaque; bitmap files with an alpha channel keep their colours as they
// are, the way a DIB section holds them (no premultiplication).
void MakeOpaque(Surface& surface) {
  std::uint32_t* pixel = surface.pixels();
  const std::size_t count = surface.ByteCount() / sizeof(std::uint32_t);
  for (std::size_t i = 0; i < count; ++i) {
    pixel[i] |= 0xFF000000u;
  }
}

// Copies a decoded picture of the surface's size into it, converting row by row so that a
// large picture in another format never needs a second full-size copy.
void CopyInto(const QImage& image, Surface& surface) {
  const int width = surface.width();
  const auto rowBytes = static_cast<std::size_t>(width) * sizeof(std::uint32_t);
  switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
      for (int y = 0; y < surface.height(); ++y) {
        std::memcpy(surface.Row(y), image.constScanLine(y), rowBytes);
      }
      return;
    case QImage::Format_Indexed8: {
      const QList<QRgb> table = image.colorTable();
      for (int y = 0; y < surface.height(); ++y) {
        const uchar* in = image.constScanLine(y);
        std::uint32_t* out = surface.Row(y);
        for (int x = 0; x < width; ++x) {
          out[x] = in[x] < table.size() ? table[in[x]] : 0u;
        }
      }
      return;
    }
    case QImage::Format_Grayscale8:
      for (int y = 0; y < surface.height(); ++y) {
        const uchar* in = image.constScanLine(y);
        std::uint32_t* out = surface.Row(y);
        for (int x = 0; x < width; ++x) {
          out[x] = in[x] * 0x010101u;
        }
      }
      return;
    default:
      for (int y = 0; y < surface.height(); ++y) {
        const QImage row = image.copy(0, y, width, 1).convertToFormat(QImage::Format_RGB32);
        std::memcpy(surface.Row(y), row.constScanLine(0), rowBytes);
      }
      return;
  }
}

bool IsJpeg(std::string_view bytes) {
  return bytes.starts_with("\xFF\xD8\xFF");
}

std::uint64_t DecodedBytes(int width, int height) {
  return std::uint64_t{4} * static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
}

bool AcceptedCompressedFormat(const QByteArray& format) {
  return format == "jpeg" || format == "png" || format == "gif";
}

}  // namespace

QtPictureDecoder::QtPictureDecoder(std::size_t maxPictureBytes, std::size_t wholeMapBytes)
    : maxPictureBytes_(maxPictureBytes), wholeMapBytes_(wholeMapBytes) {
  const std::size_t megabytes = (maxPictureBytes + (std::size_t{1} << 20) - 1) >> 20;
  const int wanted = static_cast<int>(std::min<std::size_t>(megabytes, INT_MAX));
  const int current = QImageReader::allocationLimit();
  if (current != 0 && current < wanted) QImageReader::setAllocationLimit(wanted);
}

DecodedPicture QtPictureDecoder::Decode(std::string_view bytes, PictureFormat format) {
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return Failure(PictureError::kTooLarge);
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  return Read(buffer, bytes.size(), format);
}

DecodedPicture QtPictureDecoder::DecodeFile(std::u16string_view path, PictureFormat format) {
  // Opening a FIFO with QFile would wait for a writer; only regular files are opened.
  if (!CanOpenForReading(path)) return Failure(PictureError::kCannotOpen);
  QFile file(QString::fromStdString(NativePath(path)));
  if (!file.open(QIODevice::ReadOnly)) return Failure(PictureError::kCannotOpen);
  return Read(file, static_cast<std::uint64_t>(file.size()), format);
}

OpenedMapPicture QtPictureDecoder::OpenMap(std::string bytes, PictureFormat format) {
  if (format == PictureFormat::kCompressed && IsJpeg(bytes)) {
    const std::optional<JpegInfo> info = InspectJpeg(bytes);
    if (!info) return {nullptr, PictureError::kNotAPicture};
    if (!Fits(info->width, info->height)) return {nullptr, PictureError::kTooLarge};
    if (info->readableByRegion && DecodedBytes(info->width, info->height) > wholeMapBytes_) {
      return {OpenJpegByRegion(std::move(bytes), *info), PictureError::kNone};
    }
  }
  return HoldWholePicture(Decode(bytes, format));
}

OpenedMapPicture QtPictureDecoder::OpenMapFile(std::u16string_view path, PictureFormat format) {
  std::optional<ReadOnlyFile> file = ReadOnlyFile::Open(path);
  if (!file) return {nullptr, PictureError::kCannotOpen};
  std::string head(kBitmapHeadBytes, '\0');
  head.resize(static_cast<std::size_t>(std::min<std::uint64_t>(head.size(), file->size())));
  if (!file->ReadAt(0, head.data(), head.size())) return {nullptr, PictureError::kCannotOpen};
  if (head.starts_with("BM")) {
    const std::optional<BitmapFileInfo> info = InspectBitmapFile(head, file->size());
    if (!info) return {nullptr, PictureError::kNotAPicture};
    if (!Fits(info->width, info->height)) return {nullptr, PictureError::kTooLarge};
    if (DecodedBytes(info->width, info->height) > wholeMapBytes_ && CanReadBitmapByRows(*info)) {
      std::unique_ptr<MapPicture> picture = OpenBitmapByRows(std::move(*file), *info);
      if (!picture) return {nullptr, PictureError::kCannotOpen};
      return {std::move(picture), PictureError::kNone};
    }
  }
  if (format == PictureFormat::kCompressed && IsJpeg(head)) {
    // The compressed file is kept in memory; it is a small fraction of the decoded picture.
    if (file->size() > maxPictureBytes_) return {nullptr, PictureError::kTooLarge};
    std::string bytes(static_cast<std::size_t>(file->size()), '\0');
    if (!file->ReadAt(0, bytes.data(), bytes.size())) return {nullptr, PictureError::kCannotOpen};
    return OpenMap(std::move(bytes), format);
  }
  file.reset();
  return HoldWholePicture(DecodeFile(path, format));
}

bool QtPictureDecoder::Fits(std::int64_t width, std::int64_t height) const {
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <=
         maxPictureBytes_ / sizeof(std::uint32_t);
}

DecodedPicture QtPictureDecoder::Read(QIODevice& device, std::uint64_t size,
                                      PictureFormat format) const {
  if (size == 0) return Failure(PictureError::kNotAPicture);

  const QByteArray head = device.peek(static_cast<qint64>(kBitmapHeadBytes));
  QByteArray qtFormat;
  if (head.startsWith("BM")) {
    const auto info = InspectBitmapFile(
        std::string_view(head.constData(), static_cast<std::size_t>(head.size())), size);
    if (!info) return Failure(PictureError::kNotAPicture);
    if (!Fits(info->width, info->height)) return Failure(PictureError::kTooLarge);
    qtFormat = "bmp";
  } else if (format == PictureFormat::kBitmap) {
    return Failure(PictureError::kNotAPicture);
  } else {
    qtFormat = QImageReader::imageFormat(&device);
    if (!AcceptedCompressedFormat(qtFormat)) return Failure(PictureError::kNotAPicture);
  }

  QImageReader reader(&device, qtFormat);
  reader.setAutoDetectImageFormat(false);
  // Pictures are shown as stored; orientation tags are not applied.
  reader.setAutoTransform(false);
  // Qt reports a top-down bitmap's height as negative.
  const QSize claimed = reader.size();
  const std::int64_t width = claimed.width();
  const std::int64_t height = std::abs(std::int64_t{claimed.height()});
  if (width <= 0 || height <= 0 || height > INT_MAX) return Failure(PictureError::kNotAPicture);
  if (!Fits(width, height)) return Failure(PictureError::kTooLarge);

  Surface surface(static_cast<int>(width), static_cast<int>(height));
  if (surface.empty()) return Failure(PictureError::kOutOfMemory);
  // A target of the reader's own size and format is filled in place: for 32-bit results that
  // is the surface itself; other formats go through a zeroed picture, so that rows a reader
  // skips (run-length deltas) are defined.
  const QImage::Format readerFormat = reader.imageFormat();
  QImage target;
  if (readerFormat == QImage::Format_RGB32 || readerFormat == QImage::Format_ARGB32) {
    target = QImage(reinterpret_cast<uchar*>(surface.pixels()), surface.width(), surface.height(),
                    static_cast<qsizetype>(surface.pitch()) * 4, readerFormat);
  } else if (readerFormat != QImage::Format_Invalid) {
    target = QImage(surface.width(), surface.height(), readerFormat);
    if (target.isNull()) return Failure(PictureError::kOutOfMemory);
    target.fill(0u);
  }
  if (!reader.read(&target) || target.isNull()) return Failure(PictureError::kBroken);
  if (target.width() != surface.width() || target.height() != surface.height()) {
    return Failure(PictureError::kBroken);
  }
  if (target.constBits() != reinterpret_cast<const uchar*>(surface.pixels())) {
    CopyInto(target, surface);
  }
  target = QImage();
  MakeOpaque(surface);
  return {std::move(surface), PictureError::kNone};
}

}  // namespace hw
