#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "acquisition/compact_json.h"
#include "acquisition/report_body.h"
#include "platform/text_codec.h"

// Any bytes go through the body check and all three reader passes; a second reading with the
// newest id as the shown id must end unchanged or, without an id, read again. Compacting is
// idempotent: compact text comes back unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto store = std::make_unique<hw::ReportStore>();
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  std::u16string newestId;
  const std::u16string nothingShown;
  hw::ReadReportBody(body, *store, newestId, nothingShown, {});
  std::u16string again;
  hw::ReadReportBody(body, *store, again, newestId, {1, 1, 1});
  if (store->latest.pointCount > hw::LatestReport::kMaxPoints) __builtin_trap();
  const std::string compact = hw::CompactJson(body);
  if (compact.size() > body.size() || hw::CompactJson(compact) != compact) __builtin_trap();
  return 0;
}
