#pragma once

#include <ctime>
#include <memory>
#include <optional>

#include "acquisition/report_model.h"
#include "acquisition/report_reader.h"
#include "acquisition/report_source.h"
#include "display/compose_inputs.h"
#include "display/feed_state.h"
#include "display/font_table.h"
#include "display/frame_composer.h"
#include "display/layer_surfaces.h"
#include "display/window_painter.h"
#include "eventlog/event_log_writer.h"
#include "platform/text_renderer.h"
#include "platform/window_host.h"
#include "refdata/reference_tables.h"
#include "settings/app_settings.h"
#include "settings/theme_layout.h"

namespace hw {

// What a display is built from: the text renderer, the event log its compositions write to,
// and the window it asks to repaint.
struct DisplayServices {
  TextRenderer& text;
  EventLogWriter& log;
  RepaintTarget& window;
};

// The picture of the program, owned whole: the shown report store, the theme layout, the
// reference tables, the surfaces and fonts, the composer with its map layer and the painter.
// It is fed by values: a report store to take over, a settings snapshot, the state of one
// paint. The window, the headless tool, the benchmarks and the tests each own one; start-up
// (see shell/display_startup.h) fills its theme, fonts, reference data, surfaces and pictures.
class Display {
 public:
  explicit Display(DisplayServices services);
  ~Display() = default;
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Start-up fills these before the first composition: the theme's layout, the reference
  // tables and, through the theme's pictures, the sprite surfaces.
  ThemeLayout& theme() { return theme_; }
  const ThemeLayout& theme() const { return theme_; }
  ReferenceTables& reference() { return *reference_; }
  const ReferenceTables& reference() const { return *reference_; }
  LayerSurfaces& surfaces() { return surfaces_; }
  // The fonts of the theme layout; once.
  void CreateFonts();
  void CreateSurfaces() { surfaces_.CreateWorkingSurfaces(); }
  void ReleaseSurfaces() { surfaces_.ReleaseAll(); }

  // The settings the picture reads, as they are now. A change of the overlay settings composes
  // the picture again at once, since they change the pages, not only the paint.
  void UseSettings(const PictureSettings& settings);
  const PictureSettings& settings() const { return settings_; }

  // The picture before any report: the empty boxes over the whole map of Japan.
  void ComposeWaiting();
  // The one take-over of a new report list: the stores are copied, the points sorted and the
  // picture composed; its label says it came from `source`, received at `received`.
  void TakeOver(const ReportStore& fetched, ReportSource source, const std::tm& received);
  // Composes the shown store again as it stands (after tests or benchmarks changed it).
  void Compose();
  // The tsunami forecast to show; its panel is drawn over the report's picture while one is.
  void TakeOverTsunami(const TsunamiState& state) { composer_.ComposeTsunami(state); }
  // The early warning to show instead of the report's picture, or none (the picture comes
  // back as it was).
  void TakeOverEarlyWarning(const std::optional<EarlyWarning>& warning);

  PaintResult Paint(const PaintState& state, FramePhase* pacing = nullptr) {
    return painter_.OnPaint(state, pacing);
  }
  WindowPainter::Repaint PendingRepaint(const PaintState& state) const {
    return painter_.PendingRepaint(state);
  }

  // What is shown.
  const ReportStore& shown() const { return *shown_; }
  // The shown store, for tests and benchmarks that prepare a report before Compose().
  ReportStore& shownForTest() { return *shown_; }
  // Where the shown report came from; its `stale` and `lastSuccess` are never set here.
  const FeedState& origin() const { return origin_; }
  // The tsunami forecast and the early warning shown, as values (for the outputs and the tray).
  const TsunamiState& tsunami() const { return composer_.tsunamiPanel().state(); }
  const std::optional<EarlyWarning>& earlyWarning() const { return earlyWarning_; }
  const LayerSurfaces& surfaces() const { return surfaces_; }
  const Surface& canvas() const { return surfaces_[CanvasSurface].surface; }
  const FontTable& fonts() const { return fonts_; }
  const MapLayer& mapLayer() const { return composer_.mapLayer(); }
  // The next composition decodes its map even for the last view (benchmarks of the worst case).
  void ForgetKeptMap() { composer_.mapLayer().ForgetKeptMap(); }
  const FrameComposer& composer() const { return composer_; }
  const WindowPainter& painter() const { return painter_; }
  WindowPainter& painter() { return painter_; }

 private:
  DisplayServices services_;
  std::unique_ptr<ReportStore> shown_ = std::make_unique<ReportStore>();
  ThemeLayout theme_;
  std::unique_ptr<ReferenceTables> reference_ = std::make_unique<ReferenceTables>();
  LayerSurfaces surfaces_;
  FontTable fonts_{};
  PictureSettings settings_;
  FeedState origin_;
  std::optional<EarlyWarning> earlyWarning_;
  // Whether a picture was composed yet, and whether it was the one before any report.
  bool composed_ = false;
  bool waitingShown_ = false;
  FrameComposer composer_;
  WindowPainter painter_;
};

// The picture's settings as the settings file holds them.
PictureSettings PictureSettingsOf(const AppSettings& settings);

// How the report reader writes times for the theme's fonts (a leading zero or a blank).
TimePaddings TimePaddingsOf(const ThemeLayout& theme);

// Where the ticker stands after a new report: off to the right by [Config] SpeedScroll.
inline int TickerStartOffset(int speedScroll) {
  return speedScroll * -70;
}

}  // namespace hw
