#include "default_theme.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>
#include <utility>

#include "display/font_table.h"
#include "display/intensity_style.h"
#include "display/sprite_drawing.h"
#include "lettering.h"
#include "theme_style.h"

namespace hw::themegen {
namespace {

namespace s = style;

Surface Blank(int width, int height) {
  Surface surface(width, height);
  surface.Fill(kSpriteKey);
  return surface;
}

// A box: shaded body, light frame, darker line inside the frame.
void Panel(Surface& target, const Rect& rect, int radius, int frame, COLORREF top = s::kPanelTop,
           COLORREF bottom = s::kPanelBottom, COLORREF frameColour = s::kFrame) {
  FillRoundRectGradient(target, rect, radius, top, bottom);
  FrameRoundRect(target, rect, radius, frame, frameColour);
  FrameRoundRect(target,
                 {rect.left + frame, rect.top + frame, rect.right - frame, rect.bottom - frame},
                 std::max(radius - frame, 0), 1, s::kFrameShade);
}

// Intensity cells 1–9 as a digit and what follows it.
std::u16string_view Digit(int cell) {
  constexpr std::array<std::u16string_view, kIntensitySheetCells> kDigits = {
      u"", u"1", u"2", u"3", u"4", u"5", u"5", u"6", u"6", u"7"};
  return kDigits[static_cast<std::size_t>(cell)];
}
std::u16string_view KanjiSuffix(int cell) {
  constexpr std::array<std::u16string_view, kIntensitySheetCells> kSuffixes = {
      u"", u"", u"", u"", u"", u"弱", u"強", u"弱", u"強", u""};
  return kSuffixes[static_cast<std::size_t>(cell)];
}
std::u16string_view SignSuffix(int cell) {
  constexpr std::array<std::u16string_view, kIntensitySheetCells> kSuffixes = {
      u"", u"", u"", u"", u"", u"\u2212", u"+", u"\u2212", u"+", u""};
  return kSuffixes[static_cast<std::size_t>(cell)];
}

COLORREF LabelColour(int cell) {
  return DarkLabelOn(cell) ? s::kDarkLabel : s::kWhite;
}

// The colour a tile is shaded from at its top: its intensity colour, lightened.
COLORREF Lighter(COLORREF colour) {
  return MixColour(colour, s::kWhite, 40);
}

// Page rectangles of the layout's elements.
Rect PageRect(const TextElement& e) {
  return {e.rcLeft, e.rcTop, e.rcRight, e.rcBottom};
}

// Maps page coordinates inside an element's destination into its sprite's pixels: sprites
// are stretched from width × height onto the inclusive destination rectangle.
struct SpriteSpace {
  explicit SpriteSpace(const ThemeElement& e)
      : left(e.rcLeft),
        top(e.rcTop),
        scaleX(static_cast<double>(e.width) / (e.rcRight - e.rcLeft + 1)),
        scaleY(static_cast<double>(e.height) / (e.rcBottom - e.rcTop + 1)) {}
  int X(int pageX) const { return static_cast<int>((pageX - left) * scaleX + 0.5); }
  int Y(int pageY) const { return static_cast<int>((pageY - top) * scaleY + 0.5); }
  int left;
  int top;
  double scaleX;
  double scaleY;
};

class Painter {
 public:
  Painter(const ThemeLayout& layout, TextRenderer& text)
      : layout_(layout), letters_(text), fonts_(FontSpecsFor(layout)) {}

  std::vector<SpriteFile> DrawAll();

 private:
  // Sheets and badges.
  Surface MaxIntensity();
  Surface Markers(const hw::MarkerSheet& sheet, bool round);
  Surface Bars();
  Surface History();
  Surface CityTable();
  // Boxes.
  Surface EventTimeCaptions();
  Surface MagnitudeCaption();
  Surface Epicentre();
  Surface TsunamiFrame(int code, const ThemeElement& e);
  Surface TsunamiCaption(int code, const ThemeElement& e);
  // A box's caption: a tab naming it at its left end, up to just before its text `text`.
  Surface TabCaption(const ThemeElement& e, const TextElement& text, std::u16string_view tab);
  static Surface Frame(const ThemeElement& e, int radius, int frame);

  // A light tab with its name fitted inside, as the boxes' captions have.
  void Tab(Surface& target, const Rect& rect, std::u16string_view name,
           COLORREF colour = style::kTab, COLORREF ink = style::kTabText);

  // The intensity written as a large digit followed by a smaller 弱/強 (`suffixPercent` of the
  // digit's font height) or a sign, centred in `box`.
  void IntensityLabel(Surface& target, const Rect& box, int cell, int digitHeight, bool kanji,
                      int suffixPercent = 45);
  // Text shrunk until its ink fits `box`, then centred in it.
  void Fitted(Surface& target, const Rect& box, std::u16string_view text, FontSpec font,
              COLORREF colour, COLORREF under);
  // A font whose ink of `sample` is about `inkHeight` pixels high.
  FontSpec SizedFor(std::u16string_view sample, int inkHeight, FontSpec font);
  // Where the program's text lands on the page: the ink of `sample` drawn as the program
  // draws into `rect` with font `font` and the DrawText `format`.
  Rect ProgramInk(FontIndex font, const Rect& rect, unsigned format, std::u16string_view sample);

  const ThemeLayout& layout_;
  Lettering letters_;
  FontSpecs fonts_;
};

void Painter::IntensityLabel(Surface& target, const Rect& box, int cell, int digitHeight,
                             bool kanji, int suffixPercent) {
  const COLORREF colour = LabelColour(cell);
  const Surface digit = letters_.Ink(Digit(cell), s::Digits(digitHeight));
  const std::u16string_view suffixText = kanji ? KanjiSuffix(cell) : SignSuffix(cell);
  const Surface suffix =
      suffixText.empty()
          ? Surface()
          : letters_.Ink(suffixText, kanji ? s::Japanese(digitHeight * suffixPercent / 100)
                                           : s::Digits(digitHeight * 7 / 10));
  const int gap = suffix.empty() ? 0 : std::max(2, digitHeight / 24);
  const int width = digit.width() + gap + suffix.width();
  const int left = box.left + (box.Width() - width) / 2;
  const int top = box.top + (box.Height() - digit.height()) / 2;
  Lettering::Paint(target, digit, left, top, colour, colour);
  if (suffix.empty()) return;
  // A kanji stands on the digit's baseline; a sign sits at the digit's middle.
  const int suffixTop =
      kanji ? top + digit.height() - suffix.height() : top + (digit.height() - suffix.height()) / 2;
  Lettering::Paint(target, suffix, left + digit.width() + gap, suffixTop, colour, colour);
}

void Painter::Fitted(Surface& target, const Rect& box, std::u16string_view text, FontSpec font,
                     COLORREF colour, COLORREF under) {
  Surface ink = letters_.Ink(text, font);
  while ((ink.width() > box.Width() || ink.height() > box.Height()) && font.height > 8) {
    font.height -= 2;
    ink = letters_.Ink(text, font);
  }
  Lettering::Paint(target, ink, box.left + (box.Width() - ink.width()) / 2,
                   box.top + (box.Height() - ink.height()) / 2, colour, under);
}

FontSpec Painter::SizedFor(std::u16string_view sample, int inkHeight, FontSpec font) {
  font.height = std::max(inkHeight, 4);
  while (letters_.Ink(sample, font).height() < inkHeight && font.height < 4 * inkHeight)
    ++font.height;
  return font;
}

Rect Painter::ProgramInk(FontIndex font, const Rect& rect, unsigned format,
                         std::u16string_view sample) {
  const int margin = 8;
  Surface scratch(rect.Width() + 2 * margin, rect.Height() + 2 * margin);
  scratch.Fill(0);
  Rect shifted{margin, margin, margin + rect.Width(), margin + rect.Height()};
  letters_.renderer().DrawText(scratch, letters_.Font(fonts_[font]), 0xFFFFFF, sample, shifted,
                               format);
  Rect ink{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < scratch.height(); ++y) {
    for (int x = 0; x < scratch.width(); ++x) {
      if (scratch.GetPixel(x, y) == 0) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
             std::max(ink.bottom, y + 1)};
    }
  }
  const int dx = rect.left - margin;
  const int dy = rect.top - margin;
  return {ink.left + dx, ink.top + dy, ink.right + dx, ink.bottom + dy};
}

// The maximum-intensity badge: eleven cells for the intensities 1 … 7, a distant earthquake
// and a report without an intensity (a dash on a grey tile, so that the headline keeps its
// first box).
Surface Painter::MaxIntensity() {
  const ThemeElement& e = layout_.intensity.MaxIntensity;
  const int w = e.width;
  const int h = e.height;
  Surface sheet = Blank(11 * w, h);
  const int captionWidth = w * 36 / 100;
  for (int k = 0; k < 11; ++k) {
    const int x0 = k * w;
    Panel(sheet, {x0 + 2, 2, x0 + w - 2, h - 2}, 14, 3);
    if (k == 9) {
      letters_.Centred(sheet, {x0 + 8, 10, x0 + w - 8, h * 36 / 100}, u"海外で発生",
                       s::Japanese(h / 5), s::kCaption, s::kPanelMiddle);
      Fitted(sheet, {x0 + 14, h * 36 / 100, x0 + w - 14, h - 18}, u"遠地地震", s::Japanese(h / 2),
             s::kWhite, s::kPanelMiddle);
      continue;
    }
    const int cell = k + 1;
    const Rect caption{x0 + 10, 12, x0 + 10 + captionWidth, h - 12};
    letters_.Centred(sheet, {caption.left, caption.top, caption.right, h / 2}, u"最大",
                     s::Japanese(h * 34 / 100), s::kCaption, s::kPanelMiddle);
    letters_.Centred(sheet, {caption.left, h / 2, caption.right, caption.bottom}, u"震度",
                     s::Japanese(h * 34 / 100), s::kCaption, s::kPanelMiddle);
    const Rect tile{caption.right + 6, 12, x0 + w - 12, h - 12};
    if (k == 10) {
      FillRoundRectGradient(sheet, tile, 10, Lighter(s::kUnknownTile), s::kUnknownTile);
      Fitted(sheet, tile, u"―", s::Japanese(h * 8 / 10), s::kWhite, s::kUnknownTile);
      continue;
    }
    FillRoundRectGradient(sheet, tile, 10, Lighter(IntensityColour(cell)), IntensityColour(cell));
    IntensityLabel(sheet, tile, cell, h * 92 / 100, true);
  }
  return sheet;
}

// Map markers: ten cells, cell 0 blank; a white rim keeps them apart from the map.
Surface Painter::Markers(const hw::MarkerSheet& sheet, bool round) {
  const int w = sheet.width;
  const int h = sheet.height;
  Surface picture = Blank(kIntensitySheetCells * w, h);
  for (int cell = 1; cell < kIntensitySheetCells; ++cell) {
    const int x0 = cell * w;
    const COLORREF colour = IntensityColour(cell);
    const Rect inner{x0 + 2, 2, x0 + w - 2, h - 2};
    if (round) {
      FillCircle(picture, x0 + w / 2.0, h / 2.0, std::min(w, h) / 2.0 - 1, s::kWhite);
      FillCircle(picture, x0 + w / 2.0, h / 2.0, std::min(w, h) / 2.0 - 4, colour);
      IntensityLabel(picture, inner, cell, h * 72 / 100, false);
    } else {
      FillRoundRect(picture, {x0 + 1, 1, x0 + w - 1, h - 1}, w / 7, s::kWhite);
      FillRoundRectGradient(picture, {x0 + 4, 4, x0 + w - 4, h - 4}, w / 10, Lighter(colour),
                            colour);
      // Small markers need a larger 弱/強 to stay readable.
      IntensityLabel(picture, inner, cell, h * 56 / 100, true, 72);
    }
  }
  return picture;
}

// The city list's intensity bars: ten rows indexed like the marker sheets (row 0 blank),
// each a labelled bar and a line across the table.
Surface Painter::Bars() {
  const int w = layout_.intensity.BarIntensityWidth;
  const int h = layout_.intensity.BarIntensityHeight;
  Surface picture = Blank(w, kIntensitySheetCells * h);
  // The label's bar is as long as "震度5強" needs; the line runs on across the list.
  const int barWidth = std::min(w / 3, 4 * h);
  for (int cell = 1; cell < kIntensitySheetCells; ++cell) {
    const int y0 = cell * h;
    const COLORREF colour = IntensityColour(cell);
    const Rect bar{1, y0 + 3, barWidth, y0 + h - 3};
    FillRoundRectGradient(picture, bar, h / 4, Lighter(colour), colour);
    std::u16string label = u"震度";
    label += Digit(cell);
    label += KanjiSuffix(cell);
    Fitted(picture, {bar.left + 6, bar.top + 3, bar.right - 6, bar.bottom - 3}, label,
           s::Japanese(h), LabelColour(cell), colour);
    picture.FillRect(barWidth + 8, y0 + h / 2 - 2, w - barWidth - 8, 4, colour);
  }
  return picture;
}

// History rows: a box with the event's intensity tile on the left and, beside it, the
// captions of the program's texts: "/" and ":" inside the time, "M" before the magnitude and
// 深さ before the depth, each placed by measuring the program's text as it draws it.
// Cells: 0 an empty row (nothing), 1–9 the intensities, 10 a distant earthquake, 11 a report
// without intensities.
Surface Painter::History() {
  const HistoryBadge& e = layout_.intensity.HistIntensity;
  const ThemeLayout::FontRects& t = layout_.text;
  const int w = e.width;
  const int h = e.height;
  const SpriteSpace space(e);

  // The captions of a row: their ink and where it goes in the row.
  struct Caption {
    Surface ink;
    int x;
    int y;
  };
  std::vector<Caption> captions;
  constexpr unsigned kRight = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
  const Rect month = ProgramInk(HisEvTimeFont, PageRect(t.HisEvTimeMonth), kRight, u"12");
  const Rect date = ProgramInk(HisEvTimeFont, PageRect(t.HisEvTimeDate), kRight, u"28");
  const Rect hour = ProgramInk(HisEvTimeFont, PageRect(t.HisEvTimeHour), kRight, u"23");
  const Rect minute = ProgramInk(HisEvTimeFont, PageRect(t.HisEvTimeMinute), kRight, u"59");
  const FontSpec separator = SizedFor(u"/", month.Height(), s::Digits(32));
  const auto between = [&](const Rect& left, const Rect& right, std::u16string_view mark) {
    Surface ink = letters_.Ink(mark, separator);
    const int x = space.X((left.right + right.left) / 2) - ink.width() / 2;
    const int y = space.Y((left.top + left.bottom) / 2) - ink.height() / 2;
    captions.push_back({std::move(ink), x, y});
  };
  between(month, date, u"/");
  between(hour, minute, u":");

  const Rect magnitude = ProgramInk(HisMagnitudeFont, PageRect(t.HisMagnitude),
                                    DT_CENTER | DT_VCENTER | DT_SINGLELINE, u"6.8");
  Surface m = letters_.Ink(u"M", SizedFor(u"M", magnitude.Height() * 3 / 4, s::Digits(24)));
  const int mx = space.X(magnitude.left) - 4 - m.width();
  const int my = space.Y(magnitude.bottom) - m.height();
  captions.push_back({std::move(m), mx, my});

  const Rect depth = ProgramInk(
      HisDepthFont, PageRect(t.HisDepth),
      static_cast<unsigned>(layout_.style.HisDepth.align) | DT_VCENTER | DT_SINGLELINE, u"10km");
  Surface deep = letters_.Ink(u"深さ", SizedFor(u"深さ", depth.Height(), s::Japanese(20)));
  const int dx = space.X(depth.left) - 8 - deep.width();
  const int dy = space.Y(depth.bottom) - deep.height();
  captions.push_back({std::move(deep), dx, dy});

  Surface picture = Blank(w, 12 * h);
  const int tileWidth = space.X(t.HisEvTimeMonth.rcLeft) - 22;
  for (int cell = 1; cell < 12; ++cell) {
    const int y0 = cell * h;
    Panel(picture, {2, y0 + 2, w - 2, y0 + h - 2}, 10, 2);
    for (const Caption& c : captions)
      Lettering::Paint(picture, c.ink, c.x, y0 + c.y, s::kCaption, s::kPanelMiddle);
    const Rect tile{8, y0 + 8, 8 + tileWidth, y0 + h - 8};
    const Rect caption{tile.left, tile.top + 2, tile.right, tile.top + tile.Height() * 30 / 100};
    const Rect label{tile.left, caption.bottom, tile.right, tile.bottom - 2};
    if (cell == 10) {
      FillRoundRect(picture, tile, 8, s::kDistantTile);
      Fitted(picture, {tile.left + 6, tile.top, tile.right - 6, tile.bottom}, u"遠地",
             s::Japanese(h * 45 / 100), s::kWhite, s::kDistantTile);
      continue;
    }
    const COLORREF colour = cell == 11 ? s::kUnknownTile : IntensityColour(cell);
    const COLORREF ink = cell == 11 ? s::kWhite : LabelColour(cell);
    FillRoundRectGradient(picture, tile, 8, Lighter(colour), colour);
    letters_.Centred(picture, caption, u"震度", s::Japanese(h * 22 / 100), ink, colour);
    if (cell == 11) {
      Fitted(picture, label, u"―", s::Japanese(h * 40 / 100), ink, colour);
    } else {
      IntensityLabel(picture, label, cell, h * 66 / 100, true);
    }
  }
  return picture;
}

Surface Painter::CityTable() {
  return DrawTableCellSheet(
      s::kPanelBottom,
      {s::kFrameShade, MixColour(s::kFrameShade, s::kFrame, 150), s::kFrame, s::kFrame, s::kFrame,
       MixColour(s::kFrame, s::kWhite, 128), MixColour(s::kFrameShade, s::kPanelBottom, 128)});
}

Surface Painter::Frame(const ThemeElement& e, int radius, int frame) {
  Surface picture = Blank(e.width, e.height);
  Panel(picture, {1, 1, e.width - 1, e.height - 1}, radius, frame);
  return picture;
}

// 日, 時 and 分 after the date, hour and minute as the program draws them into the box, and
// a tab naming the time.
Surface Painter::EventTimeCaptions() {
  const ThemeElement& e = layout_.waku.EventTimeMoji;
  const ThemeLayout::FontRects& t = layout_.text;
  constexpr unsigned kFormat = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
  const Rect date = ProgramInk(EventTimeFont, PageRect(t.EventTimeDate), kFormat, u"28");
  const Rect hour = ProgramInk(EventTimeFont, PageRect(t.EventTimeHour), kFormat, u"23");
  const Rect minute = ProgramInk(EventTimeFont, PageRect(t.EventTimeMinute), kFormat, u"59");
  const SpriteSpace space(e);

  Surface picture = Blank(e.width, e.height);
  const FontSpec font =
      SizedFor(u"日", space.Y(date.bottom) - space.Y(date.top) - 16, s::Japanese(32));
  const int baseline = space.Y(date.bottom);
  const int gap = hour.left - date.right;
  const std::array<std::pair<int, std::u16string_view>, 3> captions = {
      {{date.right, u"日"}, {hour.right, u"時"}, {minute.right, u"分"}}};
  for (const auto& [after, kanji] : captions) {
    const Surface ink = letters_.Ink(kanji, font);
    const int centre = space.X(after + gap / 2);
    Lettering::Paint(picture, ink, centre - ink.width() / 2, baseline - ink.height(), s::kCaption,
                     s::kPanelMiddle);
  }
  Tab(picture, {8, 8, space.X(t.EventTimeDate.rcLeft) - 10, e.height - 8}, u"発生");
  return picture;
}

// "M" before the magnitude as the program draws it.
Surface Painter::MagnitudeCaption() {
  const ThemeElement& e = layout_.waku.MagnitudeMoji;
  const Rect number = ProgramInk(MagnitudeFont, PageRect(layout_.text.Magnitude),
                                 DT_CENTER | DT_VCENTER | DT_SINGLELINE, u"6.8");
  const SpriteSpace space(e);
  const int top = space.Y(number.top);
  const int baseline = space.Y(number.bottom);
  Surface picture = Blank(e.width, e.height);
  const Surface ink =
      letters_.Ink(u"M", SizedFor(u"M", (baseline - top) * 62 / 100, s::Digits(40)));
  const int right = space.X(number.left) - (baseline - top) / 6;
  Lettering::Paint(picture, ink, std::max(8, right - ink.width()), baseline - ink.height(),
                   s::kCaption, s::kPanelMiddle);
  return picture;
}

Surface Painter::Epicentre() {
  const int w = layout_.waku.ShingenWakuWidth;
  const int h = layout_.waku.ShingenWakuHeight;
  Surface mark = Blank(w, h);
  const double size = std::min(w, h);
  const double near = size * 0.2;
  const double far = size * 0.8;
  for (const auto& [halfWidth, colour] :
       {std::pair{size * 0.155, s::kEpicentreEdge}, std::pair{size * 0.13, s::kEpicentreRim},
        std::pair{size * 0.08, s::kEpicentre}}) {
    FillStroke(mark, near, near, far, far, halfWidth, colour);
    FillStroke(mark, far, near, near, far, halfWidth, colour);
  }
  return mark;
}

// Tsunami boxes by domestic tsunami code: 1 none expected, 2 slight sea-level change,
// 3 advisory, 4 warning, 5 under investigation. Advisories and warnings are coloured.
Surface Painter::TsunamiFrame(int code, const ThemeElement& e) {
  Surface picture = Blank(e.width, e.height);
  const Rect rect{2, 2, e.width - 2, e.height - 2};
  if (code == 4) {
    Panel(picture, rect, 16, 6, s::kWarningTop, s::kWarningBottom, s::kWarning);
  } else {
    Panel(picture, rect, 16, 6, s::kPanelTop, s::kPanelBottom,
          code == 3 ? s::kAdvisory : s::kFrame);
  }
  return picture;
}

Surface Painter::TsunamiCaption(int code, const ThemeElement& e) {
  Surface picture = Blank(e.width, e.height);
  // A tall tab with 津 over 波, coloured like the message for advisories and warnings.
  const Rect tab{14, 14, 14 + e.height * 45 / 100, e.height - 14};
  const COLORREF tabColour = code == 3 ? s::kAdvisory : code == 4 ? s::kWarning : s::kTab;
  const COLORREF tabText = code == 4 ? s::kWhite : s::kTabText;
  FillRoundRect(picture, tab, 12, tabColour);
  const int middle = (tab.top + tab.bottom) / 2;
  Fitted(picture, {tab.left + 6, tab.top + 8, tab.right - 6, middle - 2}, u"津",
         s::Japanese(e.height / 2), tabText, tabColour);
  Fitted(picture, {tab.left + 6, middle + 2, tab.right - 6, tab.bottom - 8}, u"波",
         s::Japanese(e.height / 2), tabText, tabColour);

  // The message in two lines of one size, as large as the longer line allows.
  const COLORREF under = code == 4 ? s::kWarningBottom : s::kPanelMiddle;
  const COLORREF colour = code == 3 ? s::kAdvisory : s::kWhite;
  constexpr std::array<std::array<std::u16string_view, 2>, 6> kMessages = {{
      {u"", u""},
      {u"心配は", u"ありません"},
      {u"若干の海面変動", u"被害の心配なし"},
      {u"注意報", u"発表中"},
      {u"警報等", u"発表中"},
      {u"有無を", u"調査中"},
  }};
  const auto& lines = kMessages[static_cast<std::size_t>(code)];
  const Rect message{tab.right + 18, 16, e.width - 18, e.height - 16};
  const int half = message.Height() / 2;
  FontSpec font = s::Japanese(half * 95 / 100);
  const auto fits = [&](std::u16string_view line) {
    const Surface ink = letters_.Ink(line, font);
    return ink.width() <= message.Width() && ink.height() <= half - 8;
  };
  while (font.height > 12 && !(fits(lines[0]) && fits(lines[1])))
    font.height -= 2;
  // Both lines stand on baselines a line apart, centred as a block.
  const Surface first = letters_.Ink(lines[0], font);
  const Surface second = letters_.Ink(lines[1], font);
  const int lineHeight = std::max(first.height(), second.height());
  const int gap = lineHeight / 3;
  const int top = message.top + (message.Height() - 2 * lineHeight - gap) / 2;
  for (const auto& [ink, row] : {std::pair{&first, 0}, std::pair{&second, 1}}) {
    const int baseline = top + (row + 1) * lineHeight + row * gap;
    Lettering::Paint(picture, *ink, message.left + (message.Width() - ink->width()) / 2,
                     baseline - ink->height(), colour, under);
  }
  return picture;
}

void Painter::Tab(Surface& target, const Rect& rect, std::u16string_view name, COLORREF colour,
                  COLORREF ink) {
  FillRoundRect(target, rect, 8, colour);
  Fitted(target, {rect.left + 8, rect.top + 6, rect.right - 8, rect.bottom - 6}, name,
         s::Japanese(rect.Height()), ink, colour);
}

Surface Painter::TabCaption(const ThemeElement& e, const TextElement& text,
                            std::u16string_view tab) {
  Surface picture = Blank(e.width, e.height);
  Tab(picture, {8, 8, SpriteSpace(e).X(text.rcLeft) - 12, e.height - 8}, tab);
  return picture;
}

std::vector<SpriteFile> Painter::DrawAll() {
  const ThemeLayout::Intensity& i = layout_.intensity;
  const ThemeLayout::Waku& w = layout_.waku;
  const ThemeLayout::FontRects& t = layout_.text;
  std::vector<SpriteFile> files;
  const auto add = [&files](std::string path, Surface picture, int cellWidth = 0,
                            int cellHeight = 0) {
    files.push_back({std::move(path), std::move(picture), cellWidth, cellHeight});
  };
  add("Intensity/MaxIntensity.bmp", MaxIntensity(), i.MaxIntensity.width, i.MaxIntensity.height);
  add("Intensity/MidlIntensity.bmp", Markers(i.MidIntensity, false), i.MidIntensity.width,
      i.MidIntensity.height);
  add("Intensity/MinIntensity.bmp", Markers(i.MinIntensity, true), i.MinIntensity.width,
      i.MinIntensity.height);
  add("Intensity/BarIntensity.bmp", Bars(), i.BarIntensityWidth, i.BarIntensityHeight);
  add("Intensity/HistoryIntensity.bmp", History(), i.HistIntensity.width, i.HistIntensity.height);
  add("Table/City.bmp", CityTable());

  add("Waku/EventTime_waku.bmp", Frame(w.EventTimeWaku, 10, 3));
  add("Waku/EventTime_moji.bmp", EventTimeCaptions());
  add("Waku/Magnitude_waku.bmp", Frame(w.MagnitudeWaku, 10, 3));
  add("Waku/Magnitude_moji.bmp", MagnitudeCaption());
  add("Waku/Shingen.bmp", Epicentre());
  const std::array<const ThemeElement*, 5> tsunamiFrames = {
      &w.Tsunami1Waku, &w.Tsunami2Waku, &w.Tsunami3Waku, &w.Tsunami4Waku, &w.Tsunami5Waku};
  const std::array<const ThemeElement*, 5> tsunamiCaptions = {
      &w.Tsunami1Moji, &w.Tsunami2Moji, &w.Tsunami3Moji, &w.Tsunami4Moji, &w.Tsunami5Moji};
  for (int code = 1; code <= 5; ++code) {
    const std::string number = "0" + std::to_string(code);
    add("Waku/Tsunami_" + number + "_waku.bmp",
        TsunamiFrame(code, *tsunamiFrames[static_cast<std::size_t>(code - 1)]));
    add("Waku/Tsunami_" + number + "_moji.bmp",
        TsunamiCaption(code, *tsunamiCaptions[static_cast<std::size_t>(code - 1)]));
  }
  add("Waku/InfoShingen_waku.bmp", Frame(w.InfoShingenWaku, 8, 2));
  add("Waku/InfoShingen_moji.bmp", TabCaption(w.InfoShingenMoji, t.InfoShingen, u"震源"));
  add("Waku/InfoDepth_waku.bmp", Frame(w.InfoDepthWaku, 8, 2));
  add("Waku/InfoDepth_moji.bmp", TabCaption(w.InfoDepthMoji, t.InfoDepth, u"深さ"));
  add("Waku/InfoComment_waku.bmp", Frame(w.InfoCommentWaku, 8, 2));
  // The comment runs as a ticker through the box, after a tab that names it.
  add("Waku/InfoComment_moji.bmp", TabCaption(w.InfoCommentMoji, t.InfoComment, u"情報"));

  // User boxes are hidden by default: plain frames to put over the picture, and empty
  // captions for a theme's own art.
  const std::array<std::pair<const ThemeElement*, const ThemeElement*>, 4> users = {
      {{&w.User1Waku, &w.User1Moji},
       {&w.User2Waku, &w.User2Moji},
       {&w.User3Waku, &w.User3Moji},
       {&w.User4Waku, &w.User4Moji}}};
  for (std::size_t n = 0; n < users.size(); ++n) {
    const std::string number = "0" + std::to_string(n + 1);
    add("User/User_" + number + "_waku.bmp", Frame(*users[n].first, 12, 3));
    add("User/User_" + number + "_moji.bmp",
        Blank(users[n].second->width, users[n].second->height));
  }
  return files;
}

}  // namespace

std::vector<SpriteFile> DrawDefaultTheme(const ThemeLayout& layout, TextRenderer& text) {
  return Painter(layout, text).DrawAll();
}

}  // namespace hw::themegen
