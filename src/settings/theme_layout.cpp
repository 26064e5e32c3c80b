#include "settings/theme_layout.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hw {
namespace {

constexpr ThemeElement kTimeBox{604, 20, 1065, 111, 462, 82, 1, 255};
constexpr ThemeElement kMagnitudeBox{1066, 20, 1342, 111, 277, 82, 1, 255};
constexpr ThemeElement kUserBox{20, 20, 510, 156, 490, 136, 0, 128};
constexpr ThemeElement kTsunamiBox{1327, 996, 1655, 1055, 640, 110, 1, 128};

TextStyle Style(int height, int width, int weight, std::u16string_view colour,
                std::u16string_view face) {
  TextStyle style;
  style.fontHeight = height;
  style.fontWidth = width;
  style.fontWeight = weight;
  style.fontColor = ParseColour(colour);
  style.fontName = face;
  return style;
}

// Which optional keys a style has in the file.
enum StyleKeys : unsigned { kBasic = 0, kPadding = 1, kAlign = 2 };

struct WakuEntry {
  std::u16string_view name;
  ThemeElement ThemeLayout::Waku::*element;
};

struct TextEntry {
  std::u16string_view name;
  TextElement ThemeLayout::FontRects::*element;
};

struct StyleEntry {
  std::u16string_view name;
  TextStyle ThemeLayout::FontStyles::*style;
  unsigned keys;
  std::u16string_view defaultColour;
};

using W = ThemeLayout::Waku;
constexpr std::array<WakuEntry, 28> kWakuElements = {{
    {u"EventTimeWaku", &W::EventTimeWaku},
    {u"EventTimeMoji", &W::EventTimeMoji},
    {u"MagnitudeWaku", &W::MagnitudeWaku},
    {u"MagnitudeMoji", &W::MagnitudeMoji},
    {u"InfoShingenWaku", &W::InfoShingenWaku},
    {u"InfoShingenMoji", &W::InfoShingenMoji},
    {u"InfoDepthWaku", &W::InfoDepthWaku},
    {u"InfoDepthMoji", &W::InfoDepthMoji},
    {u"InfoCommentWaku", &W::InfoCommentWaku},
    {u"InfoCommentMoji", &W::InfoCommentMoji},
    {u"User1Waku", &W::User1Waku},
    {u"User1Moji", &W::User1Moji},
    {u"User2Waku", &W::User2Waku},
    {u"User2Moji", &W::User2Moji},
    {u"User3Waku", &W::User3Waku},
    {u"User3Moji", &W::User3Moji},
    {u"User4Waku", &W::User4Waku},
    {u"User4Moji", &W::User4Moji},
    {u"Tsunami1Waku", &W::Tsunami1Waku},
    {u"Tsunami1Moji", &W::Tsunami1Moji},
    {u"Tsunami2Waku", &W::Tsunami2Waku},
    {u"Tsunami2Moji", &W::Tsunami2Moji},
    {u"Tsunami3Waku", &W::Tsunami3Waku},
    {u"Tsunami3Moji", &W::Tsunami3Moji},
    {u"Tsunami4Waku", &W::Tsunami4Waku},
    {u"Tsunami4Moji", &W::Tsunami4Moji},
    {u"Tsunami5Waku", &W::Tsunami5Waku},
    {u"Tsunami5Moji", &W::Tsunami5Moji},
}};

// [Font] in file order: each style follows the last of its text elements.
using R = ThemeLayout::FontRects;
using S = ThemeLayout::FontStyles;
struct FontGroup {
  std::array<TextEntry, 5> texts;
  std::size_t textCount;
  StyleEntry style;
};
const std::array<FontGroup, 10> kFontGroups = {{
    {{{{u"Magnitude", &R::Magnitude}}}, 1, {u"Magnitude", &S::Magnitude, kBasic, u"#ffff00"}},
    {{{{u"EventTimeYear", &R::EventTimeYear},
       {u"EventTimeMonth", &R::EventTimeMonth},
       {u"EventTimeDate", &R::EventTimeDate},
       {u"EventTimeHour", &R::EventTimeHour},
       {u"EventTimeMinute", &R::EventTimeMinute}}},
     5,
     {u"EventTime", &S::EventTime, kPadding, u"#ffffff"}},
    {{{{u"ReportTimeYear", &R::ReportTimeYear},
       {u"ReportTimeMonth", &R::ReportTimeMonth},
       {u"ReportTimeDate", &R::ReportTimeDate},
       {u"ReportTimeHour", &R::ReportTimeHour},
       {u"ReportTimeMinute", &R::ReportTimeMinute}}},
     5,
     {u"ReportTime", &S::ReportTime, kPadding, u"#ffffff"}},
    {{{{u"InfoShingen", &R::InfoShingen}}},
     1,
     {u"InfoShingen", &S::InfoShingen, kAlign, u"#ffffff"}},
    {{{{u"InfoDepth", &R::InfoDepth}}}, 1, {u"InfoDepth", &S::InfoDepth, kAlign, u"#ffffff"}},
    {{{{u"InfoComment", &R::InfoComment}}},
     1,
     {u"InfoComment", &S::InfoComment, kBasic, u"#ffffff"}},
    {{{{u"HisMagnitude", &R::HisMagnitude}}},
     1,
     {u"HisMagnitude", &S::HisMagnitude, kBasic, u"#ffff00"}},
    {{{{u"HisShingen", &R::HisShingen}}}, 1, {u"HisShingen", &S::HisShingen, kAlign, u"#ffffff"}},
    {{{{u"HisDepth", &R::HisDepth}}}, 1, {u"HisDepth", &S::HisDepth, kAlign, u"#ffffff"}},
    {{{{u"HisEvTimeYear", &R::HisEvTimeYear},
       {u"HisEvTimeMonth", &R::HisEvTimeMonth},
       {u"HisEvTimeDate", &R::HisEvTimeDate},
       {u"HisEvTimeHour", &R::HisEvTimeHour},
       {u"HisEvTimeMinute", &R::HisEvTimeMinute}}},
     5,
     {u"HisEvTime", &S::HisEvTime, kPadding, u"#ffffff"}},
}};

// "<name>.<key>", or the key alone for keys without an element name.
std::u16string JoinKey(std::u16string_view name, std::u16string_view key) {
  std::u16string full(name);
  if (!full.empty()) full += u'.';
  full += key;
  return full;
}

// Reads "<name>.<key>" keys of one section.
class SectionReader {
 public:
  SectionReader(const ProfileFile& file, std::u16string_view section)
      : file_(file), section_(section) {}

  void Int(std::u16string_view name, std::u16string_view key, int& value) const {
    value = file_.GetPrivateProfileInt(section_, JoinKey(name, key), value);
  }
  std::u16string Text(std::u16string_view name, std::u16string_view key,
                      std::u16string_view fallback) const {
    return file_.GetPrivateProfileString(section_, JoinKey(name, key), fallback);
  }
  void Rect(std::u16string_view name, int& left, int& top, int& right, int& bottom) const {
    Int(name, u"rcLeft", left);
    Int(name, u"rcTop", top);
    Int(name, u"rcRight", right);
    Int(name, u"rcBottom", bottom);
  }
  void Element(std::u16string_view name, ThemeElement& e) const {
    Rect(name, e.rcLeft, e.rcTop, e.rcRight, e.rcBottom);
    Int(name, u"width", e.width);
    Int(name, u"height", e.height);
    Int(name, u"visible", e.visible);
    Int(name, u"alpha", e.alpha);
  }

 private:
  const ProfileFile& file_;
  std::u16string_view section_;
};

void ReadIntensity(const SectionReader& in, ThemeLayout::Intensity& s) {
  in.Element(u"MaxIntensity", s.MaxIntensity);
  in.Int(u"MidIntensity", u"width", s.MidIntensity.width);
  in.Int(u"MidIntensity", u"height", s.MidIntensity.height);
  in.Int(u"MidIntensity", u"scaleOff", s.MidIntensity.scaleOff);
  in.Int(u"MinIntensity", u"width", s.MinIntensity.width);
  in.Int(u"MinIntensity", u"height", s.MinIntensity.height);
  in.Int(u"MinIntensity", u"scaleOff", s.MinIntensity.scaleOff);
  in.Int(u"BarIntensity", u"width", s.BarIntensityWidth);
  in.Int(u"BarIntensity", u"height", s.BarIntensityHeight);
  in.Element(u"HistIntensity", s.HistIntensity);
  in.Int(u"HistIntensity", u"quantity", s.HistIntensity.quantity);
}

void ReadTable(const SectionReader& in, ThemeLayout::Table& t) {
  // The older keys "Type" and "Waku.*" only give the defaults of their newer names.
  int type = t.City.type;
  in.Int(u"", u"Type", type);
  t.City.type = type;
  in.Int(u"City", u"type", t.City.type);
  in.Int(u"City", u"rcLeft", t.City.rcLeft);
  in.Int(u"City", u"rcTop", t.City.rcTop);
  in.Int(u"City", u"maxCount", t.City.maxCount);
  in.Int(u"City", u"maxRow", t.City.maxRow);
  in.Int(u"City", u"maxColumn", t.City.maxColumn);
  int wakuLeft = t.City.wakuRcLeft;
  int wakuTop = t.City.wakuRcTop;
  in.Int(u"Waku", u"rcLeft", wakuLeft);
  in.Int(u"Waku", u"rcTop", wakuTop);
  t.City.wakuRcLeft = wakuLeft;
  t.City.wakuRcTop = wakuTop;
  in.Int(u"City", u"waku.rcLeft", t.City.wakuRcLeft);
  in.Int(u"City", u"waku.rcTop", t.City.wakuRcTop);
  in.Int(u"City", u"scaleOff", t.City.scaleOff);
  t.City.scaleOff = std::clamp(t.City.scaleOff, -5, 100);
  in.Int(u"Comm", u"type", t.Comm.type);
  in.Int(u"Comm", u"rcLeft", t.Comm.rcLeft);
  in.Int(u"Comm", u"rcTop", t.Comm.rcTop);
  in.Int(u"Comm", u"maxCount", t.Comm.maxCount);
  in.Int(u"Comm", u"maxRow", t.Comm.maxRow);
  in.Int(u"Comm", u"maxColumn", t.Comm.maxColumn);
  in.Int(u"Comm", u"scaleOff", t.Comm.scaleOff);
}

void ReadStyle(const SectionReader& in, const StyleEntry& entry, TextStyle& style) {
  in.Int(entry.name, u"fontHeight", style.fontHeight);
  in.Int(entry.name, u"fontWidth", style.fontWidth);
  in.Int(entry.name, u"fontWeight", style.fontWeight);
  if (entry.keys & kPadding) in.Int(entry.name, u"fontPadding", style.fontPadding);
  std::u16string colour = in.Text(entry.name, u"fontColor", entry.defaultColour);
  if (colour.empty() || colour[0] != u'#') colour = entry.defaultColour;
  style.fontColor = ParseColour(colour);
  style.fontName = in.Text(entry.name, u"fontName", style.fontName);
  if (entry.keys & kAlign) {
    const std::u16string align = in.Text(entry.name, u"align", u"Left");
    style.align = align == u"Right" ? 2 : align == u"Center" ? 1 : 0;
  }
}

// Lists "<name>.<key>" keys of one section in the order SectionReader reads them.
class SectionLister {
 public:
  SectionLister(std::vector<ThemeLayoutEntry>& out, std::u16string_view section)
      : out_(out), section_(section) {}

  void Text(std::u16string_view name, std::u16string_view key, std::u16string_view value) const {
    out_.push_back({section_, JoinKey(name, key), std::u16string(value)});
  }
  void Int(std::u16string_view name, std::u16string_view key, int value) const {
    const std::string digits = std::to_string(value);
    Text(name, key, std::u16string(digits.begin(), digits.end()));
  }
  void Rect(std::u16string_view name, int left, int top, int right, int bottom) const {
    Int(name, u"rcLeft", left);
    Int(name, u"rcTop", top);
    Int(name, u"rcRight", right);
    Int(name, u"rcBottom", bottom);
  }
  void Element(std::u16string_view name, const ThemeElement& e) const {
    Rect(name, e.rcLeft, e.rcTop, e.rcRight, e.rcBottom);
    Int(name, u"width", e.width);
    Int(name, u"height", e.height);
    Int(name, u"visible", e.visible);
    Int(name, u"alpha", e.alpha);
  }

 private:
  std::vector<ThemeLayoutEntry>& out_;
  std::u16string_view section_;
};

void ListStyle(const SectionLister& out, const StyleEntry& entry, const TextStyle& style) {
  out.Int(entry.name, u"fontHeight", style.fontHeight);
  out.Int(entry.name, u"fontWidth", style.fontWidth);
  out.Int(entry.name, u"fontWeight", style.fontWeight);
  if (entry.keys & kPadding) out.Int(entry.name, u"fontPadding", style.fontPadding);
  out.Text(entry.name, u"fontColor", FormatColour(style.fontColor));
  out.Text(entry.name, u"fontName", style.fontName);
  if (entry.keys & kAlign) {
    out.Text(entry.name, u"align",
             style.align == 2   ? u"Right"
             : style.align == 1 ? u"Center"
                                : u"Left");
  }
}

int HexPair(std::u16string_view pair) {
  int value = 0;
  for (char16_t c : pair) {
    int digit;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else if (c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else {
      break;
    }
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

ThemeLayout::ThemeLayout() {
  intensity.MaxIntensity = {260, 20, 603, 173, 317, 142, 1, 255};
  intensity.HistIntensity = {{1223, 560, 1814, 677, 592, 118, 1, 255}, 4};

  table.City = {1, 260, 175, 44, 6, 11, 260, 175, 0};
  table.Comm = {0, 260, 175, 1000, 6, 11, 260, 175, 0};

  waku.EventTimeWaku = waku.EventTimeMoji = kTimeBox;
  waku.MagnitudeWaku = waku.MagnitudeMoji = kMagnitudeBox;
  waku.InfoShingenWaku = {268, 960, 697, 1003, 430, 44, 1, 128};
  waku.InfoShingenMoji = {268, 960, 697, 1003, 430, 44, 1, 255};
  waku.InfoDepthWaku = {268, 1012, 697, 1055, 430, 44, 1, 128};
  waku.InfoDepthMoji = {268, 1012, 697, 1055, 430, 44, 1, 255};
  waku.InfoCommentWaku = {706, 1012, 1319, 1055, 614, 44, 1, 128};
  waku.InfoCommentMoji = {706, 1012, 1319, 1055, 614, 44, 0, 255};
  for (ThemeElement* user : {&waku.User1Waku, &waku.User3Waku, &waku.User4Waku})
    *user = kUserBox;
  for (ThemeElement* user : {&waku.User1Moji, &waku.User3Moji, &waku.User4Moji}) {
    *user = kUserBox;
    user->alpha = 255;
  }
  waku.User2Waku = {1556, 20, 1900, 604, 344, 584, 0, 128};
  waku.User2Moji = {1556, 20, 1900, 604, 344, 584, 0, 255};
  for (ThemeElement* box :
       {&waku.Tsunami1Waku, &waku.Tsunami3Waku, &waku.Tsunami4Waku, &waku.Tsunami5Waku}) {
    *box = kTsunamiBox;
  }
  for (ThemeElement* box :
       {&waku.Tsunami1Moji, &waku.Tsunami3Moji, &waku.Tsunami4Moji, &waku.Tsunami5Moji}) {
    *box = kTsunamiBox;
    box->alpha = 255;
  }
  waku.Tsunami2Waku = {1327, 966, 1655, 1055, 640, 170, 1, 128};
  waku.Tsunami2Moji = {1327, 966, 1655, 1055, 640, 170, 1, 255};

  text.Magnitude = {1104, 10, 1381, 112, 1};
  text.EventTimeYear = {288, 20, 419, 112, 0};
  text.EventTimeMonth = {452, 20, 519, 112, 0};
  text.EventTimeDate = {604, 20, 689, 112, 1};
  text.EventTimeHour = {737, 20, 806, 112, 1};
  text.EventTimeMinute = {853, 20, 928, 112, 1};
  text.ReportTimeYear = text.EventTimeYear;
  text.ReportTimeMonth = text.EventTimeMonth;
  text.ReportTimeDate = {604, 20, 689, 112, 0};
  text.ReportTimeHour = {737, 20, 806, 112, 0};
  text.ReportTimeMinute = {853, 20, 928, 112, 0};
  text.InfoShingen = {362, 960, 690, 1004, 1};
  text.InfoDepth = {362, 1012, 690, 1056, 1};
  text.InfoComment = {714, 1012, 1312, 1056, 1};
  text.HisMagnitude = {1104, 10, 1381, 112, 0};
  text.HisShingen = {362, 960, 690, 1004, 0};
  text.HisDepth = {362, 1012, 690, 1056, 0};
  text.HisEvTimeYear = text.ReportTimeYear;
  text.HisEvTimeMonth = text.ReportTimeMonth;
  text.HisEvTimeDate = text.ReportTimeDate;
  text.HisEvTimeHour = text.ReportTimeHour;
  text.HisEvTimeMinute = text.ReportTimeMinute;

  style.Magnitude = Style(115, 45, 700, u"#ffff00", u"Arial Black");
  style.EventTime = Style(90, 30, 700, u"#ffffff", u"Arial");
  style.ReportTime = style.EventTime;
  style.InfoShingen = Style(38, 15, 400, u"#ffffff", u"Arial");
  style.InfoDepth = style.InfoShingen;
  style.InfoComment = style.InfoShingen;
  style.HisMagnitude = style.Magnitude;
  style.HisShingen = style.InfoShingen;
  style.HisDepth = style.InfoShingen;
  style.HisEvTime = style.EventTime;
}

void LoadThemeLayout(const std::u16string& path, ThemeLayout& layout) {
  LoadThemeLayout(ProfileFile::Load(path), layout);
}

void LoadThemeLayout(const ProfileFile& file, ThemeLayout& layout) {
  ReadIntensity(SectionReader(file, u"Intensity"), layout.intensity);
  ReadTable(SectionReader(file, u"Table"), layout.table);

  const SectionReader waku(file, u"Waku");
  waku.Int(u"ShingenWaku", u"width", layout.waku.ShingenWakuWidth);
  waku.Int(u"ShingenWaku", u"height", layout.waku.ShingenWakuHeight);
  for (const WakuEntry& entry : kWakuElements)
    waku.Element(entry.name, layout.waku.*entry.element);

  const SectionReader font(file, u"Font");
  for (const FontGroup& group : kFontGroups) {
    for (std::size_t i = 0; i < group.textCount; ++i) {
      TextElement& e = layout.text.*group.texts[i].element;
      font.Rect(group.texts[i].name, e.rcLeft, e.rcTop, e.rcRight, e.rcBottom);
      font.Int(group.texts[i].name, u"visible", e.visible);
    }
    ReadStyle(font, group.style, layout.style.*group.style.style);
  }

  const SectionReader config(file, u"Config");
  config.Int(u"", u"MapScaleMax", layout.MapScaleMax);
  config.Int(u"", u"MapScaleOffset", layout.MapScaleOffset);
  config.Int(u"", u"MapXaxisOffset", layout.MapXaxisOffset);
  config.Int(u"", u"MapYaxisOffset", layout.MapYaxisOffset);
  config.Int(u"", u"MapXaxisPercent", layout.MapXaxisPercent);
  layout.MapXaxisPercent = std::clamp(layout.MapXaxisPercent, 75, 125);
  config.Int(u"", u"MapYaxisPercent", layout.MapYaxisPercent);
  layout.MapYaxisPercent = std::clamp(layout.MapYaxisPercent, 75, 125);
}

std::vector<ThemeLayoutEntry> ListThemeLayout(const ThemeLayout& layout) {
  std::vector<ThemeLayoutEntry> entries;

  const SectionLister intensity(entries, u"Intensity");
  const ThemeLayout::Intensity& i = layout.intensity;
  intensity.Element(u"MaxIntensity", i.MaxIntensity);
  for (const auto& [name, sheet] :
       {std::pair{u"MidIntensity", &i.MidIntensity}, std::pair{u"MinIntensity", &i.MinIntensity}}) {
    intensity.Int(name, u"width", sheet->width);
    intensity.Int(name, u"height", sheet->height);
    intensity.Int(name, u"scaleOff", sheet->scaleOff);
  }
  intensity.Int(u"BarIntensity", u"width", i.BarIntensityWidth);
  intensity.Int(u"BarIntensity", u"height", i.BarIntensityHeight);
  intensity.Element(u"HistIntensity", i.HistIntensity);
  intensity.Int(u"HistIntensity", u"quantity", i.HistIntensity.quantity);

  const SectionLister table(entries, u"Table");
  const TableLayout& city = layout.table.City;
  table.Int(u"City", u"type", city.type);
  table.Int(u"City", u"rcLeft", city.rcLeft);
  table.Int(u"City", u"rcTop", city.rcTop);
  table.Int(u"City", u"maxCount", city.maxCount);
  table.Int(u"City", u"maxRow", city.maxRow);
  table.Int(u"City", u"maxColumn", city.maxColumn);
  table.Int(u"City", u"waku.rcLeft", city.wakuRcLeft);
  table.Int(u"City", u"waku.rcTop", city.wakuRcTop);
  table.Int(u"City", u"scaleOff", city.scaleOff);
  const TableLayout& comm = layout.table.Comm;
  table.Int(u"Comm", u"type", comm.type);
  table.Int(u"Comm", u"rcLeft", comm.rcLeft);
  table.Int(u"Comm", u"rcTop", comm.rcTop);
  table.Int(u"Comm", u"maxCount", comm.maxCount);
  table.Int(u"Comm", u"maxRow", comm.maxRow);
  table.Int(u"Comm", u"maxColumn", comm.maxColumn);
  table.Int(u"Comm", u"scaleOff", comm.scaleOff);

  const SectionLister waku(entries, u"Waku");
  waku.Int(u"ShingenWaku", u"width", layout.waku.ShingenWakuWidth);
  waku.Int(u"ShingenWaku", u"height", layout.waku.ShingenWakuHeight);
  for (const WakuEntry& entry : kWakuElements)
    waku.Element(entry.name, layout.waku.*entry.element);

  const SectionLister font(entries, u"Font");
  for (const FontGroup& group : kFontGroups) {
    for (std::size_t n = 0; n < group.textCount; ++n) {
      const TextElement& e = layout.text.*group.texts[n].element;
      font.Rect(group.texts[n].name, e.rcLeft, e.rcTop, e.rcRight, e.rcBottom);
      font.Int(group.texts[n].name, u"visible", e.visible);
    }
    ListStyle(font, group.style, layout.style.*group.style.style);
  }

  const SectionLister config(entries, u"Config");
  config.Int(u"", u"MapScaleMax", layout.MapScaleMax);
  config.Int(u"", u"MapScaleOffset", layout.MapScaleOffset);
  config.Int(u"", u"MapXaxisOffset", layout.MapXaxisOffset);
  config.Int(u"", u"MapYaxisOffset", layout.MapYaxisOffset);
  config.Int(u"", u"MapXaxisPercent", layout.MapXaxisPercent);
  config.Int(u"", u"MapYaxisPercent", layout.MapYaxisPercent);
  return entries;
}

std::u16string FormatColour(COLORREF colour) {
  constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string text = u"#";
  for (int shift : {0, 8, 16}) {
    const unsigned channel = (colour >> shift) & 0xFFu;
    text += kDigits[channel >> 4];
    text += kDigits[channel & 0xFu];
  }
  return text;
}

COLORREF ParseColour(std::u16string_view text) {
  if (text.size() < 7) return 0;
  const int red = HexPair(text.substr(1, 2));
  const int green = HexPair(text.substr(3, 2));
  const int blue = HexPair(text.substr(5, 2));
  return MakeColorRef(red, green, blue);
}

}  // namespace hw
