#include <cstddef>
#include <cstdint>
#include <string_view>

#include "refdata/station_json_dl.h"

namespace {

// The splitter never downloads here.
class NoHttp final : public hw::HttpClient {
 public:
  hw::HttpResult Get(const std::string&, const hw::HttpGetOptions&, const hw::HttpSink&) override {
    return {hw::HttpStage::kUrlFailed, 0};
  }
  void AbortAll() override {}
};

}  // namespace

// Any bytes as a downloaded station list: split, parsed and written without leaving the table.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static NoHttp http;
  static hw::CStationJsonDL downloader(http);
  downloader.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
  downloader.SplitStationObjects();
  if (downloader.count() > hw::CStationJsonDL::kCapacity) __builtin_trap();
  static_cast<void>(downloader.StationsFileText());
  return 0;
}
