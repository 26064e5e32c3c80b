#include "contact_sheet.h"

#include <algorithm>
#include <string>

#include "platform/text_codec.h"

namespace hw::themegen {
namespace {

constexpr int kSheetWidth = 1880;
constexpr int kMargin = 20;
constexpr int kGap = 8;
constexpr int kLabelHeight = 30;
constexpr COLORREF kBackground = MakeColorRef(0x2b, 0x2f, 0x36);
constexpr COLORREF kLabel = MakeColorRef(0xd8, 0xdc, 0xe2);
constexpr COLORREF kCheckLight = MakeColorRef(0xb8, 0xbe, 0xc6);
constexpr COLORREF kCheckDark = MakeColorRef(0x98, 0x9e, 0xa8);

struct Block {
  const SpriteFile* file;
  std::u16string label;
  int cellWidth;
  int cellHeight;
  int cells;
  int perRow;
  int width;
  int height;
  int x = 0;
  int y = 0;
};

bool AllKey(const Surface& picture) {
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if (picture.GetPixel(x, y) != kSpriteKey) return false;
    }
  }
  return true;
}

std::u16string Number(int value) {
  return Utf8ToUtf16(std::to_string(value));
}

void CopyCell(Surface& sheet, int x, int y, const Surface& picture, const Rect& cell) {
  for (int cy = 0; cy < cell.Height(); ++cy) {
    for (int cx = 0; cx < cell.Width(); ++cx) {
      const COLORREF pixel = picture.GetPixel(cell.left + cx, cell.top + cy);
      const bool light = ((cx / 8) + (cy / 8)) % 2 == 0;
      sheet.SetPixel(x + cx, y + cy,
                     pixel == kSpriteKey ? (light ? kCheckLight : kCheckDark) : pixel);
    }
  }
}

}  // namespace

Surface DrawContactSheet(const std::vector<SpriteFile>& files, TextRenderer& text) {
  const FontId font = text.CreateFont({u"Arial", 22, 0, 400});
  const auto labelWidth = [&](const std::u16string& label) {
    Surface none;
    Rect rect{};
    text.DrawText(none, font, kLabel, label, rect, DT_SINGLELINE | DT_CALCRECT);
    return rect.Width();
  };

  std::vector<Block> blocks;
  for (const SpriteFile& file : files) {
    Block block{
        &file,       Utf8ToUtf16(file.path), file.picture.width(), file.picture.height(), 1, 1, 0,
        kLabelHeight};
    if (AllKey(file.picture)) {
      block.label += u"  (transparent)";
      block.cells = 0;
    } else if (file.cellWidth > 0) {
      block.cellWidth = file.cellWidth;
      block.cellHeight = file.cellHeight;
      block.cells =
          (file.picture.width() / file.cellWidth) * (file.picture.height() / file.cellHeight);
      block.label += u"  " + Number(block.cells) + u" cells of " + Number(file.cellWidth) + u" × " +
                     Number(file.cellHeight);
    } else {
      block.label += u"  " + Number(file.picture.width()) + u" × " + Number(file.picture.height());
    }
    const int usable = kSheetWidth - 2 * kMargin;
    block.perRow = std::max(1, std::min(block.cells, (usable + kGap) / (block.cellWidth + kGap)));
    const int rows = block.cells == 0 ? 0 : (block.cells + block.perRow - 1) / block.perRow;
    block.width = std::max(labelWidth(block.label),
                           block.cells == 0 ? 0 : block.perRow * (block.cellWidth + kGap) - kGap);
    block.height = kLabelHeight + rows * (block.cellHeight + kGap);
    blocks.push_back(std::move(block));
  }

  // Shelves: blocks left to right, a new shelf when the next does not fit.
  int x = kMargin;
  int y = kMargin;
  int shelfHeight = 0;
  for (Block& block : blocks) {
    if (x > kMargin && x + block.width > kSheetWidth - kMargin) {
      x = kMargin;
      y += shelfHeight + 2 * kGap;
      shelfHeight = 0;
    }
    block.x = x;
    block.y = y;
    x += block.width + 4 * kGap;
    shelfHeight = std::max(shelfHeight, block.height);
  }

  // A sprite wider than a shelf (the ticker's frame) widens the sheet.
  int width = kSheetWidth;
  for (const Block& block : blocks)
    width = std::max(width, block.x + block.width + kMargin);
  Surface sheet(width, y + shelfHeight + kMargin);
  sheet.Fill(kBackground);
  for (const Block& block : blocks) {
    Rect label{block.x, block.y, block.x + block.width + 200, block.y + kLabelHeight - 6};
    text.DrawText(sheet, font, kLabel, block.label, label, DT_SINGLELINE | DT_VCENTER);
    const int across = block.cellWidth > 0 ? block.file->picture.width() / block.cellWidth : 1;
    for (int n = 0; n < block.cells; ++n) {
      // Cells are numbered across a sheet first, then down.
      const int cx = (n % std::max(across, 1)) * block.cellWidth;
      const int cy = (n / std::max(across, 1)) * block.cellHeight;
      CopyCell(sheet, block.x + (n % block.perRow) * (block.cellWidth + kGap),
               block.y + kLabelHeight + (n / block.perRow) * (block.cellHeight + kGap),
               block.file->picture, {cx, cy, cx + block.cellWidth, cy + block.cellHeight});
    }
  }
  return sheet;
}

}  // namespace hw::themegen
