#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "acquisition/fetch_status.h"
#include "acquisition/report_model.h"
#include "display/compose_inputs.h"
#include "display/feed_state.h"
#include "display/map_layer.h"
#include "display/scaled_window.h"
#include "platform/geometry.h"
#include "platform/window_host.h"

namespace hw {

class Surface;

// What painting reads besides the composed pages. `compositions` counts the compositions, so
// that painting knows when the pages changed.
struct PaintInputs {
  LayerSurfaces& surfaces;
  const ReportStore& reports;
  const ThemeLayout& theme;
  const FontTable& fonts;
  TextRenderer& text;
  const PictureSettings& settings;
  const FeedState& origin;  // where the shown report came from (the health comes per paint)
  const MapLayer& mapLayer;
  const std::uint64_t& compositions;
  // A page shown instead of the report's pages (the early warning's), or null.
  const Surface* const& cover;
};

// The fetch worker's status word and counters at the time of a paint, for the debug overlay.
struct FetchSnapshot {
  FetchStatusValue status = FetchIdle;
  int count = 0;
  int netErrorStage = 0;
  int lastNetError = 0;
};
FetchSnapshot SnapshotOf(const FetchShared& fetch);

// What the main loop hands one paint, as values: the time, the ticker, the fetch counters the
// debug overlay shows and the health of the feed the label tells.
struct PaintState {
  std::tm NowTime{};
  int TickerOffset = 0;
  // The paint was asked for by the ticker: the loop does not count it.
  bool TickerMoved = false;
  int FetchPhase = 0;
  FetchStatusValue LastFetchStatus = FetchIdle;
  FetchSnapshot fetch;
  bool feedStale = false;
  std::optional<std::tm> lastSuccess;
  bool minimized = false;
  // The window's pixels; the picture is made at this size. Empty: the part of the page as it
  // is (the headless tools, the tests of the page).
  Size window;
};

// What a paint hands back to the loop: the picture to show, and whether it counts as a paint
// (one the ticker did not ask for). A minimised window paints nothing and changes nothing.
struct PaintResult {
  PaintSource frame;
  bool painted = false;
  bool counted = false;
};

// The phase of the frame timer: painting waits until it has passed a point of the frame, so
// that frames are shown at an even pace.
class FramePhase {
 public:
  virtual ~FramePhase() = default;
  // Timer periods since the last frame tick.
  virtual int FrameSubCount() = 0;
  virtual void Wait(int milliseconds) = 0;
};

// Turns the prepared pages into the picture of the window: assembles the display page from
// the area and station pages with the cross-fade and the epicentre pulse, lays the ticker, the
// label that says where the data came from and the debug overlay over it and paces the frame.
//
// Only what changes is assembled again: a paint whose picture equals the last one's leaves the
// display page alone, and one where only the ticker moved assembles the ticker's box. The
// display page is therefore the same picture, pixel for pixel, as a full assembly would give.
class WindowPainter {
 public:
  explicit WindowPainter(PaintInputs inputs) : in_(inputs) {}

  // What the window shows; `damage` is empty when the paint changed nothing. With `pacing` the
  // paint waits for the frame timer's phase.
  PaintResult OnPaint(const PaintState& state, FramePhase* pacing = nullptr);

  // The part of the display page (page coordinates) the next paint would change if it came
  // now; empty when it would change nothing. A paint is also due once a second while the view
  // alternates, so that the ten-second slots are followed.
  Rect PendingDamage(const PaintState& state) const;
  // The same on the canvas, with the rectangle of the canvas the window shows.
  struct Repaint {
    Rect damage;
    Rect source;
  };
  Repaint PendingRepaint(const PaintState& state) const;

  // The picture as the window shows it, at the page's size, for the outputs of the picture:
  // the part `source` of `canvas` (null before the first paint). A paint at the window's size
  // keeps only the parts it stretched on the display page, so the page is assembled whole here
  // first; that costs nothing the next paint relies on. `serial` counts the paints that changed
  // the picture.
  struct PagePicture {
    const Surface* canvas = nullptr;
    Rect source;
    std::uint64_t serial = 0;
  };
  PagePicture PictureAtPageSize();
  std::uint64_t PictureSerial() const { return pictureSerial_; }

  int FadeAlpha() const { return fadeAlpha_; }
  int BlinkAlpha() const { return blinkAlpha_; }

  // The label a paint with `state` shows, and its box in page coordinates, in the top right
  // corner of the part of the page the window shows with [Config] Aspect; empty when there is
  // no label.
  PictureLabel LabelOf(const PaintState& state) const;
  Rect LabelBox(const PictureLabel& label, int aspect) const;

 private:
  // Everything a display page is made from; two paints with equal keys show equal pictures.
  struct FrameKey {
    std::uint64_t compositions = 0;
    bool animated = false;
    int shownPage = 0;
    int otherPage = 0;
    int fadeAlpha = 0;
    bool pulse = false;
    bool pulseWholePage = false;
    int pulsePage = 0;
    int blinkAlpha = 0;
    Rect pulseRect;
    bool ticker = false;
    int tickerOffset = 0;
    // The label that says where the picture's data came from, when it is not a live feed that
    // answers.
    PictureLabel label;
    bool debug = false;
    int aspect = 0;
    bool cover = false;
    Size window;
    bool operator==(const FrameKey&) const = default;
  };
  struct Alphas {
    int fade = 0;
    int blink = 0;
    int prevSecondMod10 = 0;
  };

  bool Animated() const;
  Alphas NextAlphas(int second) const;
  FrameKey KeyFor(const PaintState& state, const Alphas& alphas) const;
  bool TickerShown() const;
  Rect TickerBox() const;
  Rect DamageSince(const FrameKey& key) const;
  void Assemble(const FrameKey& key, const Rect& damage);
  // The picture at the window's size: its part `windowRect` from the stretched pages, and the
  // ticker and the label, made at the page's size where `damage` (page coordinates) meets them
  // and stretched.
  void AssembleScaled(const FrameKey& key, const Rect& damage, const Rect& windowRect);
  void DrawTicker(const FrameKey& key);
  void DrawLabel(const PictureLabel& label, const Rect& box);
  static void PaceFrame(FramePhase& phase);
  void DrawDebugOverlay(const PaintState& state);

  PaintInputs in_;
  int fadeAlpha_ = 0;
  int blinkAlpha_ = 0;
  int prevSecondMod10_ = 0;
  std::optional<FrameKey> shown_;  // what the display page holds
  // Whether the display page holds the whole picture of `shown_` (false after a paint at the
  // window's size), and the count of paints that changed the picture.
  bool pageWhole_ = false;
  std::uint64_t pictureSerial_ = 0;
  // What the ticker strip holds, so that an unchanged comment is not drawn again.
  std::u16string tickerText_;
  FontId tickerFont_ = kNoFont;
  COLORREF tickerColour_ = 0;
  bool tickerDrawn_ = false;
  // The picture at the window's size, when the window is not of the page's size.
  ScaledWindow scaled_;
  // The last label measured and its box, so that a label is measured once.
  mutable PictureLabel measuredLabel_;
  mutable int measuredAspect_ = -1;
  mutable Rect measuredBox_;
};

}  // namespace hw
