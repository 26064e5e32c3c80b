#include "platform/surface.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace hw {

namespace {

constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

}  // namespace

void Surface::FreeDeleter::operator()(std::uint32_t* p) const {
  std::free(p);
}

Surface::Surface(int width, int height) {
  if (width <= 0 || height <= 0) return;
  const auto count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  // Row() and the blits index with ptrdiff_t byte offsets, so the whole buffer must fit one.
  if (count > static_cast<std::uint64_t>(PTRDIFF_MAX) / sizeof(std::uint32_t)) return;
  auto* memory = static_cast<std::uint32_t*>(std::malloc(count * sizeof(std::uint32_t)));
  if (memory == nullptr) return;
  std::fill_n(memory, count, kOpaqueBlack);
  pixels_.reset(memory);
  width_ = width;
  height_ = height;
}

Surface::Surface(Surface&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      pixels_(std::move(other.pixels_)) {}

Surface& Surface::operator=(Surface&& other) noexcept {
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  pixels_ = std::move(other.pixels_);
  return *this;
}

std::size_t Surface::ByteCount() const {
  if (empty()) return 0;
  return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) *
         sizeof(std::uint32_t);
}

COLORREF Surface::GetPixel(int x, int y) const {
  if (empty() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return ColorRefFromPixel(Row(y)[x]);
}

void Surface::SetPixel(int x, int y, COLORREF color) {
  if (empty() || x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = PixelFromColorRef(color);
}

void Surface::Fill(COLORREF color) {
  if (empty()) return;
  std::fill_n(pixels(), static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              PixelFromColorRef(color));
}

void Surface::FillRect(int x, int y, int width, int height, COLORREF color) {
  if (empty() || width <= 0 || height <= 0) return;
  // 64-bit edges: x + width may not fit an int.
  const std::int64_t left = std::max<std::int64_t>(x, 0);
  const std::int64_t top = std::max<std::int64_t>(y, 0);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, width_);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + height, height_);
  if (left >= right || top >= bottom) return;
  const std::uint32_t pixel = PixelFromColorRef(color);
  for (auto row = top; row < bottom; ++row) {
    std::fill(Row(static_cast<int>(row)) + left, Row(static_cast<int>(row)) + right, pixel);
  }
}

}  // namespace hw
