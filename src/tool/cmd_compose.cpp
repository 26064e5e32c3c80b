// heronwatch-tool compose: feeds report bodies to the composer as successive fetches would,
// and prints what each composition put on the map (and, with --out, the pictures).

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/fetch_worker.h"
#include "display/map_layer.h"
#include "headless/headless_display.h"
#include "platform/file_system.h"
#include "platform/qt/png_file.h"
#include "platform/qt/qt_headless_gui.h"
#include "platform/text_codec.h"
#include "tool/commands.h"
#include "tool/json_writer.h"

namespace hw::tool {
namespace {

int Usage() {
  std::fputs(
      "usage: heronwatch-tool compose [--workdir DIR] [--out DIR] [--source live|demo|sandbox] "
      "BODY.json...\n",
      stderr);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "heronwatch-tool: %s\n", message.c_str());
  return 1;
}

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

// Writes the four composed pages and the window's picture as the first paint after the
// composition shows it: at second 0 of the minute, so that the pictures of one run do not
// depend on when it ran.
bool WritePictures(const std::filesystem::path& out, int number, HeadlessDisplay& display) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%03d-", number);
  const Surface& canvas = display.canvas();
  bool written = true;
  for (int page = AreaPage; page <= StationPageNoEpicentre; ++page) {
    const std::string name = std::string(prefix) + "page" + std::to_string(page) + ".png";
    written = WritePngFile((out / name).string(), canvas,
                           {PageX(page), 0, PageX(page) + kPageWidth, kPageHeight}) &&
              written;
  }
  const PaintSource frame = display.Paint(0);
  return WritePngFile((out / (std::string(prefix) + "window.png")).string(), canvas,
                      frame.source) &&
         written;
}

}  // namespace

int RunCompose(const Arguments& args) {
  std::u16string workFolder;
  std::string outFolder;
  std::vector<std::string> bodyPaths;
  std::optional<ReportSource> source;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--workdir" && i + 1 < args.size()) {
      workFolder = Utf8ToUtf16(args[++i]);
    } else if (args[i] == "--out" && i + 1 < args.size()) {
      outFolder = args[++i];
    } else if (args[i] == "--source" && i + 1 < args.size()) {
      const std::string_view name = args[++i];
      if (name == "live") {
        source = ReportSource::kLive;
      } else if (name == "demo") {
        source = ReportSource::kDemo;
      } else if (name == "sandbox") {
        source = ReportSource::kSandbox;
      } else {
        return Usage();
      }
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
  std::string error;
  const std::unique_ptr<HeadlessDisplay> display =
      HeadlessDisplay::Open(WorkFolderLayout(workFolder), error);
  if (!display) return Fail(error);
  if (source) display->SetSource(*source);

  int compositions = 0;
  for (const std::string& body : bodies) {
    if (!display->Fetch(body)) continue;
    ++compositions;
    std::printf("%s\n", CompositionLine(display->latest().issueType, display->composer().mapLayer(),
                                        display->logLines())
                            .c_str());
    if (!outFolder.empty() && !WritePictures(outFolder, compositions, *display)) {
      return Fail("cannot write the pictures to " + outFolder);
    }
  }
  return 0;
}

}  // namespace hw::tool
