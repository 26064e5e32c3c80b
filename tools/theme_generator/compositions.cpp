#include "compositions.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>

#include "acquisition/fetch_status.h"
#include "acquisition/fetch_worker.h"
#include "acquisition/report_body.h"
#include "display/frame_composer.h"
#include "display/theme_assets.h"
#include "display/window_painter.h"
#include "platform/blit.h"
#include "platform/file_system.h"
#include "platform/qt/qt_picture_decoder.h"
#include "platform/qt/qt_text_renderer.h"
#include "platform/text_codec.h"
#include "refdata/initial_value.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"

namespace hw::themegen {
namespace {

// The composer's event log lines are not needed here.
class NoLog final : public EventLogWriter {
 public:
  void WriteEventLog(std::u16string_view) override {}
};

// Pictures are taken without a frame timer.
class NoFramePhase final : public FramePhase {
 public:
  int FrameSubCount() override { return 0; }
  void Wait(int) override {}
};

class NoWindow final : public RepaintTarget {
 public:
  void InvalidateRect() override {}
};

Surface Cut(const Surface& canvas, const Rect& region) {
  Surface picture(region.Width(), region.Height());
  BitBlt(picture, 0, 0, region.Width(), region.Height(), canvas, region.left, region.top);
  return picture;
}

// Everything the composer and the painter work with, set up as the program's start-up does.
struct Session {
  explicit Session(const std::u16string& root) : folder(root) {}

  WorkFolderLayout folder;
  AppSettings settings;
  ThemeLayout theme;
  ThemeList themes;
  std::unique_ptr<ReferenceTables> reference = std::make_unique<ReferenceTables>();
  std::unique_ptr<ReportStore> fetched = std::make_unique<ReportStore>();
  std::unique_ptr<ReportStore> shown = std::make_unique<ReportStore>();
  FetchShared fetch;
  LayerSurfaces surfaces;
  FontTable fonts{};
  QtTextRenderer text;
  QtPictureDecoder decoder;
  NoLog log;
};

}  // namespace

std::vector<Composition> ComposeBodies(const std::string& workFolder, const ThemeLayout& layout,
                                       const std::vector<std::string>& bodyPaths,
                                       std::string& error) {
  Session s(Utf8ToUtf16(workFolder));
  const ProfileFile settingsFile = ProfileFile::Load(s.folder.SettingsFile());
  ReadThemeName(settingsFile, s.settings);
  s.settings.Name = SelectTheme(s.folder, s.settings.Name, s.themes);
  ReadAppSettings(settingsFile, s.settings);
  // The sample bodies are demo files, which the program always labels.
  s.settings.Demo = 1;
  s.theme = layout;
  const FontSpecs specs = FontSpecsFor(s.theme);
  for (std::size_t i = 0; i < specs.size(); ++i)
    s.fonts[i] = s.text.CreateFont(specs[i]);
  ReloadReferenceData(*s.reference, s.themes, s.folder);
  s.surfaces.CreateWorkingSurfaces();
  ThemeAssets assets(
      s.surfaces, [&s] { return s.folder.ThemeFolder(s.settings.Name); }, s.decoder, s.text);
  if (assets.LoadThemeAssets() != ThemeAssetResult::kLoaded) {
    error = "the theme's pictures in " + workFolder + " cannot be loaded";
    return {};
  }

  const PictureSettings pictures{s.settings.EpiFront,  s.settings.EpiBlink, s.settings.ShindoMap,
                                 s.settings.SpeedDraw, s.settings.Aspect,   s.settings.Debug,
                                 s.settings.Demo};
  NoWindow window;
  FrameComposer composer(
      ComposeInputs{*s.shown, s.theme, *s.reference, s.surfaces, s.fonts, s.text, pictures, s.log},
      window);
  std::tm now{};
  int tickerOffset = 0;
  int tickerMoved = 0;
  int paintCount = 0;
  const int fetchPhase = 0;
  FetchStatusValue lastStatus = FetchIdle;
  NoFramePhase phase;
  WindowPainter painter(
      PaintInputs{s.surfaces, *s.shown, s.theme, s.fonts, s.text, pictures, s.fetch,
                  composer.mapLayer(), composer.compositions()},
      PaintCounters{now, tickerOffset, tickerMoved, paintCount, fetchPhase, lastStatus}, phase);
  const TimePaddings paddings{s.theme.style.EventTime.fontPadding,
                              s.theme.style.HisEvTime.fontPadding,
                              s.theme.style.ReportTime.fontPadding};

  std::vector<Composition> compositions;
  for (const std::string& path : bodyPaths) {
    const std::optional<std::string> body =
        ReadFileBytes(Utf8ToUtf16(path), FetchWorker::kBodyLimit);
    if (!body) continue;
    lastStatus = ReadReportBody(*body, *s.fetched, s.fetch.NewestId, s.fetch.LastShownId, paddings);
    if (lastStatus != FetchDone) continue;
    *s.shown = *s.fetched;
    s.fetch.LastShownId = s.fetch.NewestId;
    SortObservationPoints(s.shown->latest);
    const int issueType = s.shown->latest.issueType;
    const bool hasComment = s.shown->latest.commentLength != 0;
    composer.ComposeFrame();

    // The ticker as it stands once the comment has run in from the right edge of its box to
    // 40 pixels from its left edge.
    const TextElement& ticker = s.theme.text.InfoComment;
    tickerOffset = ticker.rcRight - ticker.rcLeft + 22 - 40;
    // The window in the area half and in the station half of the view's twenty-second turn,
    // at seconds where the epicentre is not pulsing and no cross-fade is under way.
    const auto windowAt = [&](int second) {
      now.tm_sec = second;
      const PaintSource frame = painter.OnPaint(false);
      return Cut(s.surfaces[CanvasSurface].surface, frame.source);
    };
    Surface area = windowAt(3);
    Surface station = windowAt(13);
    compositions.push_back({std::filesystem::path(path).filename().string(), issueType, hasComment,
                            std::move(area), std::move(station)});
  }
  if (compositions.empty()) error = "no body held a new report";
  return compositions;
}

Surface DrawCompositionSheet(const std::vector<Composition>& grid,
                             const std::vector<Composition>& list, TextRenderer& text) {
  constexpr int kScale = 4;
  constexpr int kWidth = kPageWidth / kScale;
  constexpr int kHeight = kPageHeight / kScale;
  constexpr int kGap = 8;
  constexpr int kLabel = 34;
  constexpr COLORREF kBackground = MakeColorRef(0x2b, 0x2f, 0x36);
  constexpr COLORREF kInk = MakeColorRef(0xd8, 0xdc, 0xe2);
  constexpr std::array<std::u16string_view, 7> kTypes = {u"",
                                                         u"震度速報 ScalePrompt",
                                                         u"震源情報 Destination",
                                                         u"震源・震度 ScaleAndDestination",
                                                         u"各地の震度 DetailScale",
                                                         u"遠地地震 Foreign",
                                                         u"その他 Other"};

  const int rowHeight = kLabel + kHeight + kGap;
  Surface sheet(4 * kWidth + 5 * kGap, kLabel + static_cast<int>(grid.size()) * rowHeight + kGap);
  sheet.Fill(kBackground);
  const FontId font = text.CreateFont({u"Arial", 24, 0, 400});
  const auto label = [&](int x, int y, std::u16string_view caption) {
    Rect rect{x, y, x + 2 * kWidth, y + kLabel - 4};
    text.DrawText(sheet, font, kInk, caption, rect, DT_SINGLELINE | DT_VCENTER);
  };
  label(kGap, 0, u"grid form (City.type 1): area view, station view");
  label(3 * kGap + 2 * kWidth, 0, u"list form (City.type 2): area view, station view");

  const auto put = [&](const Surface& page, int column, int top) {
    StretchBlt(sheet, kGap + column * (kWidth + kGap), top, kWidth, kHeight, page, 0, 0, kPageWidth,
               kPageHeight);
  };
  for (std::size_t row = 0; row < grid.size(); ++row) {
    const Composition& c = grid[row];
    const int top = kLabel + static_cast<int>(row) * rowHeight;
    const std::size_t type = std::clamp<std::size_t>(static_cast<std::size_t>(c.issueType), 0, 6);
    label(kGap, top, Utf8ToUtf16(c.body) + u"   " + std::u16string(kTypes[type]));
    put(c.areaWindow, 0, top + kLabel);
    put(c.stationWindow, 1, top + kLabel);
    const auto same = std::find_if(list.begin(), list.end(),
                                   [&](const Composition& l) { return l.body == c.body; });
    if (same == list.end()) continue;
    put(same->areaWindow, 2, top + kLabel);
    put(same->stationWindow, 3, top + kLabel);
  }
  return sheet;
}

}  // namespace hw::themegen
