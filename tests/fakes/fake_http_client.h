#pragma once

#include <string>
#include <vector>

#include "platform/http_client.h"

namespace hw::test {

// Answers every GET with a scripted result and body, delivered in pieces of `piece` bytes.
class FakeHttpClient final : public HttpClient {
 public:
  HttpResult Get(const std::string& url, const HttpGetOptions& options,
                 const HttpSink& sink) override {
    urls.push_back(url);
    agents.push_back(options.userAgent);
    if (result.stage == HttpStage::kOpened) {
      for (std::size_t at = 0; at < body.size(); at += piece) {
        if (!sink(std::string_view(body).substr(at, piece))) break;
      }
    }
    return result;
  }
  void AbortAll() override { ++aborts; }

  HttpResult result{HttpStage::kOpened, 0, 200};
  std::string body;
  std::size_t piece = 16384;
  std::vector<std::string> urls;
  std::vector<std::string> agents;
  int aborts = 0;
};

}  // namespace hw::test
