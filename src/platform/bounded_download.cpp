#include "platform/bounded_download.h"

namespace hw {
namespace {

constexpr std::size_t kReadBytes = 1000;

}  // namespace

BoundedBody BoundedGet(HttpClient& http, const std::string& url, std::size_t bufferSize) {
  const std::size_t limit = bufferSize - 1;
  const std::size_t cut = limit / kReadBytes * kReadBytes;
  BoundedBody out;
  out.body.reserve(bufferSize);
  const auto keep = [&](std::string_view chunk) {
    out.body.append(chunk);
    out.received += chunk.size();
    if (out.body.size() < limit) return true;
    out.body.resize(cut);
    return false;
  };
  out.result = http.Get(url, {"REVERIZA", 4000, 4000}, keep);
  return out;
}

}  // namespace hw
