// heronwatch-tool compose: feeds report bodies to the composer as successive fetches would,
// and prints what each composition put on the map (and, with --out, the pictures).

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/fetch_status.h"
#include "acquisition/fetch_worker.h"
#include "acquisition/report_body.h"
#include "display/frame_composer.h"
#include "display/theme_assets.h"
#include "display/window_painter.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/qt/png_file.h"
#include "platform/qt/qt_headless_gui.h"
#include "platform/qt/qt_picture_decoder.h"
#include "platform/qt/qt_text_renderer.h"
#include "platform/text_codec.h"
#include "refdata/initial_value.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"
#include "tool/commands.h"
#include "tool/json_writer.h"

namespace hw::tool {
namespace {

int Usage() {
  std::fputs("usage: heronwatch-tool compose [--workdir DIR] [--out DIR] BODY.json...\n", stderr);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "heronwatch-tool: %s\n", message.c_str());
  return 1;
}

// Keeps the lines the map layer hands to the event log, for the JSON line.
class CapturedLog final : public EventLogWriter {
 public:
  void WriteEventLog(std::u16string_view text) override { lines.emplace_back(text); }
  std::vector<std::u16string> lines;
};

// The tool paints without a frame timer.
class NoFramePhase final : public FramePhase {
 public:
  int FrameSubCount() override { return 0; }
  void Wait(int) override {}
};

const char* PictureName(MapPictureId picture) {
  switch (picture) {
    case MapPictureId::kJpMap1:
      return "jp_map1";
    case MapPictureId::kJpMap2:
      return "jp_map2";
    case MapPictureId::kWorldMap:
      return "world_map";
    case MapPictureId::kNone:
      break;
  }
  return nullptr;
}

void WriteMarkers(JsonWriter& json, const std::vector<MapLayerRecord::Marker>& markers) {
  json.BeginArray();
  for (const MapLayerRecord::Marker& m : markers) {
    json.BeginArray().Value(m.index).Value(m.scale).Value(m.x).Value(m.y).EndArray();
  }
  json.EndArray();
}

std::string CompositionLine(int issueType, const MapLayer& layer,
                            const std::vector<std::u16string>& logLines) {
  const MapLayerRecord& r = layer.record();
  JsonWriter json;
  json.BeginObject();
  json.Key("issueType").Value(issueType);
  json.Key("level").Value(r.view.level);
  json.Key("originX");
  r.view.japanOrigin ? json.Value(r.view.originX) : json.Null();
  json.Key("originY");
  r.view.japanOrigin ? json.Value(r.view.originY) : json.Null();
  json.Key("picture");
  if (const char* name = PictureName(r.view.picture)) {
    json.Value(Utf8ToUtf16(name));
  } else {
    json.Null();
  }
  json.Key("source");
  if (r.view.picture != MapPictureId::kNone) {
    const SourceRect& s = r.view.source;
    json.BeginArray().Value(s.x).Value(s.y).Value(s.width).Value(s.height).EndArray();
  } else {
    json.Null();
  }
  json.Key("epicentreGrid");
  if (r.epicentreGrid) {
    json.BeginArray().Value(r.epicentreGrid->gx).Value(r.epicentreGrid->gy).EndArray();
  } else {
    json.Null();
  }
  const Rect& e = layer.EpicentreRect();
  json.Key("epicentreRect").BeginArray().Value(e.left).Value(e.top).Value(e.right).Value(e.bottom);
  json.EndArray();
  json.Key("epicentreDrawn").Bool(r.epicentreDrawn);
  json.Key("areaMarkers");
  WriteMarkers(json, r.areaMarkers);
  json.Key("stationMarkers");
  WriteMarkers(json, r.stationMarkers);
  json.Key("unknownPointName").Value(layer.UnknownPointName());
  json.Key("unknownAreaCount").Value(layer.UnknownAreaCount());
  json.Key("logLines").BeginArray();
  for (const std::u16string& line : logLines)
    json.Value(line);
  json.EndArray();
  json.EndObject();
  return json.str();
}

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

// Everything one run composes with, set up as the program's start-up does.
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
  CapturedLog log;
};

// Takes a picture of the window as the first paint after a composition shows it: at second 0
// of the minute, so that the pictures of one run do not depend on when it ran.
bool WritePictures(const std::filesystem::path& out, int number, Session& s, WindowPainter& painter,
                   std::tm& now) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%03d-", number);
  const Surface& canvas = s.surfaces[CanvasSurface].surface;
  bool written = true;
  for (int page = AreaPage; page <= StationPageNoEpicentre; ++page) {
    const std::string name = std::string(prefix) + "page" + std::to_string(page) + ".png";
    written = WritePngFile((out / name).string(), canvas,
                           {PageX(page), 0, PageX(page) + kPageWidth, kPageHeight}) &&
              written;
  }
  now.tm_sec = 0;
  const PaintSource frame = painter.OnPaint(false);
  return WritePngFile((out / (std::string(prefix) + "window.png")).string(), canvas,
                      frame.source) &&
         written;
}

}  // namespace

int RunCompose(const Arguments& args) {
  std::u16string workFolder;
  std::string outFolder;
  std::vector<std::string> bodyPaths;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--workdir" && i + 1 < args.size()) {
      workFolder = Utf8ToUtf16(args[++i]);
    } else if (args[i] == "--out" && i + 1 < args.size()) {
      outFolder = args[++i];
    } else if (!args[i].starts_with("--")) {
      bodyPaths.emplace_back(args[i]);
    } else {
      return Usage();
    }
  }
  if (bodyPaths.empty()) return Usage();
  if (workFolder.empty()) workFolder = GetCurrentFolder();
  std::error_code ec;
  if (!std::filesystem::is_directory(NativePath(workFolder), ec)) {
    return Fail("cannot read the working folder " + NativePath(workFolder));
  }
  if (!outFolder.empty() && !std::filesystem::is_directory(outFolder, ec)) {
    return Fail("the output folder " + outFolder + " does not exist");
  }
  // Every body is read first, as a demo file is, so that a bad path stops the run before any
  // line is printed.
  std::vector<std::string> bodies;
  for (const std::string& path : bodyPaths) {
    std::optional<std::string> body = ReadFileBytes(Utf8ToUtf16(path), FetchWorker::kBodyLimit);
    if (!body) return Fail("cannot read " + path);
    bodies.push_back(std::move(*body));
  }

  const HeadlessGui gui;
  Session s(workFolder);
  const ProfileFile settingsFile = ProfileFile::Load(s.folder.SettingsFile());
  ReadThemeName(settingsFile, s.settings);
  s.settings.Name = SelectTheme(s.folder, s.settings.Name, s.themes);
  LoadThemeLayout(s.folder.ThemeLayoutFile(s.settings.Name), s.theme);
  ReadAppSettings(settingsFile, s.settings);
  const FontSpecs specs = FontSpecsFor(s.theme);
  for (std::size_t i = 0; i < specs.size(); ++i)
    s.fonts[i] = s.text.CreateFont(specs[i]);
  ReloadReferenceData(*s.reference, s.themes, s.folder);
  s.surfaces.CreateWorkingSurfaces();
  QtPictureDecoder decoder;
  ThemeAssets assets(
      s.surfaces, [&s] { return s.folder.ThemeFolder(s.settings.Name); }, decoder, s.text);
  if (const ThemeAssetResult code = assets.LoadThemeAssets(); code != ThemeAssetResult::kLoaded) {
    return Fail(ThemeFailure(code));
  }

  const PictureSettings pictureSettings{
      s.settings.EpiFront, s.settings.EpiBlink, s.settings.ShindoMap, s.settings.SpeedDraw,
      s.settings.Aspect,   s.settings.Debug,    s.settings.Demo};
  struct : RepaintTarget {
    void InvalidateRect() override {}
  } noWindow;
  FrameComposer composer(ComposeInputs{*s.shown, s.theme, *s.reference, s.surfaces, s.fonts, s.text,
                                       pictureSettings, s.log},
                         noWindow);
  std::tm now = SystemClock().LocalNow();
  int tickerOffset = 0;
  int tickerMoved = 0;
  int paintCount = 0;
  const int fetchPhase = 0;
  FetchStatusValue lastStatus = FetchIdle;
  NoFramePhase phase;
  WindowPainter painter(
      PaintInputs{s.surfaces, *s.shown, s.theme, s.fonts, s.text, pictureSettings, s.fetch,
                  composer.mapLayer(), composer.compositions()},
      PaintCounters{now, tickerOffset, tickerMoved, paintCount, fetchPhase, lastStatus}, phase);

  const TimePaddings paddings{s.theme.style.EventTime.fontPadding,
                              s.theme.style.HisEvTime.fontPadding,
                              s.theme.style.ReportTime.fontPadding};
  int compositions = 0;
  for (const std::string& body : bodies) {
    lastStatus = ReadReportBody(body, *s.fetched, s.fetch.NewestId, s.fetch.LastShownId, paddings);
    if (lastStatus != FetchDone) continue;
    *s.shown = *s.fetched;
    s.fetch.LastShownId = s.fetch.NewestId;
    SortObservationPoints(s.shown->latest);
    s.log.lines.clear();
    // The type is that of the report as it arrived; the composer may complete the report.
    const int issueType = s.shown->latest.issueType;
    composer.ComposeFrame();
    tickerOffset = s.settings.SpeedScroll * -70;
    ++compositions;
    std::printf("%s\n", CompositionLine(issueType, composer.mapLayer(), s.log.lines).c_str());
    if (!outFolder.empty() && !WritePictures(outFolder, compositions, s, painter, now)) {
      return Fail("cannot write the pictures to " + outFolder);
    }
  }
  return 0;
}

}  // namespace hw::tool
