#include "settings/theme_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile_file.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

ThemeLayout Load(std::string_view ini) {
  ThemeLayout layout;
  LoadThemeLayout(ProfileFile::Parse(ini), layout);
  return layout;
}

TEST(ThemeLayout, NoFileGivesTheBuiltInLayout) {
  const ThemeLayout layout = Load("");
  EXPECT_EQ(layout.intensity.MaxIntensity.rcRight, 603);
  EXPECT_EQ(layout.intensity.HistIntensity.quantity, 4);
  EXPECT_EQ(layout.table.City.type, 1);
  EXPECT_EQ(layout.table.Comm.maxCount, 1000);
  EXPECT_EQ(layout.waku.Tsunami2Waku.rcTop, 966);
  EXPECT_EQ(layout.waku.InfoCommentMoji.visible, 0);
  EXPECT_EQ(layout.waku.User2Moji.alpha, 255);
  EXPECT_EQ(layout.text.InfoComment.rcLeft, 714);
  EXPECT_EQ(layout.text.EventTimeDate.visible, 1);
  EXPECT_EQ(layout.style.Magnitude.fontName, u"Arial Black");
  EXPECT_EQ(layout.style.Magnitude.fontColor, 0x0000FFFFu);
  EXPECT_EQ(layout.MapXaxisPercent, 100);
}

TEST(ThemeLayout, OlderNamesOnlyGiveDefaults) {
  EXPECT_EQ(Load("[Table]\nType=2\n").table.City.type, 2);
  EXPECT_EQ(Load("[Table]\nType=2\nCity.type=3\n").table.City.type, 3);
  EXPECT_EQ(Load("[Table]\nWaku.rcLeft=300\n").table.City.wakuRcLeft, 300);
  EXPECT_EQ(Load("[Table]\nWaku.rcLeft=300\nCity.waku.rcLeft=400\n").table.City.wakuRcLeft, 400);
}

TEST(ThemeLayout, LimitedKeys) {
  EXPECT_EQ(Load("[Table]\nCity.scaleOff=-20\n").table.City.scaleOff, -5);
  EXPECT_EQ(Load("[Table]\nCity.scaleOff=120\n").table.City.scaleOff, 100);
  EXPECT_EQ(Load("[Table]\nComm.scaleOff=-20\n").table.Comm.scaleOff, -20);
  EXPECT_EQ(Load("[Config]\nMapXaxisPercent=50\n").MapXaxisPercent, 75);
  EXPECT_EQ(Load("[Config]\nMapYaxisPercent=200\n").MapYaxisPercent, 125);
}

TEST(ThemeLayout, ColoursAndAlignment) {
  EXPECT_EQ(Load("[Font]\nInfoShingen.fontColor=ff0000\n").style.InfoShingen.fontColor, 0xFFFFFFu);
  EXPECT_EQ(Load("[Font]\nInfoShingen.fontColor=#f00\n").style.InfoShingen.fontColor, 0u);
  EXPECT_EQ(Load("[Font]\nInfoShingen.fontColor=#ff0000zz\n").style.InfoShingen.fontColor,
            0x000000FFu);
  EXPECT_EQ(Load("[Font]\nInfoDepth.align=center\n").style.InfoDepth.align, 0);
  EXPECT_EQ(Load("[Font]\nInfoDepth.align=Center\n").style.InfoDepth.align, 1);
  EXPECT_EQ(Load("[Font]\nHisShingen.align=Right\n").style.HisShingen.align, 2);
  EXPECT_EQ(ParseColour(u"#0a0B0c"), 0x0C0B0Au);
  EXPECT_EQ(ParseColour(u"#g0ffff"), 0xFFFF00u);
}

TEST(ThemeLayout, KeysReachTheirElements) {
  const ThemeLayout layout = Load(
      "[Waku]\nUser3Moji.visible=1\nShingenWaku.width=90\n"
      "[Font]\nHisEvTimeMinute.rcLeft=5\nHisEvTime.fontPadding=1\nEventTime.fontName=Meiryo\n"
      "[Intensity]\nMidIntensity.scaleOff=8\n");
  EXPECT_EQ(layout.waku.User3Moji.visible, 1);
  EXPECT_EQ(layout.waku.User4Moji.visible, 0);
  EXPECT_EQ(layout.waku.ShingenWakuWidth, 90);
  EXPECT_EQ(layout.text.HisEvTimeMinute.rcLeft, 5);
  EXPECT_EQ(layout.style.HisEvTime.fontPadding, 1);
  EXPECT_EQ(layout.style.EventTime.fontPadding, 0);
  EXPECT_EQ(layout.style.EventTime.fontName, u"Meiryo");
  EXPECT_EQ(layout.intensity.MidIntensity.scaleOff, 8);
}

// A file that gives every listed key its own value loads into a layout that lists exactly
// those values again: no key is listed without being read or read into the wrong field.
TEST(ThemeLayout, ListingRoundTripsEveryKey) {
  const std::vector<ThemeLayoutEntry> defaults = ListThemeLayout(ThemeLayout{});
  // [Intensity] 25, [Table] 16, [Waku] 2 + 28 × 8, [Font] 22 × 5 + 10 × 5 + 3 + 4, [Panel] 11,
  // [Config] 6.
  EXPECT_EQ(defaults.size(), 451u);

  std::string file;
  std::u16string_view section;
  std::vector<std::u16string> written;
  std::set<std::pair<std::u16string_view, std::u16string>> seen;
  for (const ThemeLayoutEntry& entry : defaults) {
    EXPECT_TRUE(seen.insert({entry.section, entry.key}).second) << Utf16ToUtf8(entry.key);
    const auto n = static_cast<int>(written.size());
    std::u16string value;
    if (entry.key.ends_with(u"fontColor")) {
      value = FormatColour(MakeColorRef(n, 255 - n, n / 2));
    } else if (entry.key.ends_with(u"fontName")) {
      value = u"Face " + Utf8ToUtf16(std::to_string(n));
    } else if (entry.key.ends_with(u"align")) {
      value = n % 2 == 0 ? u"Right" : u"Center";
    } else {
      // 75..100 lies inside every limited key's range, so nothing is changed on reading.
      value = Utf8ToUtf16(std::to_string(75 + n % 26));
    }
    if (entry.section != section) {
      section = entry.section;
      file += "[" + Utf16ToUtf8(section) + "]\n";
    }
    file += Utf16ToUtf8(entry.key) + "=" + Utf16ToUtf8(value) + "\n";
    written.push_back(std::move(value));
  }

  const ThemeLayout loaded = Load(file);
  const std::vector<ThemeLayoutEntry> listed = ListThemeLayout(loaded);
  ASSERT_EQ(listed.size(), written.size());
  for (std::size_t i = 0; i < listed.size(); ++i)
    EXPECT_EQ(listed[i].value, written[i]) << Utf16ToUtf8(listed[i].key);
}

TEST(ThemeLayout, ColoursFormatAsTheyParse) {
  for (COLORREF colour : {0x000000u, 0x00FFFFu, 0x123456u, 0xFFFFFFu})
    EXPECT_EQ(ParseColour(FormatColour(colour)), colour);
  EXPECT_EQ(FormatColour(MakeColorRef(0xff, 0xff, 0x00)), u"#ffff00");
}

}  // namespace
}  // namespace hw
