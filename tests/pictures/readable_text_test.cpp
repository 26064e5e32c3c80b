// The default theme's texts drawn with the real renderer and the Debian fonts, checked by
// where their ink goes: place names fit the grid's cells and the list's columns, a comment
// line holds its 68 characters, and epicentre names fit their box with one of its fonts. A
// renderer that drew Japanese wider than the layouts allow cuts the names short or runs one
// text over the next, which only the real glyphs show.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "headless/headless_display.h"
#include "platform/blit.h"
#include "platform/clock.h"

namespace hw {
namespace {

namespace fs = std::filesystem;

// The bounding box (right and bottom exclusive) of the pixels in `area` of `surface` that
// differ from `background`, or from the same pixel of `other`.
struct Ink {
  int left = INT_MAX;
  int right = INT_MIN;
  bool Empty() const { return right <= left; }
  int Width() const { return Empty() ? 0 : right - left; }
};

Ink InkIn(const Surface& surface, const Rect& area, COLORREF background) {
  Ink ink;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (surface.GetPixel(x, y) == background) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x + 1);
    }
  }
  return ink;
}

Ink ChangedIn(const Surface& surface, const Surface& other, const Rect& area) {
  Ink ink;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (surface.GetPixel(x, y) == other.GetPixel(x, y)) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x + 1);
    }
  }
  return ink;
}

class ReadableText : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    display_ = HeadlessDisplay::Open(
        WorkFolderLayout((fs::path(HW_SOURCE_DIR) / "runtime").u16string()), error);
    ASSERT_NE(display_, nullptr) << error;
  }
  static void TearDownTestSuite() { display_.reset(); }

  void SetUp() override {
    ASSERT_NE(display_, nullptr);
    theme_ = display_->theme();
  }
  void TearDown() override { display_->theme() = theme_; }

  // A report of the given type with places at intensity 4 in one prefecture.
  static LatestReport& Report(int type, const std::vector<std::u16string>& places,
                              std::u16string_view pref = u"神奈川県") {
    LatestReport& r = display_->shown().latest;
    r.Reset();
    r.issueType = type;
    r.timeKey = 294498908;
    r.maxScale = 40;
    r.magnitude = 5.1;
    r.eventYearMonth.Assign(u"2024年08月");
    r.eventDayTime.Assign(u"10日14時18分");
    r.depthText.Assign(u"10km");
    r.hypocenterName.Assign(u"神奈川県西部");
    r.domesticTsunami = DomesticNone;
    r.pointCount = 0;
    for (const std::u16string& name : places) {
      ObservationPoint& p = r.points[static_cast<std::size_t>(r.pointCount++)];
      p.addr.Assign(name);
      p.pref.Assign(pref);
      p.scale = 40;
    }
    r.MaxScalePointCount = r.pointCount;
    return r;
  }
  static const Surface& Table() { return display_->surfaces()[TableSurface].surface; }

  static std::unique_ptr<HeadlessDisplay> display_;
  ThemeLayout theme_;
};
std::unique_ptr<HeadlessDisplay> ReadableText::display_;

TEST_F(ReadableText, GridCellsHoldSixCharactersOfEveryName) {
  // Real municipality names as the reports give them; the seven-character ones are cut to
  // the six a cell holds.
  const std::vector<std::u16string> names = {
      u"東京千代田区",   u"南アルプス市",   u"東京足立区", u"大阪北区", u"石川県能登",
      u"かすみがうら市", u"つくばみらい市", u"安平町",     u"那覇市",   u"十日町市"};
  Report(ScalePrompt, names);
  display_->Compose();
  const TableLayout& city = display_->theme().table.City;
  ASSERT_EQ(city.type, 1);
  ASSERT_EQ(city.maxRow, 6);
  const int perColumn = city.maxColumn;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int column = static_cast<int>(i) / perColumn;
    const int row = static_cast<int>(i) % perColumn;
    const Rect cell{330 * column, 64 * row, 330 * column + 330, 64 * row + 64};
    const Ink ink = InkIn(Table(), cell, kTextKey);
    SCOPED_TRACE(testing::Message() << "cell " << i);
    const auto shown = static_cast<int>(std::min<std::size_t>(names[i].size(), 6));
    // All the characters are there (an ideograph is about the font's width, 49 pixels), and
    // the last one ends before the cell does: nothing is cut.
    EXPECT_GE(ink.Width(), shown * 49 * 8 / 10);
    EXPECT_LE(ink.right, cell.right - 2);
  }
}

TEST_F(ReadableText, ListPrefixesEndBeforeTheNames) {
  TableLayout& city = display_->theme().table.City;
  city.type = 2;
  city.maxCount = 5000;
  city.maxRow = 12;
  city.maxColumn = 19;
  Report(ScalePrompt, {u"二宮町", u"大磯町", u"小田原市", u"南足柄市"});
  display_->Compose();
  // Line 1 holds the first prefecture, 神奈川県 in bold from +10, and its names from +140.
  const int top = city.rcTop + 40;
  const Ink prefix = InkIn(Table(), {city.rcLeft, top, city.rcLeft + 140, top + 40}, kTextKey);
  const Ink names = InkIn(Table(), {city.rcLeft + 140, top, kPageWidth, top + 40}, kTextKey);
  ASSERT_FALSE(prefix.Empty());
  ASSERT_FALSE(names.Empty());
  EXPECT_GE(prefix.Width(), 4 * 24 * 8 / 10);  // four characters of about 24 pixels
  EXPECT_LE(prefix.right, city.rcLeft + 140 - 8);
  EXPECT_GE(names.left, city.rcLeft + 140);
  EXPECT_GE(names.Width(), 15 * 24 * 8 / 10);  // four names and their spaces
}

TEST_F(ReadableText, CommentLinesHoldSixtyEightCharacters) {
  TableLayout& comm = display_->theme().table.Comm;
  comm.type = 1;
  comm.maxRow = 68;
  comm.maxColumn = 2;
  LatestReport& r = Report(ScalePrompt, {u"二宮町"});
  std::u16string comment;
  while (comment.size() < 136)
    comment += u"震源の深さは約１０ｋｍ、地震の規模は推定されています。";
  comment.resize(136);
  r.commentText.Assign(comment);
  r.commentLength = static_cast<int>(comment.size());
  display_->Compose();
  for (int line = 0; line < 2; ++line) {
    SCOPED_TRACE(line);
    const int top = comm.rcTop + 40 * line;
    const Ink ink = InkIn(Table(), {0, top, kPageWidth, top + 40}, kTextKey);
    EXPECT_GE(ink.Width(), 68 * 24 * 8 / 10);
    EXPECT_LE(ink.right, kPageWidth - 8);
  }
}

TEST_F(ReadableText, EpicentreNamesFitTheirBoxWithOneOfItsFonts) {
  const TextElement& box = display_->theme().text.InfoShingen;
  const Rect area{box.rcLeft - 4, box.rcTop, box.rcRight + 4, box.rcBottom};
  // The box without a name, to find the name's pixels by.
  Report(Destination, {u"二宮町"}).hypocenterName.Assign(u"");
  display_->Compose();
  Surface empty(kPageWidth, kPageHeight);  // page 0
  BitBlt(empty, 0, 0, kPageWidth, kPageHeight, display_->canvas(), PageX(AreaPage), 0);
  // Real epicentre names, from the short ones to the longest the agency uses.
  for (const std::u16string name :
       {u"日向灘", u"長野県中部", u"胆振地方中東部", u"青森県三八上北地方", u"熊本県天草・芦北地方",
        u"山梨県東部・富士五湖", u"カムチャツカ半島東方沖", u"フィリピン諸島、ミンダナオ",
        u"アフガニスタン、ヒンドゥークシュ"}) {
    SCOPED_TRACE(std::string(name.begin(), name.end()).size());
    Report(Destination, {u"二宮町"}).hypocenterName.Assign(name);
    display_->Compose();
    const Ink ink = ChangedIn(display_->canvas(), empty, area);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.left, box.rcLeft);
    // The whole name is there: it ends before the box's right edge cuts it, and it is at
    // least as wide as half-width ideographs of the narrowest font would make it.
    EXPECT_LE(ink.right, box.rcRight - 1);
    const int narrowest = display_->theme().style.InfoShingen.fontWidth / 2;
    EXPECT_GE(ink.Width(), static_cast<int>(name.size()) * narrowest * 8 / 10);
  }
}

// The label that says where the data came from is readable when the picture is shown at a
// third of its size: its text at least 20 pixels high, whole inside its box, within what the
// window shows.
TEST_F(ReadableText, TheLabelIsWholeAndLargeEnough) {
  Report(Destination, {u"二宮町"});
  display_->Compose();
  FeedState demo;
  demo.shown = ReportSource::kDemo;
  FeedState stale;
  stale.shown = ReportSource::kLive;
  stale.stale = true;
  stale.lastSuccess = MakeLocalTime(2026, 12, 10, 23, 58, 59);
  FeedState lastKnown;
  lastKnown.shown = ReportSource::kLastKnown;
  lastKnown.shownReceived = MakeLocalTime(2026, 12, 10, 23, 58, 0);
  FeedState staleLastKnown = lastKnown;  // the tallest label: three lines
  staleLastKnown.stale = true;
  const auto shown = std::make_unique<ReportStore>(display_->shown());
  for (const FeedState& feed : {demo, stale, lastKnown, staleLastKnown}) {
    display_->display().TakeOver(*shown, *feed.shown, feed.shownReceived);
    display_->SetFeedHealth(feed.stale, feed.lastSuccess);
    for (const int aspect : {0, 1, 2}) {
      display_->settings().Aspect = aspect;
      const PaintSource frame = display_->Paint(0);
      const PictureLabel label = PictureLabelFor(feed);
      const Rect box = display_->painter().LabelBox(label, aspect);
      SCOPED_TRACE(testing::Message() << label.lines.size() << " lines, aspect " << aspect);
      EXPECT_GE(box.left + PageX(DisplayPage), frame.source.left);
      EXPECT_LE(box.right + PageX(DisplayPage), frame.source.right);
      if (aspect == 0) {
        // The whole picture is shown: the label keeps to the corner the theme leaves free.
        const ThemeLayout::Waku& w = display_->theme().waku;
        for (const ThemeElement* e :
             {&w.Tsunami1Waku, &w.Tsunami2Waku, &w.Tsunami3Waku, &w.Tsunami4Waku, &w.Tsunami5Waku,
              &w.MagnitudeWaku, &w.InfoDepthWaku, &w.EventTimeWaku}) {
          EXPECT_TRUE(e->rcRight < box.left || e->rcLeft >= box.right || e->rcBottom < box.top ||
                      e->rcTop >= box.bottom);
        }
      }
      // The text's pixels: light on the dark shade.
      int top = INT_MAX, bottom = INT_MIN, left = INT_MAX, right = INT_MIN;
      for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
          const COLORREF c = display_->canvas().GetPixel(PageX(DisplayPage) + x, y);
          if ((c & 0xFF) < 200 || ((c >> 8) & 0xFF) < 180) continue;
          top = std::min(top, y);
          bottom = std::max(bottom, y + 1);
          left = std::min(left, x);
          right = std::max(right, x + 1);
        }
      }
      ASSERT_LT(top, bottom);
      const int lines = static_cast<int>(label.lines.size());
      EXPECT_GE(bottom - top, lines * 20 + (lines - 1) * 8);
      EXPECT_GT(left, box.left + 2);
      EXPECT_LT(right, box.right - 2);
      EXPECT_LT(bottom, box.bottom);
    }
  }
  display_->settings().Aspect = 0;
  display_->SetFeedHealth(false, std::nullopt);
}

}  // namespace
}  // namespace hw
