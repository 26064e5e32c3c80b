#include "platform/bounded_download.h"

#include <algorithm>

namespace hw {
namespace {

constexpr std::size_t kReadBytes = 1000;

// A server that sends a byte now and then never trips the 4 s receive time-out; the overall
// deadline, a few seconds above it, ends such a transfer so that the next poll can start. A
// real report list (a few hundred kilobytes) arrives well within it.
constexpr int kDeadlineMs = 10000;

}  // namespace

BoundedBody BoundedGet(HttpClient& http, const std::string& url, std::size_t bufferSize,
                       int maxRedirects) {
  const std::size_t limit = bufferSize - 1;
  const std::size_t cut = limit / kReadBytes * kReadBytes;
  BoundedBody out;
  const auto keep = [&](std::string_view chunk) {
    out.body.append(chunk);
    out.received += chunk.size();
    if (out.body.size() < limit) return true;
    out.body.resize(cut);
    out.limitReached = true;
    return false;
  };
  // The web service allows about one request a second per address; a redirect loop must not
  // multiply the polls.
  const int redirects = std::clamp(maxRedirects, 0, kMaxRedirects);
  out.result = http.Get(url, {"REVERIZA", 4000, 4000, kDeadlineMs, redirects}, keep);
  return out;
}

}  // namespace hw
