#include "shell/stream_outputs.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

#include "display/report_json.h"
#include "eventlog/event_log.h"
#include "platform/file_system.h"
#include "platform/json_writer.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

std::u16string LogText(std::u16string_view text) {
  return std::u16string(kEventLogPrefix) + std::u16string(text);
}

const char* SourceName(ReportSource source) {
  switch (source) {
    case ReportSource::kLive:
      return "live";
    case ReportSource::kSandbox:
      return "sandbox";
    case ReportSource::kDemo:
      return "demo";
    case ReportSource::kLastKnown:
      return "last known";
  }
  return "live";
}

// A report's id as the list writes it, with its quotes, and as the outputs give it, without.
std::u16string BareId(const std::u16string& id) {
  if (id.size() >= 2 && id.front() == u'"' && id.back() == u'"') return id.substr(1, id.size() - 2);
  return id;
}

// The picture file's native path: an absolute path as it is, any other below the working
// folder.
std::u16string StreamFilePath(const std::u16string& setting, const WorkFolderLayout& folder) {
  if (setting.empty()) return {};
  const std::u16string path = setting[0] == u'/' || setting[0] == u'.'
                                  ? folder.UserPath(setting)
                                  : folder.UserPath(u".\\" + setting);
  return Utf8ToUtf16(std::filesystem::path(NativePath(path)).lexically_normal().string());
}

// What a failed write's message says went wrong, without the names in it (the temporary
// file's is new each time): the text after its last ": ".
std::string ReasonOf(const std::string& error) {
  const std::size_t colon = error.rfind(": ");
  return colon == std::string::npos ? error : error.substr(colon + 2);
}

}  // namespace

OutputFrame FrameOf(const WindowPainter::PagePicture& page, std::vector<std::uint32_t> buffer) {
  const Rect& r = page.source;
  OutputFrame frame;
  frame.width = r.Width();
  frame.height = r.Height();
  frame.size = {frame.width, frame.height};
  frame.pixels = std::move(buffer);
  frame.pixels.resize(static_cast<std::size_t>(frame.width) * frame.height);
  for (int y = 0; y < frame.height; ++y) {
    const std::uint32_t* row = page.canvas->Row(r.top + y) + r.left;
    std::copy(row, row + frame.width,
              frame.pixels.begin() + static_cast<std::ptrdiff_t>(y) * frame.width);
  }
  return frame;
}

StreamConfig StreamConfigOf(const AppSettings& settings, const WorkFolderLayout& folder) {
  StreamConfig config;
  config.file = StreamFilePath(settings.StreamFile, folder);
  config.rate = settings.StreamRate;
  config.size = {settings.StreamWidth, settings.StreamHeight};
  config.http = settings.StreamHttp == 1;
  config.listen = Utf16ToUtf8(settings.StreamListen);
  config.port = settings.StreamPort;
  config.overlay = settings.StreamOverlay == 1;
  config.key = StreamKeyColour(settings.StreamKeyColor);
  config.onReport = settings.StreamOnReport;
  config.onReportDemo = settings.StreamOnReportDemo == 1;
  return config;
}

std::string FeedJson(const FeedState& feed) {
  JsonWriter json;
  json.BeginObject();
  json.Key("source");
  if (feed.shown) {
    json.Value(Utf8ToUtf16(SourceName(*feed.shown)));
  } else {
    json.Null();
  }
  json.Key("state").Value(!feed.shown  ? std::u16string(u"waiting")
                          : feed.stale ? std::u16string(u"stale")
                                       : std::u16string(u"live"));
  json.Key("lastSuccess");
  if (feed.lastSuccess) {
    json.Value(ClockText(*feed.lastSuccess));
  } else {
    json.Null();
  }
  json.EndObject();
  return json.str();
}

bool StreamOutputs::Active() const {
  return !config_.file.empty() || (ports_.server != nullptr && ports_.server->Listening());
}

void StreamOutputs::Configure(const StreamConfig& config) {
  const bool serverChanged = !configured_ || config.http != config_.http ||
                             config.listen != config_.listen || config.port != config_.port;
  const bool pictureChanged = !configured_ || config.file != config_.file ||
                              config.size != config_.size || config.overlay != config_.overlay ||
                              config.key != config_.key;
  config_ = config;
  configured_ = true;
  if (pictureChanged) {
    offeredSerial_ = 0;  // the next tick offers the picture again
    fileError_.reset();
  }
  if (!serverChanged || ports_.server == nullptr) return;
  if (ports_.server->Listening()) ports_.server->Close();
  serverState_ = {};
  if (!config.http) return;
  std::string error;
  const std::u16string where = Utf8ToUtf16(config.listen + ":" + std::to_string(config.port));
  if (ports_.server->Listen(config.listen, config.port, &error)) {
    const std::u16string address = Utf8ToUtf16(ports_.server->Address());
    serverState_ = {.on = true, .listening = true, .address = address, .error = {}};
    Log(u"配信ページ … " + address + u" で待ち受け");
    PublishLatest();
    offeredSerial_ = 0;
  } else {
    serverState_ = {.on = true, .listening = false, .address = where, .error = Utf8ToUtf16(error)};
    Log(u"配信ページを開けません … " + where + u" " + Utf8ToUtf16(error));
  }
}

void StreamOutputs::Tick(std::int64_t nowMs, Display& display, const FeedState& feed) {
  nowMs_ = nowMs;
  TakeResult();
  if (pendingCommand_ && nowMs >= pendingCommand_->deadlineMs) StartPendingCommand();
  TakeCommandOutcomes();
  if (!lastFeed_ || lastFeed_->shown != feed.shown || lastFeed_->stale != feed.stale) {
    lastFeed_ = feed;
    feedJson_ = FeedJson(feed);
    PublishLatest();
    if (ports_.server != nullptr && ports_.server->Listening()) {
      ports_.server->SendEvent("feed", feedJson_);
    }
  }
  if (Active()) OfferPicture(nowMs, display);
}

void StreamOutputs::OfferPicture(std::int64_t nowMs, Display& display) {
  // Encoding is most of the outputs' cost: while only the page is on and nobody has it open,
  // its picture is kept fresh every few seconds for a client that asks now and then; a page
  // opened gets the rate at once.
  const bool watched =
      !config_.file.empty() || (ports_.server != nullptr && ports_.server->Connections() > 0);
  if (watched && !watched_) nextFrameMs_ = 0;
  watched_ = watched;
  if (ports_.pictures == nullptr || nowMs < nextFrameMs_ || ports_.pictures->Busy()) return;
  WindowPainter& painter = display.painter();
  if (painter.PictureSerial() == offeredSerial_ && offeredSerial_ != 0) return;
  const WindowPainter::PagePicture page = painter.PictureAtPageSize();
  if (page.canvas == nullptr || page.source.Width() <= 0 || page.source.Height() <= 0) return;
  OutputFrame frame = FrameOf(page, std::move(buffer_));
  frame.size = config_.size;
  if (config_.overlay) frame.transparentKey = config_.key;
  frame.file = config_.file;
  frame.serial = ++frames_;
  offeredSerial_ = page.serial;
  constexpr std::int64_t kUnwatchedPeriodMs = 5000;
  nextFrameMs_ = nowMs + (watched ? 1000 / std::max(config_.rate, 1) : kUnwatchedPeriodMs);
  ports_.pictures->Offer(std::move(frame));
}

void StreamOutputs::TakeResult() {
  if (ports_.pictures == nullptr) return;
  std::optional<OutputResult> result = ports_.pictures->TakeResult();
  if (!result) return;
  buffer_ = std::move(result->recycled);
  if (pendingCommand_ && result->serial >= pendingCommand_->afterFrame) StartPendingCommand();
  if (result->png && ports_.server != nullptr && ports_.server->Listening()) {
    ports_.server->SetPicture(result->png);
    ports_.server->SetOverlay(config_.overlay ? result->png : nullptr);
    ports_.server->SendEvent("picture", std::to_string(result->serial));
  }
  if (!result->fileAsked) return;
  // A failing write is said once per reason, and its end once.
  if (!result->fileWritten) {
    if (const std::string reason = ReasonOf(result->fileError); fileError_ != reason) {
      fileError_ = reason;
      Log(u"配信画像を書き込めません … " + config_.file + u" " + Utf8ToUtf16(result->fileError));
    }
  } else if (fileError_) {
    fileError_.reset();
    Log(u"配信画像の書き込み再開 … " + config_.file);
  }
}

void StreamOutputs::AfterReport(const Display& display, const std::u16string& quotedId,
                                ReportSource source) {
  const std::u16string id = BareId(quotedId);
  const LatestReport& latest = display.shown().latest;
  JsonWriter json;
  json.BeginObject();
  json.Key("id").Value(id);
  json.Key("source").Value(Utf8ToUtf16(SourceName(source)));
  json.Key("latest");
  WriteLatestReport(json, latest);
  json.Key("view").BeginObject();
  WriteViewFields(json, latest.issueType, display.mapLayer());
  json.EndObject();
  json.EndObject();
  reportJson_ = json.str();
  latestId_ = Utf16ToUtf8(id);
  PublishLatest();
  if (ports_.server != nullptr && ports_.server->Listening()) {
    JsonWriter event;
    event.BeginObject().Key("id").Value(id).Key("source").Value(Utf8ToUtf16(SourceName(source)));
    event.Key("maxScale").Value(latest.maxScale).Key("issueType").Value(latest.issueType);
    event.EndObject();
    ports_.server->SendEvent("composition", event.str());
  }
  const bool allowed =
      source == ReportSource::kLive ||
      (config_.onReportDemo && (source == ReportSource::kDemo || source == ReportSource::kSandbox));
  if (allowed) RunCommand(display, id);
}

void StreamOutputs::PublishLatest() {
  if (ports_.server == nullptr || !ports_.server->Listening()) return;
  ports_.server->SetLatest(std::make_shared<const std::string>("{\"report\":" + reportJson_ +
                                                               ",\"feed\":" + feedJson_ + "}"));
}

void StreamOutputs::RunCommand(const Display& display, const std::u16string& id) {
  if (config_.onReport.empty() || ports_.commands == nullptr) return;
  // Once per report: a list read again (a demo file every second) runs nothing.
  const std::string reportId = Utf16ToUtf8(id);
  // Once per report: a list read again, or a report shown again after another, runs nothing.
  if (std::find(commandIds_.begin(), commandIds_.end(), reportId) != commandIds_.end()) return;
  constexpr std::size_t kRememberedIds = 64;
  if (commandIds_.size() == kRememberedIds) commandIds_.pop_front();
  commandIds_.push_back(reportId);
  std::string error;
  std::optional<std::vector<std::string>> arguments =
      SplitCommandLine(Utf16ToUtf8(config_.onReport), &error);
  if (!arguments) {
    Log(u"コマンドを実行できません … " + Utf8ToUtf16(error));
    return;
  }
  const LatestReport& latest = display.shown().latest;
  std::vector<std::string> filled = SubstitutePlaceholders(
      std::move(*arguments), {{"id", reportId},
                              {"maxScale", std::to_string(latest.maxScale)},
                              {"issueType", std::to_string(latest.issueType)},
                              {"file", Utf16ToUtf8(config_.file)}});
  // An earlier report's command that still waits for its picture goes first.
  StartPendingCommand();
  if (config_.file.empty() || ports_.pictures == nullptr) {
    ports_.commands->Start(std::move(filled), reportId);
    return;
  }
  constexpr std::int64_t kPictureWaitMs = 5000;
  pendingCommand_ =
      PendingCommand{std::move(filled), reportId, frames_ + 1, nowMs_ + kPictureWaitMs};
}

void StreamOutputs::StartPendingCommand() {
  if (!pendingCommand_) return;
  ports_.commands->Start(std::move(pendingCommand_->arguments), std::move(pendingCommand_->tag));
  pendingCommand_.reset();
}

void StreamOutputs::TakeCommandOutcomes() {
  if (ports_.commands == nullptr) return;
  for (const CommandOutcome& outcome : ports_.commands->TakeFinished()) {
    const std::u16string program = Utf8ToUtf16(outcome.program);
    if (!outcome.started) {
      Log(u"コマンドを実行できません … " + program + u" " + Utf8ToUtf16(outcome.startError));
      continue;
    }
    if (outcome.timedOut) {
      Log(u"コマンドが時間内に終わらないため終了 … " + program);
    } else if (outcome.signal != 0) {
      Log(u"コマンド終了 … " + program + u" シグナル " +
          Utf8ToUtf16(std::to_string(outcome.signal)));
    } else {
      Log(u"コマンド終了 … " + program + u" 終了コード " +
          Utf8ToUtf16(std::to_string(outcome.exitStatus)));
    }
    if (!outcome.firstErrorLine.empty()) {
      Log(u"コマンドのエラー出力 … " + Utf8ToUtf16(outcome.firstErrorLine));
    }
  }
}

void StreamOutputs::Log(std::u16string_view text) {
  log_.WriteEventLog(LogText(text));
}

}  // namespace hw
