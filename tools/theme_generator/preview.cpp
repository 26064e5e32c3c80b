#include "preview.h"

#include <string>
#include <string_view>

#include "display/font_table.h"
#include "display/sprite_drawing.h"
#include "platform/blit.h"

namespace hw::themegen {
namespace {

class Composition {
 public:
  Composition(const std::vector<SpriteFile>& files, TextRenderer& text, const FontSpecs& fonts)
      : files_(files), text_(text), fonts_(fonts) {}

  Surface canvas{1920, 1080};

  const Surface& Sprite(std::string_view path) const {
    for (const SpriteFile& file : files_) {
      if (file.path == path) return file.picture;
    }
    static const Surface kNone;
    return kNone;
  }

  // A sprite stamped as the boxes are: keyed copy scaled to the rectangle, then blended
  // with constant opacity.
  void Stamp(const ThemeElement& e, std::string_view path, int sx = 0, int sy = 0) {
    if (e.visible == 0) return;
    const int w = e.rcRight - e.rcLeft + 1;
    const int h = e.rcBottom - e.rcTop + 1;
    Surface scratch(w, h);
    BitBlt(scratch, 0, 0, w, h, canvas, e.rcLeft, e.rcTop);
    TransparentBlt(scratch, 0, 0, w, h, Sprite(path), sx, sy, e.width, e.height, kSpriteKey);
    AlphaBlend(canvas, e.rcLeft, e.rcTop, w, h, scratch, 0, 0, w, h, e.alpha);
  }

  void Text(FontIndex font, COLORREF colour, const TextElement& e, std::u16string_view text,
            unsigned format) {
    if (e.visible == 0) return;
    Rect rect{e.rcLeft, e.rcTop, e.rcRight, e.rcBottom};
    text_.DrawText(canvas, Font(font), colour, text, rect, format | DT_VCENTER | DT_SINGLELINE);
  }

  FontId Font(FontIndex font) {
    if (ids_[font] == kNoFont) ids_[font] = text_.CreateFont(fonts_[font]);
    return ids_[font];
  }

 private:
  const std::vector<SpriteFile>& files_;
  TextRenderer& text_;
  const FontSpecs& fonts_;
  FontTable ids_ = [] {
    FontTable ids;
    ids.fill(kNoFont);
    return ids;
  }();
};

// A quiet stand-in for the map: sea shading and a few grey land shapes.
void DrawBackdrop(Surface& canvas) {
  FillRoundRectGradient(canvas, {0, 0, 1920, 1080}, 0, MakeColorRef(0x1b, 0x3a, 0x5c),
                        MakeColorRef(0x0d, 0x22, 0x3a));
  const COLORREF land = MakeColorRef(0x5d, 0x66, 0x5c);
  FillStroke(canvas, 1500, 180, 1260, 520, 70, land);
  FillStroke(canvas, 1260, 520, 900, 700, 60, land);
  FillStroke(canvas, 900, 700, 560, 840, 45, land);
  FillCircle(canvas, 1620, 120, 90, land);
  FillStroke(canvas, 560, 840, 420, 930, 40, land);
}

}  // namespace

Surface DrawPreview(const ThemeLayout& layout, const std::vector<SpriteFile>& files,
                    TextRenderer& text) {
  const FontSpecs fonts = FontSpecsFor(layout);
  Composition c(files, text, fonts);
  DrawBackdrop(c.canvas);
  const ThemeLayout::Waku& w = layout.waku;
  const ThemeLayout::FontRects& t = layout.text;
  const ThemeLayout::FontStyles& s = layout.style;

  // Markers and the epicentre on the map.
  const int mid = layout.intensity.MidIntensity.width;
  const int cells[] = {2, 3, 4, 5, 6, 7, 3, 2};
  const int places[][2] = {{1180, 560}, {1110, 600}, {1040, 640}, {980, 660},
                           {920, 690},  {1240, 520}, {860, 720},  {1320, 470}};
  for (int n = 0; n < 8; ++n) {
    TransparentBlt(c.canvas, places[n][0] - mid / 2, places[n][1] - mid / 2, mid, mid,
                   c.Sprite("Intensity/MidlIntensity.bmp"), cells[n] * mid, 0, mid, mid,
                   kSpriteKey);
  }
  const int min = layout.intensity.MinIntensity.width;
  for (int n = 0; n < 5; ++n) {
    TransparentBlt(c.canvas, 700 + 50 * n, 780, 44, 44, c.Sprite("Intensity/MinIntensity.bmp"),
                   (n + 3) * min, 0, min, min, kSpriteKey);
  }
  TransparentBlt(c.canvas, 1060, 700, w.ShingenWakuWidth, w.ShingenWakuHeight,
                 c.Sprite("Waku/Shingen.bmp"), 0, 0, w.ShingenWakuWidth, w.ShingenWakuHeight,
                 kSpriteKey);

  c.Stamp(w.EventTimeWaku, "Waku/EventTime_waku.bmp");
  c.Stamp(w.EventTimeMoji, "Waku/EventTime_moji.bmp");
  c.Stamp(w.MagnitudeWaku, "Waku/Magnitude_waku.bmp");
  c.Stamp(w.MagnitudeMoji, "Waku/Magnitude_moji.bmp");
  constexpr unsigned kRight = DT_RIGHT;
  c.Text(EventTimeFont, s.EventTime.fontColor, t.EventTimeDate, u" 1", kRight);
  c.Text(EventTimeFont, s.EventTime.fontColor, t.EventTimeHour, u"16", kRight);
  c.Text(EventTimeFont, s.EventTime.fontColor, t.EventTimeMinute, u"10", kRight);
  c.Text(MagnitudeFont, s.Magnitude.fontColor, t.Magnitude, u"7.6", DT_CENTER);

  c.Stamp(w.InfoShingenWaku, "Waku/InfoShingen_waku.bmp");
  c.Stamp(w.InfoShingenMoji, "Waku/InfoShingen_moji.bmp");
  c.Stamp(w.InfoDepthWaku, "Waku/InfoDepth_waku.bmp");
  c.Stamp(w.InfoDepthMoji, "Waku/InfoDepth_moji.bmp");
  c.Stamp(w.InfoCommentWaku, "Waku/InfoComment_waku.bmp");
  c.Text(InfoShingenFont, s.InfoShingen.fontColor, t.InfoShingen, u"石川県能登地方",
         static_cast<unsigned>(s.InfoShingen.align));
  c.Text(InfoDepthFont, s.InfoDepth.fontColor, t.InfoDepth, u"10km",
         static_cast<unsigned>(s.InfoDepth.align));
  c.Text(InfoCommentFont, s.InfoComment.fontColor, t.InfoComment,
         u"この地震により、日本の沿岸では若干の海面変動があるかもしれません", DT_LEFT);

  c.Stamp(w.Tsunami4Waku, "Waku/Tsunami_04_waku.bmp");
  c.Stamp(w.Tsunami4Moji, "Waku/Tsunami_04_moji.bmp");

  const ThemeElement& max = layout.intensity.MaxIntensity;
  c.Stamp(max, "Intensity/MaxIntensity.bmp", 5 * max.width, 0);

  const HistoryBadge& history = layout.intensity.HistIntensity;
  // Three rows: the fourth of the default layout lies over the tsunami box.
  const int rows[] = {7, 3, 10};
  for (int r = 0; r < 3; ++r) {
    ThemeElement row = history;
    row.rcTop += r * history.height;
    row.rcBottom += r * history.height;
    c.Stamp(row, "Intensity/HistoryIntensity.bmp", 0, rows[r] * history.height);
  }

  // A city grid of one column of three cells, framed from the table cell's pieces.
  const Surface& cell = c.Sprite("Table/City.bmp");
  const int x0 = layout.table.City.wakuRcLeft;
  const int y0 = layout.table.City.wakuRcTop;
  for (int row = 0; row < 3; ++row) {
    AlphaBlend(c.canvas, x0 + 7, y0 + 7 + 64 * row, 330, 64, cell, 7, 7, 330, 64, 96);
  }
  BitBlt(c.canvas, x0, y0, 337, 7, cell, 0, 0);
  StretchBlt(c.canvas, x0, y0 + 7, 7, 192, cell, 0, 7, 7, 64);
  StretchBlt(c.canvas, x0 + 337, y0 + 7, 7, 192, cell, 337, 7, 7, 64);
  BitBlt(c.canvas, x0 + 337, y0, 7, 7, cell, 337, 0);
  BitBlt(c.canvas, x0, y0 + 199, 337, 7, cell, 0, 71);
  BitBlt(c.canvas, x0 + 337, y0 + 199, 7, 7, cell, 337, 71);
  const std::u16string_view names[] = {u"輪島市", u"珠洲市", u"志賀町"};
  for (int row = 0; row < 3; ++row) {
    Rect rect{layout.table.City.rcLeft + 14, layout.table.City.rcTop + 64 * row + 2,
              layout.table.City.rcLeft + 330, layout.table.City.rcTop + 64 * row + 64};
    text.DrawText(c.canvas, c.Font(CityHeaderFont), 0xFFFFFF, names[row], rect,
                  DT_SINGLELINE | DT_VCENTER);
  }
  return std::move(c.canvas);
}

}  // namespace hw::themegen
