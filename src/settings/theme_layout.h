#pragma once

#include <string>

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
};

// A sprite sheet of square cells with a size offset (the map markers).
struct MarkerSheet {
  int width = 64;
  int height = 64;
  int scaleOff = 0;
};

struct HistoryBadge : ThemeElement {
  int quantity = 4;
};

// A text's rectangle and visibility.
struct TextElement {
  int rcLeft = 0;
  int rcTop = 0;
  int rcRight = 0;
  int rcBottom = 0;
  int visible = 0;
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
  } intensity;

  struct Table {
    TableLayout City;
    TableLayout Comm;
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
  } waku;

  // [Font]: text rectangles by element name, styles by style name.
  struct FontRects {
    TextElement Magnitude;
    TextElement EventTimeYear, EventTimeMonth, EventTimeDate, EventTimeHour, EventTimeMinute;
    TextElement ReportTimeYear, ReportTimeMonth, ReportTimeDate, ReportTimeHour, ReportTimeMinute;
    TextElement InfoShingen, InfoDepth, InfoComment;
    TextElement HisMagnitude, HisShingen, HisDepth;
    TextElement HisEvTimeYear, HisEvTimeMonth, HisEvTimeDate, HisEvTimeHour, HisEvTimeMinute;
  } text;

  struct FontStyles {
    TextStyle Magnitude, EventTime, ReportTime, InfoShingen, InfoDepth, InfoComment;
    TextStyle HisMagnitude, HisShingen, HisDepth, HisEvTime;
  } style;

  // [Config] of the theme: map framing.
  int MapScaleMax = 0;
  int MapScaleOffset = 0;
  int MapXaxisOffset = 0;
  int MapYaxisOffset = 0;
  int MapXaxisPercent = 100;
  int MapYaxisPercent = 100;
};

// Reads every key of the layout file at `path` into `layout` (a fresh ThemeLayout holds the
// defaults); a missing file, section or key keeps the default.
void LoadThemeLayout(const std::u16string& path, ThemeLayout& layout);
void LoadThemeLayout(const ProfileFile& file, ThemeLayout& layout);

// "#rrggbb" → COLORREF; fewer than 7 characters give black; each pair is read as leading hex
// digits (0 when the pair does not start with one); characters after the seventh are ignored.
COLORREF ParseColour(std::u16string_view text);

}  // namespace hw
