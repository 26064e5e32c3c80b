#include "display/builtin_pictures.h"

#include <utility>

#include "display/intensity_style.h"
#include "display/sprite_drawing.h"

namespace hw {
namespace {

constexpr COLORREF kLabelWhite = MakeColorRef(0xff, 0xff, 0xff);
constexpr COLORREF kLabelBlack = MakeColorRef(0x00, 0x00, 0x00);

Surface Blank(int width, int height) {
  Surface surface(width, height);
  surface.Fill(kSpriteKey);
  return surface;
}

void DrawLabel(TextRenderer& text, Surface& surface, FontId font, int cell, Rect rect) {
  text.DrawText(surface, font, DarkLabelOn(cell) ? kLabelBlack : kLabelWhite, IntensityLabel(cell),
                rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// Ten cells side by side; cell 0 stays blank, cells 1–9 get a badge and its label.
Surface DrawBadgeSheet(TextRenderer& text, int cellSize, int fontHeight, bool round) {
  Surface sheet = Blank(cellSize * kIntensitySheetCells, cellSize);
  const FontId font = text.CreateFont({u"Arial", fontHeight, 0, 700});
  const int margin = cellSize / 20;
  for (int cell = 1; cell < kIntensitySheetCells; ++cell) {
    const int left = cell * cellSize;
    const COLORREF colour = IntensityColour(cell);
    if (round) {
      FillCircle(sheet, left + cellSize / 2.0, cellSize / 2.0, cellSize / 2.0 - margin, colour);
    } else {
      FillRoundRect(sheet, {left + margin, margin, left + cellSize - margin, cellSize - margin},
                    cellSize / 10, colour);
    }
    DrawLabel(text, sheet, font, cell, {left, 0, left + cellSize, cellSize});
  }
  return sheet;
}

// A red "×" with a yellow rim, centred.
Surface DrawEpicentre() {
  Surface mark = Blank(74, 74);
  constexpr double kNear = 15;
  constexpr double kFar = 59;
  for (const auto& [halfWidth, colour] : {std::pair{10.0, MakeColorRef(0xff, 0xe6, 0x00)},
                                          std::pair{6.0, MakeColorRef(0xe6, 0x00, 0x12)}}) {
    FillStroke(mark, kNear, kNear, kFar, kFar, halfWidth, colour);
    FillStroke(mark, kFar, kNear, kNear, kFar, halfWidth, colour);
  }
  return mark;
}

// A black field in a light grey bevelled border.
Surface DrawCityTableCell() {
  return DrawTableCellSheet(kLabelBlack,
                            {MakeColorRef(0x50, 0x50, 0x50), MakeColorRef(0x9a, 0x9a, 0x9a),
                             MakeColorRef(0xc8, 0xc8, 0xc8), MakeColorRef(0xd8, 0xd8, 0xd8),
                             MakeColorRef(0xe6, 0xe6, 0xe6), MakeColorRef(0xf4, 0xf4, 0xf4),
                             MakeColorRef(0x8a, 0x8a, 0x8a)});
}

Surface DrawBarSheet() {
  constexpr int kWidth = 480;
  constexpr int kRow = 40;
  Surface bars = Blank(kWidth, kRow * kIntensitySheetCells);
  for (int cell = 1; cell < kIntensitySheetCells; ++cell) {
    const int top = cell * kRow;
    const COLORREF colour = IntensityColour(cell);
    FillRoundRect(bars, {2, top + 5, 142, top + 35}, 10, colour);
    bars.FillRect(148, top + 18, kWidth - 148, 4, colour);
  }
  return bars;
}

}  // namespace

Surface DrawBuiltinPicture(int picture, TextRenderer& text) {
  switch (picture) {
    case kBlankUserPicture:
    case kBlankBoxPicture:
      return Blank(8, 8);
    case kMidIntensityPicture:
      return DrawBadgeSheet(text, 64, 44, false);
    case kMinIntensityPicture:
      return DrawBadgeSheet(text, 162, 110, true);
    case kEpicentrePicture:
      return DrawEpicentre();
    case kCityTablePicture:
      return DrawCityTableCell();
    case kBarIntensityPicture:
      return DrawBarSheet();
    default:
      return {};
  }
}

}  // namespace hw
