#include <algorithm>

#include "display/city_tables.h"
#include "display/sprite_stamp.h"
#include "display/table_surface.h"
#include "platform/blit.h"
#include "platform/utf16.h"

namespace hw {
namespace {

// The sheet of the grid's frame: one framed cell, 7-pixel borders around a 330 × 64 cell.
constexpr int kCellWidth = 330;
constexpr int kCellHeight = 64;
constexpr int kBorder = 7;
// The area of the table surface the cells' texts use, outline included: five columns and
// eleven rows of cells and the 14 pixels the text is set in by.
constexpr Rect kCellArea{0, 0, 5 * kCellWidth + 14, 11 * kCellHeight + 14};

// The frame of `cells` cells in columns of `perColumn`, its top-left corner at (x0, y0).
void DrawGridFrame(Surface& canvas, const Surface& sheet, int x0, int y0, int cells, int perColumn,
                   std::optional<COLORREF> overlayKey) {
  const auto piece = [&](int x, int y, int sx, int sy, int w, int h) {
    BitBlt(canvas, x, y, w, h, sheet, sx, sy);
  };
  // A 7 × 64 border piece stretched to `height`.
  const auto stretched = [&](int x, int y, int height, int sx, int sy) {
    StretchBlt(canvas, x, y, kBorder, height, sheet, sx, sy, kBorder, kCellHeight);
  };
  const int C = perColumn;
  const int k = (cells - 1) / C + 1;  // columns
  const int m = (cells - 1) % C + 1;  // cells in the last column
  const int j = k - 1;                // the last column

  for (int i = 0; i < cells; ++i) {
    const int column = i / C;
    const int row = i % C;
    if (overlayKey) {
      // The overlay form: the cell lies over black rather than the key colour.
      const int left = x0 + kCellWidth * column + kBorder;
      const int top = y0 + kCellHeight * row + kBorder;
      ClearKeyOnCanvas(canvas, {left, top, left + kCellWidth, top + kCellHeight}, *overlayKey);
    }
    AlphaBlend(canvas, x0 + kCellWidth * column + kBorder, y0 + kCellHeight * row + kBorder,
               kCellWidth, kCellHeight, sheet, kBorder, kBorder, kCellWidth, kCellHeight, 96);
  }
  piece(x0, y0, 0, 0, 337, 7);
  for (int c = 1; c < k; ++c) {
    piece(x0 + 7 + kCellWidth * c, y0, 7, 0, kCellWidth, 7);
  }
  stretched(x0, y0 + 7, kCellHeight * (k == 1 ? m : C), 0, 7);
  for (int c = 0; c + 1 < k; ++c) {
    if (c == 0) {
      piece(x0, y0 + 7 + kCellHeight * C, 0, 71, 337, 7);
    } else {
      piece(x0 + 7 + kCellWidth * c, y0 + 7 + kCellHeight * C, 7, 71, kCellWidth, 7);
    }
  }

  const int right = x0 + 337 + kCellWidth * j;
  stretched(right, y0 + 7, kCellHeight * m, 337, 7);
  piece(right, y0, 337, 0, 7, 7);
  const int bottom = y0 + 71 + kCellHeight * (m - 1);
  if (k == 1) {
    piece(x0, bottom, 0, 71, 337, 7);
  } else {
    piece(x0 + 7 + kCellWidth * j, bottom, 7, 71, kCellWidth, 7);
  }
  piece(right, bottom, 337, 71, 7, 7);

  // A shorter last column: the previous column's right border runs on below it.
  if (k >= 2 && m < C) {
    const int xs = x0 + 337 + kCellWidth * (j - 1);
    stretched(xs, y0 + 78 + kCellHeight * (m - 1), kCellHeight * (C - m + 1) - 71, 337, 7);
    piece(xs, y0 + 7 + kCellHeight * C, 337, 71, 7, 7);
    piece(xs, y0 + 71 + kCellHeight * (m - 1), 344, 0, 7, 7);
  }
}

// White text with a dark, soft outline: drawn eight times around its place, then on it.
void DrawOutlinedText(TextRenderer& text, TableWork& table, FontId font, std::u16string_view name,
                      const Rect& cell) {
  constexpr unsigned kFlags = DT_SINGLELINE | DT_VCENTER;
  // Only the left and top edges move: a top edge moved by 4 moves the centred text by 2.
  const auto at = [&](int dx, int dy, COLORREF colour) {
    table.DrawText(text, font, colour, name,
                   {cell.left + dx, cell.top + dy, cell.right, cell.bottom}, kFlags);
  };
  for (const auto& [offset, colour] : {std::pair{4, MakeColorRef(0x50, 0x50, 0x50)},
                                       std::pair{1, MakeColorRef(0x70, 0x70, 0x70)}}) {
    at(-offset, -offset, colour);
    at(-offset, offset, colour);
    at(offset, offset, colour);
    at(offset, -offset, colour);
  }
  at(0, 0, kWhite);
}

}  // namespace

void DrawCityGrid(ComposeInputs& in, ComposePass pass) {
  TableLayout& city = in.theme.table.City;
  if (city.type != 1) return;
  city.maxCount = std::clamp(city.maxCount, 1, 55);
  city.maxRow = std::clamp(city.maxRow, 1, 6);
  city.maxColumn = std::clamp(city.maxColumn, 2, 11);
  const LatestReport& report = in.reports.latest;
  const int points = std::clamp(report.pointCount, 0, LatestReport::kMaxPoints);
  const int atMax = std::clamp(report.MaxScalePointCount, 0, points);
  const int C = city.maxColumn;
  // Only places at the maximum intensity are shown, in at most five columns; the frame and
  // its cells are not limited by City.maxCount.
  const int n = std::min({city.maxCount, atMax, 5 * C});
  if (n <= 0) return;
  const int framed = std::min(atMax, 5 * C);

  Surface& canvas = in.surfaces[CanvasSurface].surface;
  const Surface& sheet = in.surfaces[CityTableSurface].surface;
  const int firstPage = FirstPageOf(pass);
  for (const int page : {firstPage, firstPage + 1}) {
    DrawGridFrame(canvas, sheet, city.wakuRcLeft + PageX(page), city.wakuRcTop, framed, C,
                  OverlayKeyOf(in.settings));
  }

  // Every cell a composition can use is cleared, so that no name of an earlier composition
  // is copied along with this one's.
  TableWork table(in);
  table.Clear(kCellArea);
  const FontId font = in.fonts[CityHeaderFont];
  for (int i = 0; i < n; ++i) {
    const int column = i / C;
    const int row = i % C;
    const std::u16string_view addr = report.points[static_cast<std::size_t>(i)].addr.View();
    const std::u16string_view name =
        addr.substr(0, CutLengthKeepingPairs(addr, static_cast<std::size_t>(city.maxRow)));
    const Rect cell{kCellWidth * column + 14, kCellHeight * row + 2, kCellWidth * column + 330,
                    kCellHeight * row + 64};
    DrawOutlinedText(in.text, table, font, name, cell);
    for (const int page : {firstPage, firstPage + 1}) {
      table.CopyTo(canvas,
                   {kCellWidth * column, kCellHeight * row, kCellWidth * (column + 1),
                    kCellHeight * (row + 1)},
                   city.rcLeft + kCellWidth * column + PageX(page), city.rcTop + kCellHeight * row);
    }
  }
  in.surfaces[TableSurface].font = font;
  in.surfaces[TableSurface].textColor = kWhite;
}

}  // namespace hw
