#include "platform/qt/png_output_worker.h"

#include <gtest/gtest.h>

#include <QImage>
#include <chrono>
#include <string>
#include <thread>

#include "fakes/temp_folder.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

constexpr COLORREF kKey = MakeColorRef(0, 255, 0);
constexpr COLORREF kBox = MakeColorRef(20, 40, 200);

// A 64 × 36 frame: the key colour with a box in its top-left quarter.
OutputFrame KeyedFrame() {
  OutputFrame frame;
  frame.width = 64;
  frame.height = 36;
  frame.pixels.assign(64 * 36, PixelFromColorRef(kKey));
  for (int y = 0; y < 18; ++y) {
    for (int x = 0; x < 32; ++x) {
      frame.pixels[static_cast<std::size_t>(y) * 64 + x] = PixelFromColorRef(kBox);
    }
  }
  frame.size = {64, 36};
  return frame;
}

QImage Decoded(const std::string& png) {
  return QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()),
                          "PNG");
}

// The overlay form is transparent exactly where the key colour was, and opaque with its own
// colours elsewhere; without a key the picture is opaque, the key colour included.
TEST(PngOutputWorker, KeyColourBecomesTransparent) {
  OutputFrame keyed = KeyedFrame();
  keyed.transparentKey = kKey;
  const OutputResult overlay = EncodeOutputFrame(std::move(keyed));
  ASSERT_NE(overlay.png, nullptr);
  const QImage o = Decoded(*overlay.png);
  ASSERT_EQ(o.size(), QSize(64, 36));
  EXPECT_TRUE(o.hasAlphaChannel());
  EXPECT_EQ(qAlpha(o.pixel(50, 30)), 0);
  EXPECT_EQ(o.pixel(5, 5), qRgba(20, 40, 200, 255));
  EXPECT_EQ(overlay.recycled.size(), 64U * 36U);  // the buffer comes back to be filled again

  const OutputResult plain = EncodeOutputFrame(KeyedFrame());
  const QImage p = Decoded(*plain.png);
  EXPECT_FALSE(p.hasAlphaChannel());
  EXPECT_EQ(p.pixel(50, 30), qRgb(0, 255, 0));
}

// A frame for another output size is stretched to it, averaging, and keeps its shape: a
// size of another shape gets the largest picture that fits it.
TEST(PngOutputWorker, StretchesToTheOutputSizeKeepingTheShape) {
  OutputFrame frame = KeyedFrame();
  frame.size = {32, 18};
  const QImage half = Decoded(*EncodeOutputFrame(std::move(frame)).png);
  ASSERT_EQ(half.size(), QSize(32, 18));
  EXPECT_EQ(half.pixel(2, 2), qRgb(20, 40, 200));
  EXPECT_EQ(half.pixel(30, 16), qRgb(0, 255, 0));

  OutputFrame square = KeyedFrame();
  square.size = {32, 32};
  EXPECT_EQ(Decoded(*EncodeOutputFrame(std::move(square)).png).size(), QSize(32, 18));
}

// The file is replaced whole, in a folder made when missing; a path that cannot be written is
// a reason, not a crash, and the PNG is still made for the other outputs.
TEST(PngOutputWorker, WritesTheFileOrSaysWhyNot) {
  const test::TempFolder folder;
  OutputFrame frame = KeyedFrame();
  frame.file = Utf8ToUtf16((folder.path() / "stream" / "picture.png").string());
  const OutputResult written = EncodeOutputFrame(std::move(frame));
  EXPECT_TRUE(written.fileAsked);
  EXPECT_TRUE(written.fileWritten) << written.fileError;
  EXPECT_EQ(folder.Read("stream/picture.png"), *written.png);

  folder.Write("plain", "a file, not a folder");
  OutputFrame lost = KeyedFrame();
  lost.file = Utf8ToUtf16((folder.path() / "plain" / "picture.png").string());
  const OutputResult failed = EncodeOutputFrame(std::move(lost));
  EXPECT_FALSE(failed.fileWritten);
  EXPECT_FALSE(failed.fileError.empty());
  EXPECT_NE(failed.png, nullptr);
}

// The worker's thread does the same work and hands the result back once.
TEST(PngOutputWorker, HandsTheResultBackOnce) {
  const std::unique_ptr<PictureOutputWorker> worker = MakePngOutputWorker();
  ASSERT_TRUE(worker->Offer(KeyedFrame()));
  std::optional<OutputResult> result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!result && std::chrono::steady_clock::now() < deadline) {
    result = worker->TakeResult();
    if (!result) std::this_thread::yield();
  }
  ASSERT_TRUE(result);
  EXPECT_NE(result->png, nullptr);
  EXPECT_FALSE(worker->Busy());
  EXPECT_FALSE(worker->TakeResult());
}

}  // namespace
}  // namespace hw
