// heronwatch-tool compose: feeds report bodies to the composer as successive fetches would,
// and prints what each composition put on the map (and, with --out, the pictures).

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/early_warning_board.h"
#include "acquisition/fetch_worker.h"
#include "acquisition/tsunami_board.h"
#include "display/map_layer.h"
#include "display/report_json.h"
#include "headless/headless_display.h"
#include "platform/early_warning_message.h"
#include "platform/file_system.h"
#include "platform/json_writer.h"
#include "platform/push_message.h"
#include "platform/qt/png_file.h"
#include "platform/qt/qt_headless_gui.h"
#include "platform/text_codec.h"
#include "platform/timed_messages.h"
#include "platform/tsunami_message.h"
#include "tool/commands.h"
#include "tool/work_folder.h"

namespace hw::tool {
namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "heronwatch-tool: %s\n", message.c_str());
  return 1;
}

std::string CompositionLine(int issueType, const MapLayer& layer,
                            const std::vector<std::u16string>& logLines) {
  JsonWriter json;
  json.BeginObject();
  WriteViewFields(json, issueType, layer);
  json.Key("logLines").BeginArray();
  for (const std::u16string& line : logLines) {
    json.Value(line);
  }
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

// Writes the window's picture as it is now, as "wNN-window.png".
bool WriteWarningPicture(const std::filesystem::path& out, int number, HeadlessDisplay& display) {
  char name[32];
  std::snprintf(name, sizeof name, "w%02d-window.png", number);
  const PaintSource frame = display.Paint(0);
  return WritePngFile((out / name).string(), display.canvas(), frame.source);
}

// Plays the stored messages in their order over the last composition, as the push channel
// would deliver them (stored messages are shown whatever their age, as the demo's are), and
// prints one JSON line per message with what it did.
int PlayWarnings(const std::string& text, const std::string& outFolder, HeadlessDisplay& display) {
  const std::optional<std::vector<TimedMessage>> messages = ReadTimedMessages(text, 1 << 30);
  if (!messages) return Fail(R"(the warnings file is no JSON array of {"at", "message"})");
  TsunamiBoard tsunami;
  EarlyWarningBoard warning;
  int number = 0;
  for (const TimedMessage& message : *messages) {
    const std::int64_t nowMs = std::int64_t{message.second} * 1000;
    const std::optional<PushNotice> notice = ReadPushMessage(message.text);
    JsonWriter json;
    json.BeginObject();
    json.Key("at").Value(message.second);
    json.Key("code").Value(notice ? notice->code : 0);
    if (warning.Tick(nowMs)) display.display().TakeOverEarlyWarning(warning.shown());
    if (tsunami.Tick(nowMs)) display.display().TakeOverTsunami(tsunami.state());
    std::vector<std::u16string> log;
    if (notice && notice->code == 552) {
      if (const std::optional<TsunamiMessage> m = ReadTsunamiMessage(message.text)) {
        const TsunamiBoard::Outcome outcome = tsunami.TakeOver(*m, nowMs, 0);
        log = outcome.log;
        display.display().TakeOverTsunami(tsunami.state());
      }
    } else if (notice && notice->code == 556) {
      if (const std::optional<EarlyWarningMessage> m = ReadEarlyWarningMessage(message.text)) {
        const EarlyWarningBoard::Outcome outcome = warning.TakeOver(*m, nowMs, false);
        log = outcome.log;
        display.display().TakeOverEarlyWarning(warning.shown());
      }
    }
    json.Key("earlyWarning").Bool(warning.shown().has_value());
    json.Key("tsunamiRegions").Value(static_cast<int>(tsunami.state().regions.size()));
    json.Key("logLines").BeginArray();
    for (const std::u16string& line : log) {
      json.Value(line);
    }
    json.EndArray();
    json.EndObject();
    std::printf("%s\n", json.str().c_str());
    ++number;
    if (!outFolder.empty() && !WriteWarningPicture(outFolder, number, display)) {
      return Fail("cannot write the pictures to " + outFolder);
    }
  }
  return 0;
}

}  // namespace

int RunCompose(const Arguments& args) {
  const WorkFolderLayout workFolder = CommandWorkFolder(args);
  const std::string outFolder = args.Value("out").value_or("");
  std::optional<ReportSource> source;
  if (const std::optional<std::string> name = args.Value("source")) {
    if (*name == "live") {
      source = ReportSource::kLive;
    } else if (*name == "demo") {
      source = ReportSource::kDemo;
    } else if (*name == "sandbox") {
      source = ReportSource::kSandbox;
    } else {
      std::fputs("heronwatch-tool compose: --source is live, demo or sandbox\n", stderr);
      return 2;
    }
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(NativePath(workFolder.root()), ec)) {
    return Fail("cannot read the working folder " + NativePath(workFolder.root()));
  }
  if (!outFolder.empty() && !std::filesystem::is_directory(outFolder, ec)) {
    return Fail("the output folder " + outFolder + " does not exist");
  }
  // Every body is read first, as a demo file is, so that a bad path stops the run before any
  // line is printed.
  std::optional<std::string> warnings;
  if (const std::optional<std::string> path = args.Value("warnings")) {
    warnings = ReadFileBytes(Utf8ToUtf16(*path), FetchWorker::kBodyLimit);
    if (!warnings) return Fail("cannot read " + *path);
  }
  std::vector<std::string> bodies;
  for (const std::string& path : args.arguments) {
    std::optional<std::string> body = ReadFileBytes(Utf8ToUtf16(path), FetchWorker::kBodyLimit);
    if (!body) return Fail("cannot read " + path);
    bodies.push_back(std::move(*body));
  }

  const HeadlessGui gui;
  std::string error;
  const std::unique_ptr<HeadlessDisplay> display = HeadlessDisplay::Open(workFolder, error);
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
  return warnings ? PlayWarnings(*warnings, outFolder, *display) : 0;
}

}  // namespace hw::tool
