#include "acquisition/tsunami_fetch.h"

#include <utility>

#include "platform/text_codec.h"

namespace hw {

bool TsunamiFetchWorker::Start(const std::string& url, int maxRedirects) {
  if (state_.load(std::memory_order_acquire) != kIdle) return false;
  // The previous read has published its end, so joining is immediate.
  if (thread_.joinable()) thread_.join();
  state_.store(kRunning, std::memory_order_relaxed);
  thread_ = std::thread([this, url, maxRedirects] {
    result_ = ReadAnswer(BoundedGet(http_, url, kBodyLimit + 1, maxRedirects));
    state_.store(kEnded, std::memory_order_release);
  });
  return true;
}

std::optional<TsunamiFetchResult> TsunamiFetchWorker::TakeResult() {
  if (state_.load(std::memory_order_acquire) != kEnded) return std::nullopt;
  TsunamiFetchResult result = std::move(result_);
  result_ = {};
  state_.store(kIdle, std::memory_order_relaxed);
  return result;
}

void TsunamiFetchWorker::Shutdown() {
  if (!thread_.joinable()) return;
  http_.AbortAll();
  thread_.join();
}

std::string TsunamiFetchWorker::RequestUrl(const std::string& apiBase) {
  return apiBase + "/v2/history?codes=552&limit=" + std::to_string(kListLength);
}

TsunamiFetchResult TsunamiFetchWorker::ReadAnswer(const BoundedBody& download) {
  const HttpResult& http = download.result;
  TsunamiFetchResult result;
  result.redirects = http.redirects;
  if (http.stage != HttpStage::kOpened) {
    result.problem = u"接続できません (" + Utf8ToUtf16(http.errorText) + u")";
  } else if (download.limitReached) {
    result.problem = u"応答が大きすぎます";
  } else if (http.error != 0 || (http.announced >= 0 &&
                                 download.received != static_cast<std::size_t>(http.announced))) {
    result.problem = u"応答が途中で切れました (" + Utf8ToUtf16(http.errorText) + u")";
  } else if (http.status < 200 || http.status > 299) {
    result.problem = u"HTTP " + Utf8ToUtf16(std::to_string(http.status));
  } else if (std::optional<std::vector<TsunamiMessage>> list = ReadTsunamiList(download.body)) {
    result.answered = true;
    result.messages = std::move(*list);
  } else {
    result.problem = u"応答が JSON の配列ではありません";
  }
  return result;
}

}  // namespace hw
