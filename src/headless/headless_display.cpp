#include "headless/headless_display.h"

#include "acquisition/report_body.h"
#include "display/theme_assets.h"
#include "platform/clock.h"
#include "platform/profile_file.h"
#include "platform/qt/qt_picture_decoder.h"
#include "refdata/initial_value.h"
#include "refdata/theme_catalogue.h"

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

}  // namespace

std::unique_ptr<HeadlessDisplay> HeadlessDisplay::Open(const WorkFolderLayout& folder,
                                                       std::string& error,
                                                       const ThemeLayout* layout) {
  std::unique_ptr<HeadlessDisplay> d(new HeadlessDisplay(folder));
  const ProfileFile settingsFile = ProfileFile::Load(folder.SettingsFile());
  AppSettings& settings = d->settings_;
  ReadThemeName(settingsFile, settings);
  settings.Name = SelectTheme(folder, settings.Name, d->themes_);
  if (layout != nullptr) {
    d->theme_ = *layout;
  } else {
    LoadThemeLayout(folder.ThemeLayoutFile(settings.Name), d->theme_);
  }
  ReadAppSettings(settingsFile, settings);
  const FontSpecs specs = FontSpecsFor(d->theme_);
  for (std::size_t i = 0; i < specs.size(); ++i)
    d->fonts_[i] = d->text_.CreateFont(specs[i]);
  ReloadReferenceData(*d->reference_, d->themes_, folder);
  d->surfaces_.CreateWorkingSurfaces();
  QtPictureDecoder decoder;
  HeadlessDisplay& self = *d;
  ThemeAssets assets(
      d->surfaces_, [&self] { return self.folder_.ThemeFolder(self.settings_.Name); }, decoder,
      d->text_);
  if (const ThemeAssetResult code = assets.LoadThemeAssets(); code != ThemeAssetResult::kLoaded) {
    error = ThemeFailure(code);
    return nullptr;
  }

  d->pictureSettings_ = std::make_unique<PictureSettings>(
      PictureSettings{settings.EpiFront, settings.EpiBlink, settings.ShindoMap, settings.SpeedDraw,
                      settings.Aspect, settings.Debug});
  d->source_ = settings.Demo != 0 ? ReportSource::kDemo : ReportSource::kLive;
  // The display itself stands in for the event log, the window and the frame timer.
  EventLogWriter& log = self;
  RepaintTarget& window = self;
  FramePhase& phase = self;
  d->composer_ = std::make_unique<FrameComposer>(
      ComposeInputs{*d->shown_, d->theme_, *d->reference_, d->surfaces_, d->fonts_, d->text_,
                    *d->pictureSettings_, log},
      window);
  d->now_ = SystemClock().LocalNow();
  d->painter_ = std::make_unique<WindowPainter>(
      PaintInputs{d->surfaces_, *d->shown_, d->theme_, d->fonts_, d->text_, *d->pictureSettings_,
                  d->fetch_, d->feed_, d->composer_->mapLayer(), d->composer_->compositions()},
      PaintCounters{d->now_, d->tickerOffset_, d->tickerMoved_, d->paintCount_, d->fetchPhase_,
                    d->lastStatus_},
      phase);
  return d;
}

bool HeadlessDisplay::Fetch(std::string_view body) {
  const TimePaddings paddings{theme_.style.EventTime.fontPadding,
                              theme_.style.HisEvTime.fontPadding,
                              theme_.style.ReportTime.fontPadding};
  lastStatus_ = ReadReportBody(body, *fetched_, fetch_.NewestId, fetch_.LastShownId, paddings);
  if (lastStatus_ != FetchDone) return false;
  *shown_ = *fetched_;
  fetch_.LastShownId = fetch_.NewestId;
  SortObservationPoints(shown_->latest);
  Compose();
  feed_.shown = source_;
  tickerOffset_ = settings_.SpeedScroll * -70;
  return true;
}

void HeadlessDisplay::Compose() {
  logLines_.clear();
  composer_->ComposeFrame();
}

PaintSource HeadlessDisplay::Paint(int second) {
  now_.tm_sec = second;
  return painter_->OnPaint(false);
}

}  // namespace hw
