#pragma once

#include <string>
#include <vector>

#include "platform/push_channel.h"

namespace hw::test {

// Records what is asked of the channel; the test plays the server through the event methods.
// Pings are answered at once while `answersPings` holds.
class FakePushChannel final : public PushChannel {
 public:
  void SetEvents(PushChannelEvents* e) override { events = e; }
  void Open(const std::string& url) override { opens.push_back(url); }
  void Close() override { ++closes; }
  void Ping() override {
    ++pings;
    if (answersPings) events->OnPushPong();
  }

  void Connect() { events->OnPushConnected(); }
  void Send(const std::string& text) { events->OnPushMessage(text); }
  void Drop(const std::string& reason = "refused") { events->OnPushClosed(reason); }

  PushChannelEvents* events = nullptr;
  std::vector<std::string> opens;
  int closes = 0;
  int pings = 0;
  bool answersPings = true;
};

}  // namespace hw::test
