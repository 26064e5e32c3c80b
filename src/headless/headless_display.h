#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/fetch_status.h"
#include "display/frame_composer.h"
#include "display/window_painter.h"
#include "platform/qt/qt_text_renderer.h"
#include "platform/work_folder_layout.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"

namespace hw {

// The program's display without a window, over a working folder: its settings, theme, fonts,
// reference files and pictures set up as start-up sets them up, a composer and a painter.
// Each body handed to Fetch goes through the reader, the take-over, the sort and the composer
// as a fetch does. For the headless tool, the benchmarks and the reference pictures; it needs
// a Qt application object (HeadlessGui).
class HeadlessDisplay final : private EventLogWriter, private RepaintTarget, private FramePhase {
 public:
  // Nullptr and a one-line reason when the theme's required pictures cannot be loaded. With
  // `layout` the theme's pictures are composed with that layout instead of its layout file's.
  static std::unique_ptr<HeadlessDisplay> Open(const WorkFolderLayout& folder, std::string& error,
                                               const ThemeLayout* layout = nullptr);

  // One fetch of `body`; true when it held a new report and was composed. The picture's label
  // says it came from `source`: by default the demo when the working folder's settings choose
  // it, else the live service.
  bool Fetch(std::string_view body);
  void SetSource(ReportSource source) { source_ = source; }
  FeedState& feed() { return feed_; }
  // A paint at second `second` of the minute.
  PaintSource Paint(int second);
  // Moves the ticker as frame ticks do, or sets where it stands.
  void MoveTicker(int pixels) { tickerOffset_ += pixels; }
  void SetTickerOffset(int offset) { tickerOffset_ = offset; }

  // What the last composition handed to the event log.
  const std::vector<std::u16string>& logLines() const { return logLines_; }
  const Surface& canvas() const { return surfaces_[CanvasSurface].surface; }
  const LayerSurfaces& surfaces() const { return surfaces_; }
  const LatestReport& latest() const { return shown_->latest; }
  AppSettings& settings() { return settings_; }
  ThemeLayout& theme() { return theme_; }
  FrameComposer& composer() { return *composer_; }
  WindowPainter& painter() { return *painter_; }
  // The report store a test or benchmark may prepare directly before Compose().
  ReportStore& shown() { return *shown_; }
  void Compose();

 private:
  explicit HeadlessDisplay(const WorkFolderLayout& folder) : folder_(folder) {}

  void WriteEventLog(std::u16string_view text) override { logLines_.emplace_back(text); }
  void InvalidateRect() override {}
  int FrameSubCount() override { return 0; }
  void Wait(int) override {}

  WorkFolderLayout folder_;
  AppSettings settings_;
  ThemeLayout theme_;
  ThemeList themes_;
  std::unique_ptr<ReferenceTables> reference_ = std::make_unique<ReferenceTables>();
  std::unique_ptr<ReportStore> fetched_ = std::make_unique<ReportStore>();
  std::unique_ptr<ReportStore> shown_ = std::make_unique<ReportStore>();
  FetchShared fetch_;
  FeedState feed_;
  ReportSource source_ = ReportSource::kLive;
  LayerSurfaces surfaces_;
  FontTable fonts_{};
  QtTextRenderer text_;
  std::vector<std::u16string> logLines_;
  std::tm now_{};
  int tickerOffset_ = 0;
  int tickerMoved_ = 0;
  int paintCount_ = 0;
  int fetchPhase_ = 0;
  FetchStatusValue lastStatus_ = FetchIdle;
  std::unique_ptr<PictureSettings> pictureSettings_;
  std::unique_ptr<FrameComposer> composer_;
  std::unique_ptr<WindowPainter> painter_;
};

}  // namespace hw
