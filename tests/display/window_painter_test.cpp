#include "display/window_painter.h"

#include <gtest/gtest.h>

#include "display/compose_harness.h"
#include "platform/blit.h"
#include "platform/clock.h"

namespace hw {
namespace {

using test::ComposeHarness;

// A frame timer that advances by one period per millisecond waited (or never, when stuck).
class SteppingPhase final : public FramePhase {
 public:
  int FrameSubCount() override { return sub; }
  void Wait(int milliseconds) override {
    ++waits;
    waited += milliseconds;
    if (!stuck) sub += milliseconds;
  }
  int waited = 0;
  int sub = 0;
  int waits = 0;
  bool stuck = false;
};

FeedState LiveFeed() {
  FeedState feed;
  feed.shown = ReportSource::kLive;
  return feed;
}

struct PaintHarness : ComposeHarness {
  PaintHarness() { now = MakeLocalTime(2026, 12, 8, 12, 0, 0); }

  // The loop's state for a paint at the harness's time.
  PaintState State() const {
    PaintState state;
    state.NowTime = now;
    state.TickerOffset = tickerOffset;
    state.TickerMoved = tickerMoved != 0;
    state.FetchPhase = fetchPhase;
    state.LastFetchStatus = lastStatus;
    state.fetch = SnapshotOf(fetch);
    state.feedStale = feed.stale;
    state.lastSuccess = feed.lastSuccess;
    state.window = window;
    return state;
  }
  // Paints at second `second` of the minute, and counts the paint as the loop does.
  PaintSource PaintAt(int second) {
    now.tm_sec = second;
    display.UseSettings(Settings());
    const PaintResult result = painter.OnPaint(State(), &phase);
    if (result.painted) {
      if (result.counted) ++paintCount;
      tickerMoved = 0;
    }
    return result.frame;
  }
  Rect PendingDamage() {
    display.UseSettings(Settings());
    return painter.PendingDamage(State());
  }
  COLORREF Shown(int x, int y) const { return PagePixel(DisplayPage, x, y); }

  std::tm now{};
  Size window;  // empty: the page as it is
  int tickerOffset = 0;
  int tickerMoved = 0;
  int paintCount = 0;
  int fetchPhase = 0;
  FetchStatusValue lastStatus = FetchIdle;
  FetchShared fetch;
  FeedState feed = LiveFeed();
  SteppingPhase phase;
  // The painter under test over the display's pages, with the picture's origin the test sets.
  WindowPainter painter{PaintInputs{surfaces, *reports, theme, fonts, text, display.settings(),
                                    feed, display.mapLayer(), display.composer().compositions(),
                                    display.composer().warningPage().page()}};
};

// A detailed report with one station marker, which only the station page shows (the station
// lies away from its area's marker).
void ComposeStationReport(PaintHarness& h) {
  h.AddStation(u"東京千代田区", 35.0, 140.3);
  h.AddPlace(u"東京", 72);
  LatestReport& r = h.report();
  r.issueType = DetailScale;
  r.latitude = 36.0;
  r.longitude = 138.0;
  r.maxScale = 30;
  r.pointCount = 1;
  r.points[0].addr.Assign(u"東京千代田区");
  r.points[0].scale = 30;
  h.Compose();
}

TEST(WindowPainter, FadeAndPulseStepsBySpeed) {
  struct Case {
    int speedDraw;
    std::vector<int> fadeAfterSwitch;  // FadeAlpha at the switch paint and the ones after it
    int pulseStep;
  };
  const Case cases[] = {
      {5, {255, 0, 0}, 255},
      {4, {255, 239, 223}, 8},
      {7, {255, 255, 255}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speedDraw);
    PaintHarness h;
    h.SpeedDraw = c.speedDraw;
    h.report().issueType = Destination;
    h.PaintAt(9);
    EXPECT_EQ(h.painter.FadeAlpha(), 0);
    for (const int fade : c.fadeAfterSwitch) {
      h.PaintAt(10);
      EXPECT_EQ(h.painter.FadeAlpha(), fade);
    }
    // Seconds 10 and 11 raise the pulse, 12 to 14 lower it.
    const int raised = h.painter.BlinkAlpha();
    EXPECT_EQ(raised, std::min(255, c.pulseStep * static_cast<int>(c.fadeAfterSwitch.size())));
    h.PaintAt(12);
    EXPECT_EQ(h.painter.BlinkAlpha(), std::max(0, raised - c.pulseStep));
  }
}

TEST(WindowPainter, FullFadeAtSpeedFourLastsSixteenPaints) {
  PaintHarness h;
  h.report().issueType = Foreign;
  h.PaintAt(9);
  int paints = 0;
  do {
    h.PaintAt(10);
    ++paints;
  } while (h.painter.FadeAlpha() > 0);
  EXPECT_EQ(paints, 17);  // 255 at the switch, then 16 steps of 16
}

TEST(WindowPainter, AlternatingViewsCrossFadeAtEachSwitch) {
  PaintHarness h;
  ComposeStationReport(h);
  const auto& station = h.layer().record().stationMarkers.at(0);
  const COLORREF areaPixel = h.PagePixel(AreaPage, station.x, station.y);
  const COLORREF stationPixel = h.PagePixel(StationPage, station.x, station.y);
  ASSERT_NE(areaPixel, stationPixel);

  h.PaintAt(5);
  EXPECT_EQ(h.Shown(station.x, station.y), areaPixel);  // area view in s % 20 < 10
  h.PaintAt(9);
  h.PaintAt(10);  // the switch: the area view still covers the station view fully
  EXPECT_EQ(h.Shown(station.x, station.y), areaPixel);
  for (int i = 0; i < 16; ++i)
    h.PaintAt(10);
  EXPECT_EQ(h.Shown(station.x, station.y), stationPixel);

  h.ShindoMap = -1;  // the same turns, starting with the station view
  h.PaintAt(5);
  EXPECT_EQ(h.Shown(station.x, station.y), stationPixel);
  h.ShindoMap = 1;
  h.PaintAt(15);
  EXPECT_EQ(h.Shown(station.x, station.y), areaPixel);
}

TEST(WindowPainter, PromptReportsAlwaysShowTheAreaPage) {
  PaintHarness h;
  ComposeStationReport(h);
  const auto& station = h.layer().record().stationMarkers.at(0);
  h.report().issueType = ScalePrompt;
  h.ShindoMap = 2;
  h.EpiBlink = 1;
  for (const int second : {9, 10, 15}) {
    h.PaintAt(second);
    EXPECT_EQ(h.painter.FadeAlpha(), 0);
    EXPECT_EQ(h.painter.BlinkAlpha(), 0);
    EXPECT_EQ(h.Shown(station.x, station.y), h.PagePixel(AreaPage, station.x, station.y));
  }
}

TEST(WindowPainter, PulseFadesTheEpicentreOutOfItsRectangleOnly) {
  PaintHarness h;
  h.EpiFront = 1;
  h.EpiBlink = 1;
  h.SpeedDraw = 5;
  h.report().issueType = Destination;
  h.report().latitude = 35.7;
  h.report().longitude = 139.7;
  h.Compose();
  const Rect r = h.layer().EpicentreRect();
  const int cx = (r.left + r.right) / 2;
  const int cy = (r.top + r.bottom) / 2;
  h.PaintAt(0);  // s % 5 < 2: the epicentre-free copy is laid over fully
  EXPECT_EQ(h.Shown(cx, cy), test::kJapanMapColour);
  h.PaintAt(3);
  EXPECT_EQ(h.Shown(cx, cy), test::kEpicentreColour);

  // An empty rectangle pulses nothing.
  PaintHarness empty;
  empty.EpiFront = 1;
  empty.EpiBlink = 1;
  empty.report().issueType = Destination;
  empty.PaintAt(0);
  EXPECT_EQ(empty.layer().EpicentreRect(), Rect{});
  EXPECT_EQ(empty.Shown(960, 540), empty.PagePixel(AreaPage, 960, 540));
}

TEST(WindowPainter, AspectChoosesThePartOfTheDisplayPage) {
  PaintHarness h;
  const std::pair<int, Rect> cases[] = {
      {0, {7680, 0, 9600, 1080}}, {1, {7920, 0, 9360, 1080}}, {2, {7776, 0, 9504, 1080}}};
  for (const auto& [aspect, source] : cases) {
    h.Aspect = aspect;
    const PaintSource frame = h.PaintAt(0);
    EXPECT_EQ(frame.source, source);
    EXPECT_EQ(frame.surface, &h.canvas());
  }
  PaintState minimized = h.State();
  minimized.minimized = true;
  const PaintResult iconic = h.painter.OnPaint(minimized);
  EXPECT_TRUE(iconic.frame.iconic);
  EXPECT_FALSE(iconic.painted);
}

// The picture says where its data came from unless it shows a live feed that answers: the
// label's lines lie inside what the window shows, on a shade.
TEST(WindowPainter, LabelsSayWhereThePictureCameFrom) {
  struct Case {
    const char* name;
    FeedState feed;
    std::vector<std::u16string> lines;
  };
  FeedState waiting;
  FeedState demo = LiveFeed();
  demo.shown = ReportSource::kDemo;
  demo.stale = true;  // a demo picture says so whatever the feed does
  FeedState sandbox = LiveFeed();
  sandbox.shown = ReportSource::kSandbox;
  FeedState lastKnown = LiveFeed();
  lastKnown.shown = ReportSource::kLastKnown;
  lastKnown.shownReceived = MakeLocalTime(2026, 12, 7, 9, 5, 0);
  FeedState stale = LiveFeed();
  stale.stale = true;
  stale.lastSuccess = MakeLocalTime(2026, 12, 8, 11, 58, 7);
  FeedState staleLastKnown = lastKnown;
  staleLastKnown.stale = true;
  const Case cases[] = {
      {"waiting", waiting, {u"受信待ち"}},
      {"demo", demo, {u"デモ表示 DEMO"}},
      {"sandbox", sandbox, {u"SandBox"}},
      {"last known", lastKnown, {u"前回の受信", u"12/07 09:05"}},
      {"stale", stale, {u"接続できません", u"最終受信 11:58:07"}},
      {"stale last known", staleLastKnown, {u"接続できません", u"前回の受信", u"12/07 09:05"}},
  };
  for (const Case& c : cases) {
    for (const int aspect : {0, 1, 2}) {
      SCOPED_TRACE(testing::Message() << c.name << " aspect " << aspect);
      PaintHarness h;
      h.feed = c.feed;
      h.Aspect = aspect;
      h.report().issueType = Other;  // the map of Japan, no markers
      h.Compose();
      const PaintSource frame = h.PaintAt(0);
      ASSERT_GE(h.text.draws.size(), c.lines.size());
      const auto first = h.text.draws.end() - static_cast<std::ptrdiff_t>(c.lines.size());
      std::vector<std::u16string> drawn;
      for (auto call = first; call != h.text.draws.end(); ++call) {
        drawn.push_back(call->text);
        EXPECT_GE(call->rect.left, frame.source.left);
        EXPECT_LE(call->rect.right, frame.source.right);
        EXPECT_GE(call->rect.bottom - call->rect.top, 40);  // readable at a third of the size
      }
      EXPECT_EQ(drawn, c.lines);
      // The label is shaded: darker than the map around it.
      const Rect label = first->rect;
      const int x = (label.left + label.right) / 2 - PageX(DisplayPage);
      EXPECT_NE(h.Shown(x, label.top + 1), h.PagePixel(AreaPage, x, label.top + 1));
    }
  }
  PaintHarness live;
  live.PaintAt(0);
  EXPECT_TRUE(live.text.draws.empty());
}

TEST(WindowPainter, TickerRunsOnlyWhereTheThemeShowsIt) {
  struct Case {
    int visible;
    int type;
    bool drawn;
  };
  for (const Case& c : {Case{1, DetailScale, true}, Case{0, DetailScale, false},
                        Case{2, DetailScale, false}, Case{2, Foreign, true}}) {
    PaintHarness h;
    h.theme.text.InfoComment.visible = c.visible;
    h.report().issueType = c.type;
    h.report().commentText.Assign(u"テスト");
    h.report().commentLength = 3;
    h.PaintAt(0);
    const bool drew = !h.text.draws.empty() && h.text.draws.back().text == u"テスト";
    EXPECT_EQ(drew, c.drawn) << c.visible << " " << c.type;
  }
}

TEST(WindowPainter, DebugOverlayHidesTheHistoryWhileAFetchRuns) {
  for (const FetchStatusValue status : {FetchIdle, FetchRunning}) {
    PaintHarness h;
    h.Debug = 1;
    h.fetch.FetchStatus = status;
    h.PaintAt(0);
    ASSERT_EQ(h.text.draws.size(), status == FetchIdle ? 14u : 6u);
    const auto& flag = h.text.draws[h.text.draws.size() - 6];
    EXPECT_EQ(flag.text, status == FetchIdle ? u"Thread Flag ：0" : u"Thread Flag ：1");
    EXPECT_EQ(flag.rect.top, 830);
    EXPECT_EQ(flag.rect.left, 7690);
  }
}

TEST(WindowPainter, PaintsNotCausedByTheTickerAreCounted) {
  PaintHarness h;
  h.PaintAt(0);
  EXPECT_EQ(h.paintCount, 1);
  h.tickerMoved = 1;
  h.PaintAt(0);
  EXPECT_EQ(h.paintCount, 1);
  EXPECT_EQ(h.tickerMoved, 0);
}

TEST(WindowPainter, PacingWaitsForTheFramePhaseButNeverForEver) {
  struct Case {
    int sub;
    bool stuck;
    int waits;
    int waited;
  };
  for (const Case& c : {Case{0, false, 0, 0}, Case{23, false, 0, 0}, Case{5, false, 1, 18},
                        Case{22, false, 1, 1}, Case{5, true, 25, 25 * 18}}) {
    PaintHarness h;
    h.phase.sub = c.sub;
    h.phase.stuck = c.stuck;
    h.PaintAt(0);
    EXPECT_EQ(h.phase.waits, c.waits) << c.sub;
    EXPECT_EQ(h.phase.waited, c.waited) << c.sub;
  }
}

}  // namespace
}  // namespace hw

namespace hw {
namespace {

// A detailed report with a comment running in the ticker, the pulse on and the demo label.
void ComposeTickerReport(PaintHarness& h) {
  h.EpiFront = 1;
  h.EpiBlink = 1;
  h.feed.shown = ReportSource::kDemo;
  h.theme.text.InfoComment.visible = 1;
  LatestReport& r = h.report();
  r.issueType = DetailScale;
  r.latitude = 35.7;
  r.longitude = 139.7;
  r.commentText.Assign(u"この地震による津波の心配はありません。");
  r.commentLength = static_cast<int>(r.commentText.Size());
  h.Compose();
}

TEST(WindowPainterDamage, OnlyWhatChangedIsAssembledAgain) {
  PaintHarness h;
  ComposeTickerReport(h);
  h.PaintAt(2);
  EXPECT_EQ(h.PendingDamage(), Rect{});  // same second, same ticker: nothing to do
  EXPECT_TRUE(h.PaintAt(2).damage.right <= h.PaintAt(2).damage.left);

  h.tickerOffset = 40;
  const TextElement& box = h.theme.text.InfoComment;
  const Rect ticker{box.rcLeft, box.rcTop, box.rcRight + 1, box.rcBottom + 1};
  EXPECT_EQ(h.PendingDamage(), ticker);
  const PaintSource frame = h.PaintAt(2);
  EXPECT_EQ(frame.damage,
            (Rect{ticker.left + 7680, ticker.top, ticker.right + 7680, ticker.bottom}));

  h.now.tm_sec = 3;  // a new second may start a slot or move the pulse: the whole page
  EXPECT_EQ(h.PendingDamage(), (Rect{0, 0, 1920, 1080}));
  h.Aspect = 1;
  EXPECT_EQ(h.PendingDamage(), (Rect{0, 0, 1920, 1080}));
}

// Paints that assemble only the ticker's box and the pulse's rectangle leave the display page
// exactly as a full assembly of the same moment would.
TEST(WindowPainterDamage, PartialPaintsEqualAFullAssembly) {
  PaintHarness partial;
  PaintHarness full;
  for (PaintHarness* h : {&partial, &full}) {
    ComposeTickerReport(*h);
    for (int i = 0; i < 40; ++i)
      h->PaintAt(0);  // the pulse settles at fully on
    // Seconds 1: only the ticker moves; 3: the pulse fades too.
    for (const int second : {1, 1, 1, 3, 3, 3}) {
      h->tickerOffset += 7;
      if (h == &full) h->Compose();  // new pages: the next paint assembles everything
      const PaintSource frame = h->PaintAt(second);
      EXPECT_EQ(frame.damage.Width() < 1000, h == &partial);
    }
  }
  for (int y = 0; y < kPageHeight; ++y) {
    for (int x = 0; x < kPageWidth; ++x) {
      ASSERT_EQ(partial.Shown(x, y), full.Shown(x, y)) << x << "," << y;
    }
  }
}

// Painting at the window's size gives what stretching the page-size picture to the window
// gives, up to a rounding step per channel, through fades, pulses, ticker moves and labels, at
// sizes below, near and above the page's; and a window of the page's own size is shown in
// place.
TEST(WindowPainterScaled, AtWindowSizeEqualsTheStretchedPage) {
  for (const Size window : {Size{640, 360}, Size{1918, 1055}, Size{2560, 1440}}) {
    SCOPED_TRACE(testing::Message() << window.width << "x" << window.height);
    PaintHarness page;
    PaintHarness scaled;
    scaled.window = window;
    Surface stretched(window.width, window.height);
    int worst = 0;
    for (PaintHarness* h : {&page, &scaled}) {
      h->text.paint = true;  // the ticker and the label leave pixels
      // A station marker that only the station page shows, so that the views' fade is seen.
      h->AddStation(u"東京千代田区", 35.0, 140.3);
      h->AddPlace(u"東京", 72);
      h->report().pointCount = 1;
      h->report().points[0].addr.Assign(u"東京千代田区");
      h->report().points[0].scale = 30;
      ComposeTickerReport(*h);
      h->PaintAt(8);
    }
    for (const int second : {9, 10, 10, 11, 12, 12, 13}) {
      for (PaintHarness* h : {&page, &scaled})
        h->tickerOffset += 13;
      const PaintSource paged = page.PaintAt(second);
      const PaintSource frame = scaled.PaintAt(second);
      ASSERT_EQ(frame.source, (Rect{0, 0, window.width, window.height}));
      StretchBlt(stretched, 0, 0, window.width, window.height, *paged.surface, paged.source.left,
                 paged.source.top, paged.source.Width(), paged.source.Height());
      for (int y = 0; y < window.height; ++y) {
        for (int x = 0; x < window.width; ++x) {
          const COLORREF a = stretched.GetPixel(x, y);
          const COLORREF b = frame.surface->GetPixel(x, y);
          for (int shift : {0, 8, 16}) {
            const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                   static_cast<int>((b >> shift) & 0xFF));
            worst = std::max(worst, d);
          }
        }
      }
    }
    EXPECT_LE(worst, 1);
  }
  PaintHarness native;
  native.window = Size{kPageWidth, kPageHeight};
  EXPECT_EQ(native.PaintAt(0).surface, &native.canvas());
}

// The outputs of the picture read it at the page's size whatever the window's size is: after
// paints at the window's size through fades, ticker moves and the label, the page picture is
// the one a window of the page's size shows, pixel for pixel, and its count grows with every
// paint that changed it.
TEST(WindowPainterScaled, PictureAtPageSizeIsTheWindowsPictureOfThePage) {
  PaintHarness page;
  PaintHarness scaled;
  scaled.window = Size{960, 540};
  for (PaintHarness* h : {&page, &scaled}) {
    h->text.paint = true;
    h->feed.shown = ReportSource::kDemo;  // a label on the picture
    ComposeTickerReport(*h);
  }
  std::uint64_t serial = 0;
  for (const int second : {8, 9, 10, 10, 11}) {
    SCOPED_TRACE(second);
    for (PaintHarness* h : {&page, &scaled}) {
      h->tickerOffset += 13;
      h->PaintAt(second);
    }
    const WindowPainter::PagePicture picture = scaled.painter.PictureAtPageSize();
    ASSERT_NE(picture.canvas, nullptr);
    EXPECT_GT(picture.serial, serial);
    serial = picture.serial;
    const Rect& r = picture.source;
    ASSERT_EQ(r.Width(), kPageWidth);
    int differing = 0;
    for (int y = 0; y < kPageHeight; ++y) {
      for (int x = 0; x < kPageWidth; ++x) {
        differing += picture.canvas->GetPixel(r.left + x, r.top + y) != page.Shown(x, y);
      }
    }
    EXPECT_EQ(differing, 0);
  }
}

}  // namespace
}  // namespace hw
