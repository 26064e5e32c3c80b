#include "display/info_boxes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/box_drawing.h"
#include "display/compose_harness.h"

namespace hw {
namespace {

using test::ComposeHarness;
using test::FakeTextRenderer;

// The first text drawn into an element (on page 0).
const FakeTextRenderer::DrawCall* DrawnAt(const ComposeHarness& h, const TextElement& e) {
  for (const auto& call : h.text.draws) {
    if (call.rect.top == e.rcTop && call.rect.right == e.rcRight && call.rect.left >= e.rcLeft &&
        call.rect.left <= e.rcLeft + 2) {
      return &call;
    }
  }
  return nullptr;
}

void Prepare(ComposeHarness& h, int type) {
  LatestReport& r = h.report();
  r.issueType = type;
  r.timeKey = 294498908;  // far from the memory's start, so no report counts as its quake
  r.latitude = r.longitude = kNoCoordinate;
  r.eventYearMonth.Assign(u"2024年 5月");
  r.eventDayTime.Assign(u" 6日 3時08分");
  r.issueYearMonth.Assign(u"2024年 5月");
  r.issueDayTime.Assign(u" 6日 3時12分");
  r.hypocenterName.Assign(u"胆振地方中東部");
  r.depthText.Assign(u"40km");
  r.magnitude = 6.7;
}

TEST(InfoBoxes, TimePiecesAreCutFromTheTexts) {
  const TimePieces t = CutTime(u"2024年 5月", u" 6日 3時08分");
  EXPECT_EQ(t.year, u"2024");
  EXPECT_EQ(t.month, u" 5");
  EXPECT_EQ(t.date, u" 6");
  EXPECT_EQ(t.hour, u" 3");
  EXPECT_EQ(t.minute, u"08");
  const TimePieces none = CutTime(u"", u"");
  EXPECT_TRUE(none.year.empty() && none.month.empty() && none.minute.empty());
}

TEST(InfoBoxes, VisibleOneDrawsTimeAndMagnitudeTextsVisibleTwoOnlyNames) {
  ComposeHarness h;
  Prepare(h, Destination);
  ThemeLayout::FontRects& t = h.theme.text;
  t.EventTimeYear.visible = 1;
  t.EventTimeHour.visible = 2;  // time pieces need exactly 1
  t.Magnitude.visible = 1;
  t.InfoShingen.visible = 2;  // names need only "not 0"
  t.InfoDepth.visible = 0;
  h.Compose();
  ASSERT_NE(DrawnAt(h, t.EventTimeYear), nullptr);
  EXPECT_EQ(DrawnAt(h, t.EventTimeYear)->text, u"2024");
  EXPECT_EQ(DrawnAt(h, t.EventTimeYear)->format, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  EXPECT_EQ(DrawnAt(h, t.EventTimeHour), nullptr);
  ASSERT_NE(DrawnAt(h, t.Magnitude), nullptr);
  EXPECT_EQ(DrawnAt(h, t.Magnitude)->text, u"6.7");
  ASSERT_NE(DrawnAt(h, t.InfoShingen), nullptr);
  EXPECT_EQ(DrawnAt(h, t.InfoShingen)->text, u"胆振地方中東部");
  EXPECT_EQ(DrawnAt(h, t.InfoDepth), nullptr);
  // Every text goes on the four pages.
  const auto same = std::count_if(h.text.draws.begin(), h.text.draws.end(),
                                  [&](const auto& call) { return call.text == u"胆振地方中東部"; });
  EXPECT_EQ(same, 4);
}

TEST(InfoBoxes, MagnitudeBoxesShowOnlyAPositiveMagnitude) {
  for (const double magnitude : {6.0, 0.0, -1.0}) {
    ComposeHarness h;
    Prepare(h, Destination);
    h.report().magnitude = magnitude;
    h.theme.waku.MagnitudeWaku = {100, 100, 199, 149, 10, 10, 1, 255};
    h.SolidSprite(MagnitudeWakuSurface, 10, 10, MakeColorRef(1, 2, 3));
    h.Compose();
    EXPECT_EQ(h.PagePixel(AreaPage, 150, 120) == MakeColorRef(1, 2, 3), magnitude > 0) << magnitude;
    EXPECT_EQ(DrawnAt(h, h.theme.text.Magnitude)->text, magnitude > 0 ? u"6.0" : u"") << magnitude;
  }
}

TEST(InfoBoxes, EpicentreNameTakesTheNarrowerFontsWhenItDoesNotFit) {
  // The box is 328 pixels; the fake measures 15, 10 and 7 pixels a character.
  struct Case {
    std::u16string name;
    FontIndex font;
    int left;
  };
  const Case cases[] = {
      {std::u16string(21, u'あ'), InfoShingenFont, 362},
      {std::u16string(30, u'あ'), InfoShingenNarrowFont, 362},
      {std::u16string(60, u'あ'), InfoShingenNarrowestFont, 362},  // cut by the rectangle
      {u"---", InfoShingenFont, 364},
  };
  for (const Case& c : cases) {
    ComposeHarness h;
    Prepare(h, Destination);
    h.report().hypocenterName.Assign(c.name);
    h.Compose();
    const auto* call = DrawnAt(h, h.theme.text.InfoShingen);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->font, h.fonts[c.font]) << c.name.size();
    EXPECT_EQ(call->rect.left, c.left);
  }
  ComposeHarness prompt;
  Prepare(prompt, ScalePrompt);
  prompt.report().magnitude = -1;
  prompt.report().depthText.Assign(u"---");
  prompt.Compose();
  EXPECT_EQ(DrawnAt(prompt, prompt.theme.text.InfoShingen)->text, u"調査中");
  EXPECT_EQ(DrawnAt(prompt, prompt.theme.text.InfoDepth)->text, u"調査中");
}

TEST(InfoBoxes, DepthStartsTwoPixelsInUnlessItIsWords) {
  const std::pair<std::u16string_view, int> cases[] = {
      {u"ごく浅い", 362}, {u"10km", 364}, {u"---", 364}, {u"調査中", 362}};
  for (const auto& [depth, left] : cases) {
    ComposeHarness h;
    Prepare(h, Destination);
    h.report().depthText.Assign(depth);
    h.Compose();
    const auto* call = DrawnAt(h, h.theme.text.InfoDepth);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->rect.left, left) << std::string(depth.begin(), depth.end()).size();
  }
}

TEST(InfoBoxes, CommentFrameNeedsACommentAndWithVisibleTwoAForeignReport) {
  struct Case {
    int visible;
    int type;
    bool comment;
    bool shown;
  };
  for (const Case& c : {Case{1, Destination, true, true}, Case{1, Destination, false, false},
                        Case{2, Destination, true, false}, Case{2, Foreign, true, true}}) {
    ComposeHarness h;
    Prepare(h, c.type);
    if (c.comment) {
      h.report().commentText.Assign(u"注意");
      h.report().commentLength = 2;
    }
    h.theme.waku.InfoCommentWaku = {300, 300, 339, 319, 4, 4, c.visible, 255};
    h.SolidSprite(InfoCommentWakuSurface, 4, 4, MakeColorRef(9, 8, 7));
    h.Compose();
    EXPECT_EQ(h.PagePixel(StationPageNoEpicentre, 310, 310) == MakeColorRef(9, 8, 7), c.shown)
        << c.visible << " " << c.type << " " << c.comment;
  }
}

TEST(InfoBoxes, TsunamiCodesOneToFiveHaveABox) {
  const SurfaceIndex frames[] = {Tsunami1WakuSurface, Tsunami2WakuSurface, Tsunami3WakuSurface,
                                 Tsunami4WakuSurface, Tsunami5WakuSurface};
  for (int code = 0; code <= 6; ++code) {
    ComposeHarness h;
    Prepare(h, Destination);
    h.report().domesticTsunami = code;
    ThemeElement* boxes[] = {&h.theme.waku.Tsunami1Waku, &h.theme.waku.Tsunami2Waku,
                             &h.theme.waku.Tsunami3Waku, &h.theme.waku.Tsunami4Waku,
                             &h.theme.waku.Tsunami5Waku};
    for (int n = 0; n < 5; ++n) {
      *boxes[n] = {100 + 50 * n, 400, 139 + 50 * n, 439, 4, 4, 1, 255};
      h.SolidSprite(frames[n], 4, 4, ComposeHarness::SheetColour(n + 1));
    }
    h.Compose();
    for (int n = 0; n < 5; ++n) {
      EXPECT_EQ(h.PagePixel(AreaPage, 120 + 50 * n, 420) == ComposeHarness::SheetColour(n + 1),
                code == n + 1)
          << "code " << code << " box " << n + 1;
    }
  }
}

TEST(InfoBoxes, MaximumIntensityBadgeCells) {
  const std::pair<int, int> byScale[] = {{10, 0}, {20, 1}, {30, 2}, {40, 3}, {45, 4},  {50, 5},
                                         {55, 6}, {60, 7}, {70, 8}, {0, 10}, {-1, 10}, {46, 10}};
  for (const auto& [scale, cell] : byScale)
    EXPECT_EQ(MaxIntensityCell(Destination, scale), cell) << scale;
  EXPECT_EQ(MaxIntensityCell(Foreign, 70), 9);

  ComposeHarness h;
  Prepare(h, DetailScale);
  h.report().maxScale = 46;
  h.theme.intensity.MaxIntensity = {20, 20, 59, 59, 8, 8, 1, 255};
  h.SheetSprite(MaxIntensitySurface, 8, 8, 11, false);
  h.Compose();
  EXPECT_EQ(h.PagePixel(StationPage, 40, 40), ComposeHarness::SheetColour(10));
}

}  // namespace
}  // namespace hw
