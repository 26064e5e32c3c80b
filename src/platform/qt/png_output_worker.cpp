#include "platform/qt/png_output_worker.h"

#include <QImage>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/png/png_encoder.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

// The frame as the picture to encode: stretched to the output size, and for the overlay form
// with alpha 0 (and black, so that no key colour fringe shows where a reader scales the
// picture) where the key colour is and opaque everywhere else.
QImage PictureOf(const OutputFrame& frame) {
  const QImage view(reinterpret_cast<const uchar*>(frame.pixels.data()), frame.width, frame.height,
                    static_cast<qsizetype>(frame.width) * 4, QImage::Format_RGB32);
  QImage picture;
  if (frame.transparentKey) {
    picture = view.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = 0xFF000000U | PixelFromColorRef(*frame.transparentKey);
    for (int y = 0; y < picture.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
      for (int x = 0; x < picture.width(); ++x) {
        if (row[x] == key) row[x] = 0;
      }
    }
  } else {
    // Opaque pixels whatever the surfaces hold in their top byte.
    picture = view.convertToFormat(QImage::Format_RGB32);
  }
  const QSize size(frame.size.width, frame.size.height);
  if (size.isValid() && size != picture.size()) {
    // Smooth scaling averages the pixels a smaller picture's pixel covers. The picture keeps
    // its shape (the 4:3 part of the page a window of that aspect shows is not widened): it is
    // made as large as fits the size.
    picture = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  return picture;
}

std::shared_ptr<const std::string> EncodePng(const QImage& picture, bool alpha) {
  std::optional<std::string> png =
      EncodeFastPng(reinterpret_cast<const std::uint32_t*>(picture.constBits()), picture.width(),
                    picture.height(), static_cast<int>(picture.bytesPerLine() / 4), alpha);
  if (!png) return nullptr;
  return std::make_shared<const std::string>(std::move(*png));
}

class ThreadedPngOutputWorker final : public PictureOutputWorker {
 public:
  ThreadedPngOutputWorker() : thread_([this] { Run(); }) {}
  ~ThreadedPngOutputWorker() override {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  ThreadedPngOutputWorker(const ThreadedPngOutputWorker&) = delete;
  ThreadedPngOutputWorker& operator=(const ThreadedPngOutputWorker&) = delete;

  bool Busy() const override {
    const std::lock_guard lock(mutex_);
    return pending_.has_value() || working_;
  }

  bool Offer(OutputFrame frame) override {
    {
      const std::lock_guard lock(mutex_);
      if (pending_ || working_) return false;
      pending_ = std::move(frame);
    }
    wake_.notify_one();
    return true;
  }

  std::optional<OutputResult> TakeResult() override {
    const std::lock_guard lock(mutex_);
    std::optional<OutputResult> result = std::move(result_);
    result_.reset();
    return result;
  }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
      if (stopping_) return;
      OutputFrame frame = std::move(*pending_);
      pending_.reset();
      working_ = true;
      lock.unlock();
      OutputResult result = EncodeOutputFrame(std::move(frame));
      lock.lock();
      working_ = false;
      result_ = std::move(result);
    }
  }

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<OutputFrame> pending_;
  std::optional<OutputResult> result_;
  bool working_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace

OutputResult EncodeOutputFrame(OutputFrame frame) {
  const auto start = std::chrono::steady_clock::now();
  OutputResult result;
  result.serial = frame.serial;
  result.fileAsked = !frame.file.empty();
  if (frame.width > 0 && frame.height > 0 &&
      frame.pixels.size() >= static_cast<std::size_t>(frame.width) * frame.height) {
    result.png = EncodePng(PictureOf(frame), frame.transparentKey.has_value());
  }
  if (result.fileAsked) {
    if (!result.png) {
      result.fileError = "the picture could not be encoded as PNG";
    } else {
      // The file's folder is made when it is missing (a first run of a new setting).
      std::error_code ignored;
      std::filesystem::create_directories(
          std::filesystem::path(Utf16ToUtf8(frame.file)).parent_path(), ignored);
      result.fileWritten = WriteFileAtomically(frame.file, *result.png, &result.fileError);
    }
  }
  result.recycled = std::move(frame.pixels);
  result.workMicroseconds = std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
  return result;
}

std::unique_ptr<PictureOutputWorker> MakePngOutputWorker() {
  return std::make_unique<ThreadedPngOutputWorker>();
}

}  // namespace hw
