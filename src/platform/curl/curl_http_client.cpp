#include "platform/curl/curl_http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string_view>

namespace hw {
namespace {

struct Transfer {
  const HttpSink* sink = nullptr;
  const std::atomic<bool>* aborted = nullptr;
  bool answered = false;       // a response header arrived
  int retryAfterSeconds = -1;  // of the latest answer
};

// Retry-After in its seconds form; the date form (and anything else) gives -1.
int RetryAfterSeconds(std::string_view value) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
    value.remove_prefix(1);
  }
  long long seconds = 0;
  std::size_t digits = 0;
  for (; digits < value.size() && std::isdigit(static_cast<unsigned char>(value[digits]));
       ++digits) {
    seconds = std::min(seconds * 10 + (value[digits] - '0'), 1000000000LL);
  }
  const std::string_view rest = value.substr(digits);
  if (digits == 0 || rest.find_first_not_of(" \t\r\n") != std::string_view::npos) return -1;
  return static_cast<int>(seconds);
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  transfer->answered = true;
  const std::string_view line(data, size * count);
  constexpr std::string_view kRetryAfter = "retry-after:";
  if (line.starts_with("HTTP/")) {
    transfer->retryAfterSeconds = -1;  // a new answer (after a redirect) starts
  } else if (line.size() > kRetryAfter.size()) {
    bool same = true;
    for (std::size_t i = 0; i < kRetryAfter.size() && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(line[i])) == kRetryAfter[i];
    }
    if (same) transfer->retryAfterSeconds = RetryAfterSeconds(line.substr(kRetryAfter.size()));
  }
  return size * count;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  transfer->answered = true;
  const std::size_t bytes = size * count;
  // Returning less than was given ends the transfer: the sink has all it wants.
  return (*transfer->sink)(std::string_view(data, bytes)) ? bytes : 0;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->aborted->load() ? 1 : 0;
}

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

}  // namespace

CurlHttpClient::CurlHttpClient() {
  curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlHttpClient::~CurlHttpClient() {
  curl_global_cleanup();
}

HttpResult CurlHttpClient::Get(const std::string& url, const HttpGetOptions& options,
                               const HttpSink& sink) {
  const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) return {HttpStage::kSessionFailed, CURLE_FAILED_INIT};
  if (aborted_.load()) return {HttpStage::kUrlFailed, CURLE_ABORTED_BY_CALLBACK};

  Transfer transfer{&sink, &aborted_};
  CURL* h = easy.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_USERAGENT, options.userAgent.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, static_cast<long>(options.maxRedirects));
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeoutMs));
  // No data for the receive time-out (less than one byte per second over it) ends the
  // transfer, whether it is still waiting for the answer or in the middle of the body.
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME,
                   static_cast<long>((options.receiveTimeoutMs + 999) / 1000));
  // A trickle of data passes the receive time-out; the overall deadline ends it.
  if (options.totalTimeoutMs > 0) {
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeoutMs));
  }
  char errorBuffer[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);

  const CURLcode code = curl_easy_perform(h);
  HttpResult result;
  result.stage = code == CURLE_OK || transfer.answered ? HttpStage::kOpened : HttpStage::kUrlFailed;
  result.error = code;
  if (code != CURLE_OK) {
    result.errorText = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(code);
  }
  long status = 0;
  if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK) {
    result.status = static_cast<int>(status);
  }
  long redirects = 0;
  if (curl_easy_getinfo(h, CURLINFO_REDIRECT_COUNT, &redirects) == CURLE_OK) {
    result.redirects = static_cast<int>(redirects);
  }
  if (const char* effective = nullptr;
      curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective) {
    result.finalUrl = effective;
  }
  curl_off_t announced = -1;
  if (curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK) {
    result.announced = static_cast<long long>(announced);
  }
  result.retryAfterSeconds = transfer.retryAfterSeconds;
  return result;
}

}  // namespace hw
