#include "platform/curl/curl_http_client.h"

#include <curl/curl.h>

#include <memory>

namespace hw {
namespace {

struct Transfer {
  const HttpSink* sink = nullptr;
  const std::atomic<bool>* aborted = nullptr;
  bool answered = false;  // a response header arrived
};

std::size_t OnHeader(char*, std::size_t size, std::size_t count, void* user) {
  static_cast<Transfer*>(user)->answered = true;
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

  Transfer transfer{&sink, &aborted_, false};
  CURL* h = easy.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_USERAGENT, options.userAgent.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeoutMs));
  // No data for the receive time-out (less than one byte per second over it) ends the
  // transfer, whether it is still waiting for the answer or in the middle of the body.
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME,
                   static_cast<long>((options.receiveTimeoutMs + 999) / 1000));
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);

  const CURLcode code = curl_easy_perform(h);
  if (code == CURLE_OK || code == CURLE_WRITE_ERROR) return {HttpStage::kOpened, 0};
  if (transfer.answered) return {HttpStage::kOpened, code};
  return {HttpStage::kUrlFailed, code};
}

}  // namespace hw
