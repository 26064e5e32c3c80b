#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/colorref.h"

namespace hw {

// A 32-bit pixel buffer: 0xAARRGGBB words, rows `pitch` pixels apart, the layout of Qt's
// Format_RGB32 and of a Windows DIB section. A surface whose memory could not be had is empty
// (0 × 0); every drawing operation treats it as a surface without pixels.
class Surface {
 public:
  Surface() = default;
  ~Surface() = default;
  // Allocates width × height pixels filled with opaque black.
  Surface(int width, int height);

  // A moved-from surface is empty (0 × 0).
  Surface(Surface&& other) noexcept;
  Surface& operator=(Surface&& other) noexcept;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  int pitch() const { return width_; }  // pixels per row
  bool empty() const { return pixels_ == nullptr; }
  std::size_t ByteCount() const;

  std::uint32_t* pixels() { return pixels_.get(); }
  const std::uint32_t* pixels() const { return pixels_.get(); }
  std::uint32_t* Row(int y) { return pixels_.get() + static_cast<std::ptrdiff_t>(y) * width_; }
  const std::uint32_t* Row(int y) const {
    return pixels_.get() + static_cast<std::ptrdiff_t>(y) * width_;
  }

  // Colour access for tests and small drawings; out-of-range reads give 0, writes do nothing.
  COLORREF GetPixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF color);
  void Fill(COLORREF color);
  void FillRect(int x, int y, int width, int height, COLORREF color);

 private:
  struct FreeDeleter {
    void operator()(std::uint32_t* p) const;
  };
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<std::uint32_t[], FreeDeleter> pixels_;
};

}  // namespace hw
