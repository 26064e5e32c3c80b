#pragma once

#include "platform/colorref.h"
#include "platform/text_renderer.h"

// The look of the default theme in one place: change a colour here and regenerate.
namespace hw::themegen::style {

// Boxes: a dark navy body shaded from top to bottom inside a light frame with a darker inner
// line. Boxes drawn with half opacity (the layout's alpha 128) let the map show through.
inline constexpr COLORREF kPanelTop = MakeColorRef(0x24, 0x37, 0x57);
inline constexpr COLORREF kPanelBottom = MakeColorRef(0x0c, 0x17, 0x2a);
inline constexpr COLORREF kPanelMiddle = MakeColorRef(0x18, 0x27, 0x40);
inline constexpr COLORREF kFrame = MakeColorRef(0xe4, 0xec, 0xf7);
inline constexpr COLORREF kFrameShade = MakeColorRef(0x6f, 0x86, 0xa8);

// Captions on boxes, and the light tabs that name a box ("震源", "深さ", "津波").
inline constexpr COLORREF kCaption = MakeColorRef(0xd6, 0xe4, 0xf5);
inline constexpr COLORREF kTab = MakeColorRef(0xe4, 0xec, 0xf7);
inline constexpr COLORREF kTabText = MakeColorRef(0x0c, 0x17, 0x2a);
inline constexpr COLORREF kWhite = MakeColorRef(0xff, 0xff, 0xff);
// Dark labels are never pure black: bars are copied with black as the transparent colour.
inline constexpr COLORREF kDarkLabel = MakeColorRef(0x14, 0x14, 0x14);

// Tsunami advisory (yellow) and warning (red) accents.
inline constexpr COLORREF kAdvisory = MakeColorRef(0xff, 0xd8, 0x4a);
inline constexpr COLORREF kWarning = MakeColorRef(0xff, 0x3b, 0x3b);
inline constexpr COLORREF kWarningTop = MakeColorRef(0x74, 0x10, 0x1c);
inline constexpr COLORREF kWarningBottom = MakeColorRef(0x3c, 0x06, 0x0e);

// Badges without an intensity: a distant earthquake, and a report without intensities.
inline constexpr COLORREF kDistantTile = MakeColorRef(0x3f, 0x57, 0x7e);
inline constexpr COLORREF kUnknownTile = MakeColorRef(0x5a, 0x63, 0x70);

// The epicentre mark: a red cross with a white rim and a dark edge.
inline constexpr COLORREF kEpicentre = MakeColorRef(0xe6, 0x00, 0x12);
inline constexpr COLORREF kEpicentreRim = MakeColorRef(0xff, 0xff, 0xff);
inline constexpr COLORREF kEpicentreEdge = MakeColorRef(0x30, 0x00, 0x04);

// Faces: Japanese captions in Noto Sans CJK JP Bold (the program maps Meiryo to it), digits
// in Liberation Sans Bold (for Arial).
inline FontSpec Japanese(int height) {
  return {u"Meiryo", height, 0, 700};
}
inline FontSpec Digits(int height) {
  return {u"Arial", height, 0, 700};
}

}  // namespace hw::themegen::style
