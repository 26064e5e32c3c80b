#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/bounded_download.h"
#include "platform/http_client.h"
#include "platform/tsunami_message.h"

namespace hw {

// What one read of the tsunami list brought.
struct TsunamiFetchResult {
  bool answered = false;                 // a whole list came and was read
  std::vector<TsunamiMessage> messages;  // the list's tsunami messages, newest first
  int redirects = 0;                     // redirects followed, which the request budget counts
  std::u16string problem;                // why no list came, for the log
};

// How the main loop reads the tsunami list (code 552) of the report service, in a request of
// its own beside the report list; the worker implements it, tests use fakes.
class TsunamiFetchService {
 public:
  virtual ~TsunamiFetchService() = default;
  // Starts reading `url` on a thread of its own, following at most `maxRedirects` redirects;
  // false while a read runs or its result has not been taken.
  virtual bool Start(const std::string& url, int maxRedirects) = 0;
  // The result of a read that has ended, once.
  virtual std::optional<TsunamiFetchResult> TakeResult() = 0;
  // Aborts a running transfer and waits for the thread.
  virtual void Shutdown() = 0;
};

// Reads the tsunami list on a short-lived thread, as the fetch worker reads the report list:
// the result belongs to the thread until it publishes that it has ended (release), and the
// loop takes it only after seeing that (acquire).
class TsunamiFetchWorker final : public TsunamiFetchService {
 public:
  // The newest few messages are enough: the newest says what is in force.
  static constexpr int kListLength = 3;
  // Three messages of the agency's 66 regions are a few tens of kilobytes.
  static constexpr std::size_t kBodyLimit = std::size_t{512} * 1024;

  explicit TsunamiFetchWorker(HttpClient& http) : http_(http) {}
  ~TsunamiFetchWorker() override { Shutdown(); }
  TsunamiFetchWorker(const TsunamiFetchWorker&) = delete;
  TsunamiFetchWorker& operator=(const TsunamiFetchWorker&) = delete;

  bool Start(const std::string& url, int maxRedirects) override;
  std::optional<TsunamiFetchResult> TakeResult() override;
  void Shutdown() override;

  // The list's address below an API base address.
  static std::string RequestUrl(const std::string& apiBase);
  // What a download means: only a whole 2xx answer that is a JSON array is a list.
  static TsunamiFetchResult ReadAnswer(const BoundedBody& download);

 private:
  enum State : int { kIdle, kRunning, kEnded };

  HttpClient& http_;
  std::atomic<int> state_{kIdle};
  TsunamiFetchResult result_;
  std::thread thread_;
};

}  // namespace hw
