#pragma once

#include <ctime>
#include <string>

#include "acquisition/fetch_status.h"
#include "acquisition/report_model.h"
#include "display/compose_inputs.h"
#include "display/map_layer.h"
#include "platform/geometry.h"

namespace hw {

class Surface;

// What painting reads besides the composed pages.
struct PaintInputs {
  LayerSurfaces& surfaces;
  const ReportStore& reports;
  const ThemeLayout& theme;
  const FontTable& fonts;
  TextRenderer& text;
  PictureSettings settings;
  const FetchShared& fetch;
  const MapLayer& mapLayer;
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
  virtual void WaitOneMillisecond() = 0;
};

// What a paint shows: the window's whole client area is `source` of `surface`, stretched; or,
// while the window is minimised, the application icon.
struct PaintedFrame {
  const Surface* surface = nullptr;
  Rect source;
  bool iconic = false;
};

// Turns the prepared pages into the picture of the window: assembles the display page from
// the area and station pages with the cross-fade and the epicentre pulse, lays the ticker and
// the debug overlay over it and paces the frame.
class WindowPainter {
 public:
  WindowPainter(PaintInputs inputs, PaintCounters counters, FramePhase& phase)
      : in_(inputs), counters_(counters), phase_(phase) {}

  PaintedFrame OnPaint(bool minimized);

  int FadeAlpha() const { return fadeAlpha_; }
  int BlinkAlpha() const { return blinkAlpha_; }

 private:
  void UpdateAlphas(int second, bool animated);
  void AssembleDisplayPage(int second, bool animated);
  void DrawTicker();
  void PaceFrame();
  void DrawDebugOverlay();

  PaintInputs in_;
  PaintCounters counters_;
  FramePhase& phase_;
  int fadeAlpha_ = 0;
  int blinkAlpha_ = 0;
  int prevSecondMod10_ = 0;
  // What the ticker strip holds, so that an unchanged comment is not drawn again.
  std::u16string tickerText_;
  FontId tickerFont_ = kNoFont;
  COLORREF tickerColour_ = 0;
  bool tickerDrawn_ = false;
};

}  // namespace hw
