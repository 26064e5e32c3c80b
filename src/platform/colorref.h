#pragma once

#include <cstdint>

namespace hw {

// A colour as the drawing API takes it: 0x00BBGGRR. Pixels in memory are 0xAARRGGBB words
// (bytes B, G, R, A), so every colour is converted once where it enters a drawing operation.
using COLORREF = std::uint32_t;

constexpr COLORREF MakeColorRef(int red, int green, int blue) {
  return static_cast<COLORREF>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// Pixels are always stored opaque so that Qt can present them as Format_RGB32.
constexpr std::uint32_t PixelFromColorRef(COLORREF color) {
  return 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

constexpr COLORREF ColorRefFromPixel(std::uint32_t pixel) {
  return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}

// Sprites use pure blue as the transparent colour; table text and the ticker use black.
inline constexpr COLORREF kSpriteKey = 0xFF0000;
inline constexpr COLORREF kTextKey = 0x000000;
inline constexpr COLORREF kWhite = 0xFFFFFF;

}  // namespace hw
