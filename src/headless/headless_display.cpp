#include "headless/headless_display.h"

#include "acquisition/report_body.h"
#include "display/theme_assets.h"
#include "platform/clock.h"
#include "platform/qt/qt_picture_decoder.h"
#include "refdata/reference_data_service.h"
#include "shell/display_startup.h"

namespace hw {
namespace {

std::string ThemeFailure(ThemeAssetResult code) {
  switch (code) {
    case ThemeAssetResult::kMaxIntensityMissing:
      return "the theme's Intensity\\MaxIntensity.bmp cannot be read";
    case ThemeAssetResult::kJpMap1Missing:
      return "the theme's map jp_map1 cannot be read";
    case ThemeAssetResult::kJpMap2Missing:
      return "the theme's map jp_map2 cannot be read";
    case ThemeAssetResult::kWorldMapMissing:
      return "the theme's map world_map cannot be read";
    case ThemeAssetResult::kLoaded:
      break;
  }
  return {};
}

// The work area the window's default position is computed for.
constexpr Rect kWorkArea{0, 0, 1920, 1080};

}  // namespace

std::unique_ptr<HeadlessDisplay> HeadlessDisplay::Open(const WorkFolderLayout& folder,
                                                       std::string& error,
                                                       const ThemeLayout* layout) {
  std::unique_ptr<HeadlessDisplay> d(new HeadlessDisplay());
  // The display itself stands in for the event log and the window.
  EventLogWriter& log = *d;
  RepaintTarget& window = *d;
  d->display_ = std::make_unique<Display>(DisplayServices{d->text_, log, window});
  Display& display = *d->display_;
  ReadStartupSettings(folder, kWorkArea, d->settings_, display.theme(), d->themes_);
  if (layout != nullptr) display.theme() = *layout;
  d->paddings_ = TimePaddingsOf(display.theme());
  d->source_ = d->settings_.Demo != 0 ? ReportSource::kDemo : ReportSource::kLive;

  FolderReferenceData references(display.reference(), d->themes_, folder);
  QtPictureDecoder decoder;
  const ThemeFiles files = folder.Theme(d->settings_.Name);
  ThemeAssets assets(
      display.surfaces(), [&files] { return files; }, decoder, d->text_);
  if (const ThemeAssetResult code = PrepareDisplay(display, references, assets);
      code != ThemeAssetResult::kLoaded) {
    error = ThemeFailure(code);
    return nullptr;
  }
  d->state_.NowTime = SystemClock().LocalNow();
  return d;
}

bool HeadlessDisplay::Fetch(std::string_view body) {
  state_.LastFetchStatus =
      ReadReportBody(body, *fetched_, fetch_.NewestId, fetch_.LastShownId, paddings_);
  if (state_.LastFetchStatus != FetchDone) return false;
  logLines_.clear();
  display_->UseSettings(PictureSettingsOf(settings_));
  display_->TakeOver(*fetched_, source_, state_.NowTime);
  fetch_.LastShownId = fetch_.NewestId;
  state_.TickerOffset = TickerStartOffset(settings_.SpeedScroll);
  return true;
}

void HeadlessDisplay::SetFeedHealth(bool stale, std::optional<std::tm> lastSuccess) {
  state_.feedStale = stale;
  state_.lastSuccess = lastSuccess;
}

void HeadlessDisplay::Compose() {
  logLines_.clear();
  display_->UseSettings(PictureSettingsOf(settings_));
  display_->Compose();
}

PaintSource HeadlessDisplay::Paint(int second) {
  state_.NowTime.tm_sec = second;
  display_->UseSettings(PictureSettingsOf(settings_));
  return display_->Paint(state_).frame;
}

}  // namespace hw
