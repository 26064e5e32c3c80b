#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace hw {

// What a GET may wait for: the connection, any gap in the data once it flows, and the whole
// transfer (0: no overall deadline). Redirects are followed up to `maxRedirects` times.
struct HttpGetOptions {
  std::string userAgent;
  int connectTimeoutMs = 4000;
  int receiveTimeoutMs = 4000;
  int totalTimeoutMs = 0;
  int maxRedirects = 3;
};

// How far a GET came. kSessionFailed: no session could be made at all. kUrlFailed: the address
// could not be opened (name resolution, refused connection, time-out before the answer, TLS
// failure). kOpened: an answer began; whatever body arrived was handed to the sink, also when
// the transfer broke off later (then `error` says why). No HTTP status is judged here; the
// caller gets it with what else the final answer announced.
enum class HttpStage { kSessionFailed, kUrlFailed, kOpened };

struct HttpResult {
  HttpStage stage = HttpStage::kUrlFailed;
  int error = 0;               // the client library's error code; 0 when the transfer completed
  int status = 0;              // HTTP status of the final answer; 0 when none came
  std::string errorText{};     // the client library's words for `error`
  int redirects = 0;           // redirects followed
  std::string finalUrl{};      // the address of the final answer (after the redirects)
  long long announced = -1;    // the final answer's Content-Length; -1 when it gave none
  int retryAfterSeconds = -1;  // the final answer's Retry-After; -1 when it gave none
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
