#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/colorref.h"
#include "platform/profile_file.h"

namespace hw {

// One positioned sprite: destination rectangle in the 1920 × 1080 picture (both corners
// inclusive), the sprite's size in its picture, visibility and constant opacity.
struct ThemeElement {
  int rcLeft = 0;
  int rcTop = 0;
  int rcRight = 0;
  int rcBottom = 0;
  int width = 0;
  int height = 0;
  int visible = 0;
  int alpha = 0;
  bool operator==(const ThemeElement&) const = default;
};

// A sprite sheet of square cells with a size offset (the map markers).
struct MarkerSheet {
  int width = 64;
  int height = 64;
  int scaleOff = 0;
  bool operator==(const MarkerSheet&) const = default;
};

struct HistoryBadge : ThemeElement {
  int quantity = 4;
  bool operator==(const HistoryBadge&) const = default;
};

// A text's rectangle and visibility.
struct TextElement {
  int rcLeft = 0;
  int rcTop = 0;
  int rcRight = 0;
  int rcBottom = 0;
  int visible = 0;
  bool operator==(const TextElement&) const = default;
};

// The font and colour of one kind of text. align: 0 left, 1 centre, 2 right.
struct TextStyle {
  int fontHeight = 0;
  int fontWidth = 0;
  int fontWeight = 0;
  int fontPadding = 0;
  COLORREF fontColor = 0;
  std::u16string fontName;
  int align = 0;
  bool operator==(const TextStyle&) const = default;
};

// A box the program draws itself, without a sprite: its rectangle (both corners inclusive),
// visibility, the opacity of its shade and the style of its text.
struct PanelElement {
  int rcLeft = 0;
  int rcTop = 0;
  int rcRight = 0;
  int rcBottom = 0;
  int visible = 0;
  int alpha = 0;
  TextStyle style;
  bool operator==(const PanelElement&) const = default;
};

struct TableLayout {
  int type = 0;
  int rcLeft = 260;
  int rcTop = 175;
  int maxCount = 0;
  int maxRow = 6;
  int maxColumn = 11;
  int wakuRcLeft = 260;
  int wakuRcTop = 175;
  int scaleOff = 0;
  bool operator==(const TableLayout&) const = default;
};

// Everything a theme's "Setting.ini" decides, with the built-in layout as defaults.
struct ThemeLayout {
  ThemeLayout();

  struct Intensity {
    ThemeElement MaxIntensity;
    MarkerSheet MidIntensity;
    MarkerSheet MinIntensity;
    int BarIntensityWidth = 480;
    int BarIntensityHeight = 40;
    HistoryBadge HistIntensity;
    bool operator==(const Intensity&) const = default;
  } intensity;

  struct Table {
    TableLayout City;
    TableLayout Comm;
    bool operator==(const Table&) const = default;
  } table;

  struct Waku {
    int ShingenWakuWidth = 74;
    int ShingenWakuHeight = 74;
    ThemeElement EventTimeWaku, EventTimeMoji, MagnitudeWaku, MagnitudeMoji;
    ThemeElement InfoShingenWaku, InfoShingenMoji, InfoDepthWaku, InfoDepthMoji;
    ThemeElement InfoCommentWaku, InfoCommentMoji;
    ThemeElement User1Waku, User1Moji, User2Waku, User2Moji;
    ThemeElement User3Waku, User3Moji, User4Waku, User4Moji;
    ThemeElement Tsunami1Waku, Tsunami1Moji, Tsunami2Waku, Tsunami2Moji;
    ThemeElement Tsunami3Waku, Tsunami3Moji, Tsunami4Waku, Tsunami4Moji;
    ThemeElement Tsunami5Waku, Tsunami5Moji;
    bool operator==(const Waku&) const = default;
  } waku;

  // [Font]: text rectangles by element name, styles by style name.
  struct FontRects {
    TextElement Magnitude;
    TextElement EventTimeYear, EventTimeMonth, EventTimeDate, EventTimeHour, EventTimeMinute;
    TextElement ReportTimeYear, ReportTimeMonth, ReportTimeDate, ReportTimeHour, ReportTimeMinute;
    TextElement InfoShingen, InfoDepth, InfoComment;
    TextElement HisMagnitude, HisShingen, HisDepth;
    TextElement HisEvTimeYear, HisEvTimeMonth, HisEvTimeDate, HisEvTimeHour, HisEvTimeMinute;
    bool operator==(const FontRects&) const = default;
  } text;

  struct FontStyles {
    TextStyle Magnitude, EventTime, ReportTime, InfoShingen, InfoDepth, InfoComment;
    TextStyle HisMagnitude, HisShingen, HisDepth, HisEvTime;
    bool operator==(const FontStyles&) const = default;
  } style;

  // [Panel]: the boxes the program draws itself. TsunamiPanel: the tsunami forecast in force.
  struct Panels {
    PanelElement TsunamiPanel;
    bool operator==(const Panels&) const = default;
  } panel;

  // [Config] of the theme: map framing.
  int MapScaleMax = 0;
  int MapScaleOffset = 0;
  int MapXaxisOffset = 0;
  int MapYaxisOffset = 0;
  int MapXaxisPercent = 100;
  int MapYaxisPercent = 100;

  bool operator==(const ThemeLayout&) const = default;
};

// Reads every key of the layout file at `path` into `layout` (a fresh ThemeLayout holds the
// defaults); a missing file, section or key keeps the default.
void LoadThemeLayout(const std::u16string& path, ThemeLayout& layout);
void LoadThemeLayout(const ProfileFile& file, ThemeLayout& layout);

// "#rrggbb" → COLORREF; fewer than 7 characters give black; each pair is read as leading hex
// digits (0 when the pair does not start with one); characters after the seventh are ignored.
COLORREF ParseColour(std::u16string_view text);

// One key of the layout file with its value as the file would hold it.
struct ThemeLayoutEntry {
  std::u16string_view section;
  std::u16string key;
  std::u16string value;
};

// Every key the layout file can hold, in the order it is read, with the value `layout` has
// for it: numbers in decimal, colours as "#rrggbb", alignments as "Left", "Center" or
// "Right". The older names that only give defaults ([Table] Type, Waku.rcLeft, Waku.rcTop)
// are left out. Writing these entries to a file and loading it gives `layout` back.
std::vector<ThemeLayoutEntry> ListThemeLayout(const ThemeLayout& layout);

// "#rrggbb" (lower case) for a colour: the form ParseColour reads back.
std::u16string FormatColour(COLORREF colour);

}  // namespace hw
