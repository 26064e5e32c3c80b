#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/report_source.h"
#include "display/display.h"
#include "display/feed_state.h"
#include "eventlog/event_log_writer.h"
#include "platform/picture_output.h"
#include "platform/report_command.h"
#include "platform/stream_server.h"
#include "platform/work_folder_layout.h"
#include "settings/app_settings.h"
#include "shell/settings_dialog_link.h"

namespace hw {

// What the outputs for streams reach on the platform; a null port leaves its output out.
struct StreamPorts {
  PictureOutputWorker* pictures = nullptr;
  StreamServer* server = nullptr;
  CommandRunner* commands = nullptr;
};

// The [Stream] settings as the outputs use them.
struct StreamConfig {
  std::u16string file;  // the picture file's path (a native path), empty for none
  int rate = 2;
  Size size{1920, 1080};
  bool http = false;
  std::string listen = "127.0.0.1";
  int port = 8551;
  bool overlay = false;
  COLORREF key = 0;
  std::u16string onReport;
  bool onReportDemo = false;
  bool operator==(const StreamConfig&) const = default;
};
StreamConfig StreamConfigOf(const AppSettings& settings, const WorkFolderLayout& folder);

// The outputs of the picture for streams, all run from the main loop on the user-interface
// thread: the picture file and the local page's pictures (encoded on the worker, at most `rate`
// a second, only when the picture changed), the report on screen and the feed state as JSON
// and events of the local page, and the command run once per new report.
class StreamOutputs {
 public:
  StreamOutputs(StreamPorts ports, EventLogWriter& log) : ports_(ports), log_(log) {}

  // Applies the settings: the server is started, moved or stopped when they changed.
  void Configure(const StreamConfig& config);
  // One main-loop tick at `nowMs` (a monotonic count): takes the worker's result over and hands
  // it the picture when it changed and its time has come; tells a change of the feed state.
  void Tick(std::int64_t nowMs, Display& display, const FeedState& feed);
  // A new report list was composed: the JSON and the event of the local page, and the command.
  void AfterReport(const Display& display, const std::u16string& id, ReportSource source);

  // Where the local page listens, or why it does not (for the settings dialog).
  const StreamServerState& ServerState() const { return serverState_; }
  bool Active() const;

 private:
  void TakeResult();
  void OfferPicture(std::int64_t nowMs, Display& display);
  void RunCommand(const Display& display, const std::u16string& id);
  void StartPendingCommand();
  void TakeCommandOutcomes();
  void PublishLatest();
  void Log(std::u16string_view text);

  StreamPorts ports_;
  EventLogWriter& log_;
  StreamConfig config_;
  bool configured_ = false;
  StreamServerState serverState_;
  std::int64_t nextFrameMs_ = 0;
  bool watched_ = false;  // a file is written or a client has the page open
  std::uint64_t offeredSerial_ = 0;
  std::uint64_t frames_ = 0;
  std::vector<std::uint32_t> buffer_;
  std::optional<std::string> fileError_;  // the reason last logged, while writes fail
  std::deque<std::string> commandIds_;    // the reports whose command ran, the newest last
  // A command waits for the picture file to show its report ({file}), at most a few seconds:
  // it starts once the first frame offered after the report has been written.
  struct PendingCommand {
    std::vector<std::string> arguments;
    std::string tag;
    std::uint64_t afterFrame = 0;
    std::int64_t deadlineMs = 0;
  };
  std::optional<PendingCommand> pendingCommand_;
  std::int64_t nowMs_ = 0;
  // The parts of /latest.json: the report and its view, and the feed.
  std::string reportJson_ = "null";
  std::string feedJson_ = "null";
  std::string latestId_;
  std::optional<FeedState> lastFeed_;
};

// A frame of the page picture (its part `page.source`), in `buffer`'s memory, at its own size.
OutputFrame FrameOf(const WindowPainter::PagePicture& page, std::vector<std::uint32_t> buffer);

// The feed state as JSON: {"source":"live","state":"live"|"stale"|"waiting",
// "lastSuccess":"hh:mm:ss"}.
std::string FeedJson(const FeedState& feed);

}  // namespace hw
