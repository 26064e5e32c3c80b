#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace hw {

// What a GET may wait for: the connection, and any gap in the data once it flows.
struct HttpGetOptions {
  std::string userAgent;
  int connectTimeoutMs = 4000;
  int receiveTimeoutMs = 4000;
};

// How far a GET came. kSessionFailed: no session could be made at all. kUrlFailed: the address
// could not be opened (name resolution, refused connection, time-out before the answer, TLS
// failure). kOpened: an answer began; whatever body arrived was handed to the sink, also when
// the transfer broke off later. No HTTP status is judged here.
enum class HttpStage { kSessionFailed, kUrlFailed, kOpened };

struct HttpResult {
  HttpStage stage = HttpStage::kUrlFailed;
  int error = 0;  // the client library's error code; 0 when the transfer completed
};

// Receives the body as it arrives; returning false ends the transfer early.
using HttpSink = std::function<bool(std::string_view chunk)>;

// A blocking HTTP(S) client for worker threads. Certificates are verified.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual HttpResult Get(const std::string& url, const HttpGetOptions& options,
                         const HttpSink& sink) = 0;
  // Makes every running and later transfer end at once (used at shutdown).
  virtual void AbortAll() = 0;
};

}  // namespace hw
