#include "settings/theme_layout.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/number_text.h"

namespace hw {
namespace {

constexpr ThemeElement kTimeBox{604, 20, 1065, 111, 462, 82, 1, 255};
constexpr ThemeElement kMagnitudeBox{1066, 20, 1342, 111, 277, 82, 1, 255};
constexpr ThemeElement kUserBox{20, 20, 510, 156, 490, 136, 0, 128};
constexpr ThemeElement kTsunamiBox{1327, 996, 1655, 1055, 640, 110, 1, 128};

// A panel lies on the 1920 × 1080 page, and its text is from a tenth of a line to a third of
// the page high.
constexpr int kPanelRight = 1919;
constexpr int kPanelBottom = 1079;
constexpr int kPanelFontLow = 8;
constexpr int kPanelFontHigh = 360;

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
  std::size_t textCount = 0;
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

// Every key of the layout file in the order it is read, walked once for reading and once for
// listing. `Layout` is ThemeLayout for a reader and const ThemeLayout for a lister; the
// visitor gets each value by reference with its section (Section), element name and key:
//   Int, Colour (with the default text a bad value falls back to), Text and Align;
//   Legacy: an older name that only gives the default of the key after it;
//   Limit: the range a value is kept in right after it is read.
template <typename Visitor, typename Element>
void VisitElement(Visitor& v, std::u16string_view name, Element& e) {
  v.Int(name, u"rcLeft", e.rcLeft);
  v.Int(name, u"rcTop", e.rcTop);
  v.Int(name, u"rcRight", e.rcRight);
  v.Int(name, u"rcBottom", e.rcBottom);
  v.Int(name, u"width", e.width);
  v.Int(name, u"height", e.height);
  v.Int(name, u"visible", e.visible);
  v.Int(name, u"alpha", e.alpha);
}

template <typename Visitor, typename Sheet>
void VisitSheet(Visitor& v, std::u16string_view name, Sheet& sheet) {
  v.Int(name, u"width", sheet.width);
  v.Int(name, u"height", sheet.height);
  v.Int(name, u"scaleOff", sheet.scaleOff);
}

template <typename Visitor, typename Table>
void VisitTable(Visitor& v, std::u16string_view name, Table& table) {
  v.Int(name, u"type", table.type);
  v.Int(name, u"rcLeft", table.rcLeft);
  v.Int(name, u"rcTop", table.rcTop);
  v.Int(name, u"maxCount", table.maxCount);
  v.Int(name, u"maxRow", table.maxRow);
  v.Int(name, u"maxColumn", table.maxColumn);
}

template <typename Visitor, typename Style>
void VisitStyle(Visitor& v, const StyleEntry& entry, Style& style) {
  v.Int(entry.name, u"fontHeight", style.fontHeight);
  v.Int(entry.name, u"fontWidth", style.fontWidth);
  v.Int(entry.name, u"fontWeight", style.fontWeight);
  if (entry.keys & kPadding) v.Int(entry.name, u"fontPadding", style.fontPadding);
  v.Colour(entry.name, u"fontColor", style.fontColor, entry.defaultColour);
  v.Text(entry.name, u"fontName", style.fontName);
  if (entry.keys & kAlign) v.Align(entry.name, u"align", style.align);
}

// A panel's rectangle is kept on the page and its text readable.
template <typename Visitor, typename Panel>
void VisitPanel(Visitor& v, std::u16string_view name, Panel& panel) {
  v.Int(name, u"rcLeft", panel.rcLeft);
  v.Limit(panel.rcLeft, 0, kPanelRight);
  v.Int(name, u"rcTop", panel.rcTop);
  v.Limit(panel.rcTop, 0, kPanelBottom);
  v.Int(name, u"rcRight", panel.rcRight);
  v.Limit(panel.rcRight, 0, kPanelRight);
  v.Int(name, u"rcBottom", panel.rcBottom);
  v.Limit(panel.rcBottom, 0, kPanelBottom);
  v.Int(name, u"visible", panel.visible);
  v.Int(name, u"alpha", panel.alpha);
  v.Limit(panel.alpha, 0, 255);
  const StyleEntry style{name, nullptr, kBasic, u"#ffffff"};
  VisitStyle(v, style, panel.style);
  v.Limit(panel.style.fontHeight, kPanelFontLow, kPanelFontHigh);
  v.Limit(panel.style.fontWidth, 0, kPanelFontHigh);
}

template <typename Visitor, typename Layout>
void VisitThemeLayout(Visitor& v, Layout& layout) {
  auto& intensity = layout.intensity;
  v.Section(u"Intensity");
  VisitElement(v, u"MaxIntensity", intensity.MaxIntensity);
  VisitSheet(v, u"MidIntensity", intensity.MidIntensity);
  VisitSheet(v, u"MinIntensity", intensity.MinIntensity);
  v.Int(u"BarIntensity", u"width", intensity.BarIntensityWidth);
  v.Int(u"BarIntensity", u"height", intensity.BarIntensityHeight);
  VisitElement(v, u"HistIntensity", intensity.HistIntensity);
  v.Int(u"HistIntensity", u"quantity", intensity.HistIntensity.quantity);

  auto& city = layout.table.City;
  v.Section(u"Table");
  v.Legacy(u"", u"Type", city.type);
  VisitTable(v, u"City", city);
  v.Legacy(u"Waku", u"rcLeft", city.wakuRcLeft);
  v.Legacy(u"Waku", u"rcTop", city.wakuRcTop);
  v.Int(u"City", u"waku.rcLeft", city.wakuRcLeft);
  v.Int(u"City", u"waku.rcTop", city.wakuRcTop);
  v.Int(u"City", u"scaleOff", city.scaleOff);
  v.Limit(city.scaleOff, -5, 100);
  VisitTable(v, u"Comm", layout.table.Comm);
  v.Int(u"Comm", u"scaleOff", layout.table.Comm.scaleOff);

  v.Section(u"Waku");
  v.Int(u"ShingenWaku", u"width", layout.waku.ShingenWakuWidth);
  v.Int(u"ShingenWaku", u"height", layout.waku.ShingenWakuHeight);
  for (const WakuEntry& entry : kWakuElements) {
    VisitElement(v, entry.name, layout.waku.*entry.element);
  }

  v.Section(u"Font");
  for (const FontGroup& group : kFontGroups) {
    for (std::size_t i = 0; i < group.textCount; ++i) {
      auto& e = layout.text.*group.texts[i].element;
      const std::u16string_view name = group.texts[i].name;
      v.Int(name, u"rcLeft", e.rcLeft);
      v.Int(name, u"rcTop", e.rcTop);
      v.Int(name, u"rcRight", e.rcRight);
      v.Int(name, u"rcBottom", e.rcBottom);
      v.Int(name, u"visible", e.visible);
    }
    VisitStyle(v, group.style, layout.style.*group.style.style);
  }

  v.Section(u"Panel");
  VisitPanel(v, u"TsunamiPanel", layout.panel.TsunamiPanel);

  v.Section(u"Config");
  v.Int(u"", u"MapScaleMax", layout.MapScaleMax);
  v.Int(u"", u"MapScaleOffset", layout.MapScaleOffset);
  v.Int(u"", u"MapXaxisOffset", layout.MapXaxisOffset);
  v.Int(u"", u"MapYaxisOffset", layout.MapYaxisOffset);
  v.Int(u"", u"MapXaxisPercent", layout.MapXaxisPercent);
  v.Limit(layout.MapXaxisPercent, 75, 125);
  v.Int(u"", u"MapYaxisPercent", layout.MapYaxisPercent);
  v.Limit(layout.MapYaxisPercent, 75, 125);
}

constexpr std::u16string_view AlignName(int align) {
  return align == 2 ? u"Right" : align == 1 ? u"Center" : u"Left";
}

// Reads each key with the value it holds as the default.
class LayoutReader {
 public:
  explicit LayoutReader(const ProfileFile& file) : file_(file) {}

  void Section(std::u16string_view section) { section_ = section; }
  void Int(std::u16string_view name, std::u16string_view key, int& value) const {
    value = file_.GetPrivateProfileInt(section_, JoinKey(name, key), value);
  }
  void Legacy(std::u16string_view name, std::u16string_view key, int& value) const {
    Int(name, key, value);
  }
  void Limit(int& value, int low, int high) const { value = std::clamp(value, low, high); }
  void Text(std::u16string_view name, std::u16string_view key, std::u16string& value) const {
    value = file_.GetPrivateProfileString(section_, JoinKey(name, key), value);
  }
  // A colour that is missing or does not begin with "#" takes the style's default colour.
  void Colour(std::u16string_view name, std::u16string_view key, COLORREF& value,
              std::u16string_view fallback) const {
    std::u16string colour = file_.GetPrivateProfileString(section_, JoinKey(name, key), fallback);
    if (colour.empty() || colour[0] != u'#') colour = fallback;
    value = ParseColour(colour);
  }
  // "Right" and "Center"; anything else, a missing key included, is left.
  void Align(std::u16string_view name, std::u16string_view key, int& value) const {
    const std::u16string align =
        file_.GetPrivateProfileString(section_, JoinKey(name, key), u"Left");
    value = align == AlignName(2) ? 2 : align == AlignName(1) ? 1 : 0;
  }

 private:
  const ProfileFile& file_;
  std::u16string_view section_;
};

// Lists each key with its value as the file would hold it; older names are left out.
class LayoutLister {
 public:
  explicit LayoutLister(std::vector<ThemeLayoutEntry>& out) : out_(out) {}

  void Section(std::u16string_view section) { section_ = section; }
  void Int(std::u16string_view name, std::u16string_view key, int value) const {
    const std::string digits = std::to_string(value);
    Add(name, key, std::u16string(digits.begin(), digits.end()));
  }
  void Legacy(std::u16string_view, std::u16string_view, int) const {}
  void Limit(int, int, int) const {}
  void Text(std::u16string_view name, std::u16string_view key, const std::u16string& value) const {
    Add(name, key, value);
  }
  void Colour(std::u16string_view name, std::u16string_view key, COLORREF value,
              std::u16string_view) const {
    Add(name, key, FormatColour(value));
  }
  void Align(std::u16string_view name, std::u16string_view key, int value) const {
    Add(name, key, std::u16string(AlignName(value)));
  }

 private:
  void Add(std::u16string_view name, std::u16string_view key, std::u16string value) const {
    out_.push_back({section_, JoinKey(name, key), std::move(value)});
  }

  std::vector<ThemeLayoutEntry>& out_;
  std::u16string_view section_;
};

int HexPair(std::u16string_view pair) {
  int value = 0;
  for (char16_t c : pair) {
    const int digit = HexDigitValue(c);
    if (digit < 0) break;
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
  for (ThemeElement* user : {&waku.User1Waku, &waku.User3Waku, &waku.User4Waku}) {
    *user = kUserBox;
  }
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

  // The tsunami panel covers the history table's four rows while a forecast is in force.
  panel.TsunamiPanel = {1223, 560, 1814, 1031, 1, 255, Style(32, 24, 700, u"#ffffff", u"Meiryo")};

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
  LayoutReader reader(file);
  VisitThemeLayout(reader, layout);
}

std::vector<ThemeLayoutEntry> ListThemeLayout(const ThemeLayout& layout) {
  std::vector<ThemeLayoutEntry> entries;
  LayoutLister lister(entries);
  VisitThemeLayout(lister, layout);
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
