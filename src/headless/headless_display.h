#pragma once

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/fetch_status.h"
#include "display/display.h"
#include "platform/qt/qt_text_renderer.h"
#include "platform/work_folder_layout.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"

namespace hw {

// The program's display without a window, over a working folder: it runs the window's
// start-up (settings, theme, fonts, reference files, pictures) and owns a Display fed the way
// the main loop feeds it. Each body handed to Fetch goes through the reader and the one
// take-over, as a fetch does. For the headless tool, the benchmarks and the picture tests; it
// needs a Qt application object (HeadlessGui).
class HeadlessDisplay final : private EventLogWriter, private RepaintTarget {
 public:
  // Nullptr and a one-line reason when the theme's required pictures cannot be loaded. With
  // `layout` the theme's pictures are composed with that layout instead of its layout file's.
  static std::unique_ptr<HeadlessDisplay> Open(const WorkFolderLayout& folder, std::string& error,
                                               const ThemeLayout* layout = nullptr);

  // One fetch of `body`; true when it held a new report and was composed. The picture's label
  // says it came from the source set here: by default the demo when the working folder's
  // settings choose it, else the live service.
  bool Fetch(std::string_view body);
  void SetSource(ReportSource source) { source_ = source; }
  // Whether the feed is shown as stale, and the time of its last list, for the next paints.
  void SetFeedHealth(bool stale, std::optional<std::tm> lastSuccess);
  // A paint at second `second` of the minute.
  PaintSource Paint(int second);
  // Moves the ticker as frame ticks do, or sets where it stands.
  void MoveTicker(int pixels) { state_.TickerOffset += pixels; }
  void SetTickerOffset(int offset) { state_.TickerOffset = offset; }
  // Composes the shown store again, after a test or benchmark prepared it.
  void Compose();

  // What the last composition handed to the event log.
  const std::vector<std::u16string>& logLines() const { return logLines_; }
  Display& display() { return *display_; }
  const Surface& canvas() const { return display_->canvas(); }
  const LayerSurfaces& surfaces() const { return display_->surfaces(); }
  const LatestReport& latest() const { return display_->shown().latest; }
  AppSettings& settings() { return settings_; }
  ThemeLayout& theme() { return display_->theme(); }
  const FrameComposer& composer() const { return display_->composer(); }
  const WindowPainter& painter() const { return display_->painter(); }
  // The report store a test or benchmark may prepare directly before Compose().
  ReportStore& shown() { return display_->shownForTest(); }

 private:
  HeadlessDisplay() = default;

  void WriteEventLog(std::u16string_view text) override { logLines_.emplace_back(text); }
  void InvalidateRect() override {}

  AppSettings settings_;
  ThemeList themes_;
  QtTextRenderer text_;
  std::unique_ptr<Display> display_;
  std::unique_ptr<ReportStore> fetched_ = std::make_unique<ReportStore>();
  FetchShared fetch_;
  ReportSource source_ = ReportSource::kLive;
  PaintState state_;
  TimePaddings paddings_;
  std::vector<std::u16string> logLines_;
};

}  // namespace hw
