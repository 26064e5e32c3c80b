#include "rev_layout.h"

namespace hw::themegen {
namespace {

// Every box keeps 16 pixels from the picture's edges and 10 to 11 from its neighbours.
constexpr int kEdge = 16;

// A sprite drawn at its own size: `width` × `height` pixels with the top-left corner at
// (left, top) (the rectangle's corners are inclusive).
ThemeElement Box(int left, int top, int width, int height, int alpha = 255) {
  return {left, top, left + width - 1, top + height - 1, width, height, 1, alpha};
}

TextElement Text(int left, int top, int right, int bottom, int visible = 1) {
  return {left, top, right, bottom, visible};
}

// A text style; the keys it leaves keep their defaults: left alignment, and fontPadding 0 (a
// leading zero of month, day and hour shows as a blank).
TextStyle Style(std::u16string_view face, int height, int width, int weight, COLORREF colour) {
  TextStyle style;
  style.fontName = face;
  style.fontHeight = height;
  style.fontWidth = width;
  style.fontWeight = weight;
  style.fontColor = colour;
  return style;
}

constexpr COLORREF kWhiteText = MakeColorRef(0xff, 0xff, 0xff);
constexpr COLORREF kMagnitudeText = MakeColorRef(0xff, 0xff, 0x00);

// The headline band along the top, read left to right as a bulletin leads: the maximum
// intensity, then when, how large, where and how deep, then the tsunami. The top-right
// corner (x 1650 on, y up to 56) stays free for the program's demo label.
constexpr int kBandTop = kEdge;
constexpr int kBandHeight = 160;
// As wide as one column of the city grid under it (a 330-pixel cell in 7-pixel borders).
constexpr int kBadgeWidth = 344;
constexpr int kColumn1 = kEdge + kBadgeWidth + 10;  // time over epicentre
constexpr int kColumn1Width = 510;
constexpr int kColumn2 = kColumn1 + kColumn1Width + 11;  // magnitude over depth
constexpr int kColumn2Width = 290;
constexpr int kRowAHeight = 78;
constexpr int kRowB = kBandTop + kRowAHeight + 8;
constexpr int kRowBHeight = kBandTop + kBandHeight - kRowB;
constexpr int kTsunamiLeft = kColumn2 + kColumn2Width + 11;
constexpr int kTsunamiWidth = 1638 - kTsunamiLeft + 1;

// The city grid under the badge: two rows of cells, so that even five full columns (ten
// places) end above the map's middle; a list form runs down the left edge from the same
// corner.
constexpr int kGridTop = kBandTop + kBandHeight + 11;

// History rows in the bottom-right corner, above the ticker.
constexpr int kHistoryWidth = 504;
constexpr int kHistoryHeight = 84;
constexpr int kHistoryLeft = 1920 - kEdge - kHistoryWidth;
constexpr int kTickerTop = 1012;
constexpr int kTickerHeight = 52;
constexpr int kHistoryTop = kTickerTop - 12 - 4 * kHistoryHeight;
// The tsunami panel covers the history rows while a forecast is in force, and reaches up over
// the map far enough for eleven rows: a title, the grades' bars and their regions.
constexpr int kTsunamiPanelTop = kHistoryTop - 120;

}  // namespace

ThemeLayout RevLayout() {
  ThemeLayout layout;

  ThemeLayout::Intensity& i = layout.intensity;
  i.MaxIntensity = Box(kEdge, kBandTop, kBadgeWidth, kBandHeight);
  i.BarIntensityWidth = 760;
  i.BarIntensityHeight = 40;
  i.HistIntensity = {Box(kHistoryLeft, kHistoryTop, kHistoryWidth, kHistoryHeight, 232), 4};

  TableLayout& city = layout.table.City;
  city.type = 1;
  city.wakuRcLeft = kEdge;
  city.wakuRcTop = kGridTop;
  // The names sit on the frame's cell fields, 7 pixels inside its border.
  city.rcLeft = kEdge + 7;
  city.rcTop = kGridTop + 7;
  city.maxColumn = 2;  // cells per column
  city.maxCount = 10;  // all that two rows of five columns hold
  city.maxRow = 6;     // characters per cell
  city.scaleOff = 0;
  // The ticker runs the comment already, so the comment table stays off; turned on, it sits
  // at the left under the grid's two rows. It has no frame: its waku fields are not in the
  // file and keep their built-in values.
  TableLayout& comm = layout.table.Comm;
  comm.type = 0;
  comm.rcLeft = kEdge + 7;
  comm.rcTop = kGridTop + 160;
  comm.maxCount = 1000;
  comm.maxRow = 28;     // characters per line
  comm.maxColumn = 10;  // lines

  ThemeLayout::Waku& w = layout.waku;
  w.EventTimeWaku = w.EventTimeMoji = Box(kColumn1, kBandTop, kColumn1Width, kRowAHeight);
  w.MagnitudeWaku = w.MagnitudeMoji = Box(kColumn2, kBandTop, kColumn2Width, kRowAHeight);
  w.InfoShingenWaku = w.InfoShingenMoji = Box(kColumn1, kRowB, kColumn1Width, kRowBHeight);
  w.InfoDepthWaku = w.InfoDepthMoji = Box(kColumn2, kRowB, kColumn2Width, kRowBHeight);
  w.InfoCommentWaku = Box(kEdge, kTickerTop, 1920 - 2 * kEdge, kTickerHeight, 232);
  w.InfoCommentMoji = Box(kEdge, kTickerTop, 1920 - 2 * kEdge, kTickerHeight);
  for (ThemeElement* box :
       {&w.Tsunami1Waku, &w.Tsunami1Moji, &w.Tsunami2Waku, &w.Tsunami2Moji, &w.Tsunami3Waku,
        &w.Tsunami3Moji, &w.Tsunami4Waku, &w.Tsunami4Moji, &w.Tsunami5Waku, &w.Tsunami5Moji}) {
    *box = Box(kTsunamiLeft, kBandTop, kTsunamiWidth, kBandHeight);
  }
  ThemeLayout::FontRects& t = layout.text;
  // Headline time: day, hour and minute right-aligned, each followed by its kanji from the
  // caption sprite; year, month and the report time are not shown.
  const int timeTop = kBandTop;
  const int timeBottom = kBandTop + kRowAHeight;
  t.EventTimeYear = Text(0, timeTop, 0, timeBottom, 0);
  t.EventTimeMonth = Text(0, timeTop, 0, timeBottom, 0);
  // Pieces two digits wide, 52 pixels apart for the kanji.
  const int timeLeft = kColumn1 + 124;
  t.EventTimeDate = Text(timeLeft, timeTop, timeLeft + 64, timeBottom);
  t.EventTimeHour = Text(timeLeft + 116, timeTop, timeLeft + 180, timeBottom);
  t.EventTimeMinute = Text(timeLeft + 232, timeTop, timeLeft + 296, timeBottom);
  for (TextElement* e : {&t.ReportTimeYear, &t.ReportTimeMonth, &t.ReportTimeDate,
                         &t.ReportTimeHour, &t.ReportTimeMinute}) {
    *e = Text(0, timeTop, 0, timeBottom, 0);
  }
  t.Magnitude = Text(kColumn2 + 70, kBandTop - 4, kColumn2 + kColumn2Width - 12, timeBottom + 4);
  t.InfoShingen = Text(kColumn1 + 100, kRowB, kColumn1 + kColumn1Width - 12, kRowB + kRowBHeight);
  t.InfoDepth = Text(kColumn2 + 100, kRowB, kColumn2 + kColumn2Width - 8, kRowB + kRowBHeight);
  t.InfoComment = Text(kEdge + 100, kTickerTop + 4, 1920 - kEdge - 10, kTickerTop + 4 + 43);

  // A history row: intensity tile at the left; above, "MM/DD hh:mm" and the magnitude; below,
  // the epicentre and the depth.
  const int hx = kHistoryLeft;
  const int hy = kHistoryTop;
  const int line1 = hy + 4;
  const int line2 = hy + kHistoryHeight / 2;
  const int end2 = hy + kHistoryHeight - 4;
  t.HisEvTimeYear = Text(0, line1, 0, line2, 0);
  t.HisEvTimeMonth = Text(hx + 104, line1, hx + 146, line2);
  t.HisEvTimeDate = Text(hx + 156, line1, hx + 198, line2);
  t.HisEvTimeHour = Text(hx + 214, line1, hx + 256, line2);
  t.HisEvTimeMinute = Text(hx + 266, line1, hx + 308, line2);
  t.HisMagnitude = Text(hx + 410, line1, hx + 496, line2);
  t.HisShingen = Text(hx + 104, line2, hx + 334, end2);
  t.HisDepth = Text(hx + 392, line2, hx + 500, end2);

  TextStyle& time = layout.style.EventTime;
  time = Style(u"Arial", 80, 27, 700, kWhiteText);
  time.fontPadding = 0;
  layout.style.ReportTime = time;
  layout.style.Magnitude = Style(u"Arial Black", 88, 34, 700, kMagnitudeText);
  // Meiryo's width is its all-glyph average, about a full-width character: these give
  // ideographs about as wide as they are high.
  layout.style.InfoShingen = Style(u"Meiryo", 62, 44, 700, kWhiteText);
  layout.style.InfoDepth = Style(u"Meiryo", 62, 44, 700, kWhiteText);
  layout.style.InfoComment = Style(u"Meiryo", 42, 30, 700, kWhiteText);
  TextStyle& historyTime = layout.style.HisEvTime;
  historyTime = Style(u"Arial", 40, 15, 700, kWhiteText);
  // Keeps the leading zeros, so that the rows' times line up as "01/06 03:08".
  historyTime.fontPadding = 1;
  layout.style.HisMagnitude = Style(u"Arial Black", 40, 15, 700, kMagnitudeText);
  layout.style.HisShingen = Style(u"Meiryo", 44, 32, 700, kWhiteText);
  layout.style.HisDepth = Style(u"Meiryo", 36, 26, 700, kWhiteText);
  PanelElement& tsunami = layout.panel.TsunamiPanel;
  tsunami = {kHistoryLeft,
             kTsunamiPanelTop,
             kHistoryLeft + kHistoryWidth - 1,
             kHistoryTop + 4 * kHistoryHeight - 1,
             1,
             255,
             Style(u"Meiryo", 32, 24, 700, kWhiteText)};

  // The headline band is deeper than the ticker, so the map's content moves down a little
  // to stay in the middle of what is left of the picture.
  layout.MapYaxisOffset = 56;
  return layout;
}

void ApplyListForm(ThemeLayout& layout) {
  TableLayout& city = layout.table.City;
  city.type = 2;
  city.maxCount = 5000;
  // Lines of up to 25 characters, as long as the intensity bars, 19 of them from under the
  // headline to above the ticker.
  city.maxRow = 24;
  city.maxColumn = 19;
  layout.table.Comm.rcTop = city.rcTop;
}

}  // namespace hw::themegen
