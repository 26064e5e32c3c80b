#pragma once

#include <atomic>

#include "platform/http_client.h"

namespace hw {

// HttpClient on libcurl's blocking easy interface: one handle per transfer, so transfers on
// different threads share nothing.
class CurlHttpClient final : public HttpClient {
 public:
  CurlHttpClient();
  ~CurlHttpClient() override;
  CurlHttpClient(const CurlHttpClient&) = delete;
  CurlHttpClient& operator=(const CurlHttpClient&) = delete;

  HttpResult Get(const std::string& url, const HttpGetOptions& options,
                 const HttpSink& sink) override;
  void AbortAll() override { aborted_.store(true); }

 private:
  std::atomic<bool> aborted_{false};
};

}  // namespace hw
