#pragma once

#include <cstddef>
#include <string>

#include "platform/http_client.h"

namespace hw {

// What a bounded download brought: how far it came and the body it kept.
struct BoundedBody {
  HttpResult result;
  std::string body;
  std::size_t received = 0;   // bytes that arrived, also those that were not kept
  bool limitReached = false;  // reading stopped at the buffer's limit: the body is cut
};

// The program's downloads (the report list and the station list) read their body into a
// buffer of `bufferSize` bytes that keeps a terminator, in reads of 1000 bytes, with the agent
// "REVERIZA", 4 s to connect, 4 s without data and 10 s for the whole transfer at most, and at
// most `maxRedirects` (at most kMaxRedirects) redirects. The read that reaches the buffer's
// last byte is not kept and reading stops there (`limitReached`), so a longer body is cut back
// to the last whole read below the limit.
inline constexpr int kMaxRedirects = 3;
BoundedBody BoundedGet(HttpClient& http, const std::string& url, std::size_t bufferSize,
                       int maxRedirects = kMaxRedirects);

}  // namespace hw
