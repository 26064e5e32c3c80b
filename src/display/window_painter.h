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
  PictureSettings settings;
  const FetchShared& fetch;
  const FeedState& feed;
  const MapLayer& mapLayer;
  const std::uint64_t& compositions;
};

// The main loop's counters that painting reads, and the two it updates.
struct PaintCounters {
  const std::tm& NowTime;
  const int& TickerOffset;
  int& TickerMoved;
  int& PaintCount;
  const int& FetchPhase;
  const FetchStatusValue& LastFetchStatus;
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
  WindowPainter(PaintInputs inputs, PaintCounters counters, FramePhase& phase)
      : in_(inputs), counters_(counters), phase_(phase) {}

  // What the window shows; `damage` is empty when the paint changed nothing.
  PaintSource OnPaint(bool minimized);

  // The part of the display page (page coordinates) the next paint would change if it came
  // now; empty when it would change nothing. A paint is also due once a second while the view
  // alternates, so that the ten-second slots are followed.
  Rect PendingDamage() const;
  // The same on the canvas, with the rectangle of the canvas the window shows.
  struct Repaint {
    Rect damage;
    Rect source;
  };
  Repaint PendingRepaint() const;

  int FadeAlpha() const { return fadeAlpha_; }
  int BlinkAlpha() const { return blinkAlpha_; }

  // The box of the label in page coordinates, in the top right corner of the part of the page
  // the window shows with [Config] Aspect; empty when there is no label.
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
    bool operator==(const FrameKey&) const = default;
  };
  struct Alphas {
    int fade = 0;
    int blink = 0;
    int prevSecondMod10 = 0;
  };

  bool Animated() const;
  Alphas NextAlphas(int second) const;
  FrameKey KeyFor(int second, const Alphas& alphas) const;
  bool TickerShown() const;
  Rect TickerBox() const;
  Rect DamageSince(const FrameKey& key) const;
  void Assemble(const FrameKey& key, const Rect& damage);
  void DrawTicker(const FrameKey& key);
  void DrawLabel(const PictureLabel& label, const Rect& box);
  void PaceFrame();
  void DrawDebugOverlay();

  PaintInputs in_;
  PaintCounters counters_;
  FramePhase& phase_;
  int fadeAlpha_ = 0;
  int blinkAlpha_ = 0;
  int prevSecondMod10_ = 0;
  std::optional<FrameKey> shown_;  // what the display page holds
  // What the ticker strip holds, so that an unchanged comment is not drawn again.
  std::u16string tickerText_;
  FontId tickerFont_ = kNoFont;
  COLORREF tickerColour_ = 0;
  bool tickerDrawn_ = false;
  // The last label measured and its box, so that a label is measured once.
  mutable PictureLabel measuredLabel_;
  mutable int measuredAspect_ = -1;
  mutable Rect measuredBox_;
};

}  // namespace hw
