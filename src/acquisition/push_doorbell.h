#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/push_channel.h"

namespace hw {

// Listens to the report service's push channel and, when it announces a report (code 551)
// that is not on the window, asks for the ordinary fetch at once instead of waiting for the
// next poll. The push only rings the bell: the report itself is still read from the history
// list by the fetch worker, so the reader, the take-over and the composer stay as they are.
//
// The history list runs about half a second behind the push, so the bell rings kFirstRingMs
// after the announcement rather than at once (a fetch at once would find the old report and
// wait for the next ring). A fetch may still find the old report; the bell then rings again a
// couple of times, a short while apart, until the announced report is shown. The service does not
// send again what it pushed while the program was away, so every (re)connection reads the list at
// once.
//
// A connection is trusted only while it shows life: a handshake that does not complete within
// kHandshakeMs is given up, and a connection pings the server every kPingEveryMs and is taken
// for lost when the pong does not come within kPongWaitMs (polling then goes back to Reload).
// A lost connection is tried again after 1 s, doubling up to 5 minutes; a connection that
// lived a minute or more starts the doubling afresh.
class PushDoorbell final : private PushChannelEvents {
 public:
  struct Hooks {
    std::function<void()> ring;                    // fetch now
    std::function<void()> readNow;                 // fetch at once (a new connection)
    std::function<std::string()> shownId;          // the id of the report on the window
    std::function<void(std::u16string_view)> log;  // one event-log line
    // Every other message with a code (tsunami forecasts, early warnings), as it came.
    std::function<void(int code, std::string_view text)> otherMessage;
  };

  static constexpr std::int64_t kFirstRetryMs = 1000;
  static constexpr std::int64_t kLongestRetryMs = 300000;
  static constexpr std::int64_t kSettledMs = 60000;
  // From an announcement to its first ring, and the rings after the first one while the
  // announced report is still not shown, and their gap.
  static constexpr std::int64_t kFirstRingMs = 600;
  static constexpr int kExtraRings = 2;
  static constexpr std::int64_t kRingAgainMs = 1500;
  static constexpr std::int64_t kHandshakeMs = 10000;
  static constexpr std::int64_t kPingEveryMs = 5000;
  static constexpr std::int64_t kPongWaitMs = 5000;

  PushDoorbell(PushChannel& channel, Hooks hooks);
  ~PushDoorbell() override;
  PushDoorbell(const PushDoorbell&) = delete;
  PushDoorbell& operator=(const PushDoorbell&) = delete;

  // Called by the main loop with a monotonic time and the address to listen to (empty: none,
  // as in demo mode or with the push switched off), on every frame while connected: a message
  // counts as come at the last tick's time. A new address is connected at once.
  void Tick(std::int64_t nowMs, const std::string& url);

  bool Connected() const { return state_ == State::kConnected; }
  // When the next connection attempt is due while the channel is down (for tests).
  std::int64_t NextAttemptMs() const { return nextAttemptMs_; }

 private:
  enum class State { kIdle, kConnecting, kConnected };

  void OnPushConnected() override;
  void OnPushMessage(std::string_view text) override;
  void OnPushPong() override;
  void OnPushClosed(std::string_view reason) override;
  // Ends a connection (or an attempt) that shows no life, as if the server had closed it.
  void GiveUp(std::string_view reason);
  void Ended(std::string_view reason);
  void Log(std::u16string_view what, std::string_view detail) const;
  void Ring();

  PushChannel& channel_;
  Hooks hooks_;
  std::string url_;
  State state_ = State::kIdle;
  std::int64_t nowMs_ = 0;
  std::int64_t openedAtMs_ = 0;
  std::int64_t connectedAtMs_ = 0;
  std::int64_t lastPongMs_ = 0;   // the connection's last sign of life
  std::int64_t pingSentMs_ = -1;  // when the unanswered ping went out; -1: none
  std::int64_t nextAttemptMs_ = 0;
  std::int64_t retryMs_ = kFirstRetryMs;
  bool failureLogged_ = false;
  std::string lastSeenId_;
  std::string pendingId_;
  int ringsLeft_ = 0;
  std::int64_t nextRingMs_ = 0;
};

}  // namespace hw
