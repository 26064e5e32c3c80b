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
};

// Where and whether to refresh the station list.
struct StationRefreshConfig {
  int StaJson = 0;
  WorkFolderLayout WorkingFolder;
  std::string host;  // scheme and host, e.g. https://www.jma.go.jp
};

// Downloads the agency's seismic intensity station list (a flat JSON array of flat objects),
// cuts it into station objects with a small scanner of its own and rewrites
// "\Setting\Stations.ini". A failed, empty or foreign download leaves the file untouched; the
// file is replaced atomically, so a crash mid-write never leaves half a file.
class CStationJsonDL {
 public:
  static constexpr std::size_t kBufferSize = 600000;  // the buffer keeps a terminator
  static constexpr std::size_t kBodyLimit = kBufferSize - 1;
  static constexpr int kCapacity = 5000;
  static constexpr std::size_t kMaxObjectBytes = 1999;
  static constexpr std::string_view kPath = "/jma/kishou/know/jishin/intens-st/stations.json";

  explicit CStationJsonDL(HttpClient& http) : http_(http) {}

  void RefreshStationFile(const StationRefreshConfig& config);

  // The steps, public for tests and the fuzz target.
  void DownloadStationJson(const std::string& host);
  void SplitStationObjects();
  void ParseStationObject(std::string_view objectText, int index);
  std::string StationsFileText() const;

  // Sets the downloaded text directly (for tests and fuzzing).
  void SetText(std::string_view text);

  StationDownload StationDownloadStatus() const { return status_; }
  int count() const { return count_; }
  const StationJsonEntry& entry(int i) const { return table_[static_cast<std::size_t>(i)]; }

 private:
  HttpClient& http_;
  std::string text_;  // the downloaded document, at most kBodyLimit bytes
  std::array<StationJsonEntry, kCapacity> table_{};
  int count_ = 0;
  StationDownload status_ = StationDownload::kUnderWay;
};

// Decodes the \uXXXX escapes of a name; every other character is dropped, and a malformed
// escape ends the name.
std::u16string DecodeUnicodeEscapes(std::u16string_view text);

}  // namespace hw
