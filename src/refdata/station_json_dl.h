#pragma once

#include <array>
#include <string>
#include <string_view>

#include "acquisition/fixed_text.h"
#include "platform/http_client.h"
#include "platform/work_folder_layout.h"

namespace hw {

// One station object of the agency's station list.
struct StationJsonEntry {
  FixedText<32> name;
  double latitude = 0.0;
  double longitude = 0.0;
  int pref = 0;
  int affi = 0;
  bool complete = false;  // all five keys were found; incomplete entries are not written
};

// How the last station list download ended.
enum class StationDownload : int {
  kUnderWay = 0,
  kReceived = 1,
  kCannotOpen = -1,  // the connection or the request could not be opened
  kNotAList = -2,    // the body was empty or did not begin with "["
  kNotWhole = -3,    // no whole 2xx answer: an error status, a transfer that broke off or fell
                     // short of its length, or a body past the buffer
};

// Where and whether to refresh the station list.
struct StationRefreshConfig {
  int StaJson = 0;
  WorkFolderLayout WorkingFolder;
  std::string host;  // scheme and host, e.g. https://www.jma.go.jp
};

// What a refresh did, for the event log.
struct StationRefreshOutcome {
  bool replaced = false;  // Stations.ini holds the new list
  std::u16string said;    // the log line's text (after its prefix); empty when nothing ran
};

// Downloads the agency's seismic intensity station list (a flat JSON array of flat objects),
// cuts it into station objects with a small scanner of its own and rewrites
// "\Setting\Stations.ini". Only a whole 2xx answer whose list is plausible (at least
// kMinimumStations stations, and at least kKeptPercent % of the stations the current file
// has) replaces the file, atomically; anything else leaves it as it is and says why, since a
// short or empty list would take every station marker off the picture until the next refresh.
class CStationJsonDL {
 public:
  static constexpr std::size_t kBufferSize = 600000;  // the buffer keeps a terminator
  static constexpr std::size_t kBodyLimit = kBufferSize - 1;
  static constexpr int kCapacity = 5000;
  static constexpr std::size_t kMaxObjectBytes = 1999;
  static constexpr std::string_view kPath = "/jma/kishou/know/jishin/intens-st/stations.json";
  // The agency lists about 4,400 stations; a list far below that is broken, not smaller.
  static constexpr int kMinimumStations = 3000;
  static constexpr int kKeptPercent = 90;

  explicit CStationJsonDL(HttpClient& http) : http_(http) {}

  // Downloads, checks and writes; blocks for the download (at most the bounded download's
  // 10 s), so the program runs it on a thread of its own.
  StationRefreshOutcome RefreshStationFile(const StationRefreshConfig& config);

  // The steps, public for tests and the fuzz target.
  void DownloadStationJson(const std::string& host);
  void SplitStationObjects();
  void ParseStationObject(std::string_view objectText, int index);
  std::string StationsFileText() const;

  // Sets the downloaded text directly (for tests and fuzzing).
  void SetText(std::string_view text);

  StationDownload StationDownloadStatus() const { return status_; }
  // Why the last download was not received, in the log's words.
  const std::string& DownloadProblem() const { return problem_; }
  int count() const { return count_; }
  // The entries that will be written: those with all five keys.
  int CompleteCount() const;
  const StationJsonEntry& entry(int i) const { return table_[static_cast<std::size_t>(i)]; }

 private:
  HttpClient& http_;
  std::string text_;  // the downloaded document, at most kBodyLimit bytes
  std::array<StationJsonEntry, kCapacity> table_{};
  int count_ = 0;
  StationDownload status_ = StationDownload::kUnderWay;
  std::string problem_;
};

// The stations a Stations.ini holds: its lines with a name, as the loader reads them.
int CountStationLines(std::u16string_view path);

// Decodes the \uXXXX escapes of a name; every other character is dropped, and a malformed
// escape ends the name.
std::u16string DecodeUnicodeEscapes(std::u16string_view text);

}  // namespace hw
