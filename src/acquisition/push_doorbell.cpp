#include "acquisition/push_doorbell.h"

#include <algorithm>
#include <utility>

#include "platform/push_message.h"
#include "platform/text_codec.h"

namespace hw {

PushDoorbell::PushDoorbell(PushChannel& channel, Hooks hooks)
    : channel_(channel), hooks_(std::move(hooks)) {
  channel_.SetEvents(this);
}

PushDoorbell::~PushDoorbell() {
  channel_.SetEvents(nullptr);
  if (state_ != State::kIdle) channel_.Close();
}

void PushDoorbell::Tick(std::int64_t nowMs, const std::string& url) {
  nowMs_ = nowMs;
  if (url != url_) {
    if (state_ != State::kIdle) {
      channel_.Close();
      if (state_ == State::kConnected) Log(u"切断しました", url_);
    }
    state_ = State::kIdle;
    url_ = url;
    retryMs_ = kFirstRetryMs;
    nextAttemptMs_ = nowMs;
    failureLogged_ = false;
  }
  if (!url_.empty() && state_ == State::kIdle && nowMs >= nextAttemptMs_) {
    state_ = State::kConnecting;
    openedAtMs_ = nowMs;
    channel_.Open(url_);
  } else if (state_ == State::kConnecting && nowMs - openedAtMs_ >= kHandshakeMs) {
    GiveUp(std::to_string(kHandshakeMs / 1000) + " 秒以内にハンドシェイクが終わりません");
  } else if (state_ == State::kConnected && pingSentMs_ >= 0 &&
             nowMs - pingSentMs_ >= kPongWaitMs) {
    GiveUp(std::to_string(kPongWaitMs / 1000) + " 秒以内に ping への pong が返りません");
  } else if (state_ == State::kConnected && pingSentMs_ < 0 &&
             nowMs - lastPongMs_ >= kPingEveryMs) {
    pingSentMs_ = nowMs;  // before the ping: an answer may come at once
    channel_.Ping();
  }

  if (pendingId_.empty()) return;
  if (hooks_.shownId() == pendingId_ || ringsLeft_ <= 0) {
    pendingId_.clear();
  } else if (nowMs >= nextRingMs_) {
    --ringsLeft_;
    Ring();
  }
}

void PushDoorbell::OnPushConnected() {
  if (state_ != State::kConnecting) return;
  state_ = State::kConnected;
  connectedAtMs_ = nowMs_;
  lastPongMs_ = nowMs_;
  pingSentMs_ = -1;
  failureLogged_ = false;
  Log(u"接続しました", url_);
  // What was pushed while the channel was down is not sent again: the list is read once.
  hooks_.readNow();
}

void PushDoorbell::OnPushPong() {
  if (state_ != State::kConnected) return;
  lastPongMs_ = nowMs_;
  pingSentMs_ = -1;
}

void PushDoorbell::OnPushMessage(std::string_view text) {
  const std::optional<PushNotice> notice = ReadPushMessage(text);
  if (notice && notice->code != 551 && hooks_.otherMessage) hooks_.otherMessage(notice->code, text);
  if (!notice || notice->code != 551 || notice->id.empty()) return;
  if (notice->id == lastSeenId_) return;
  lastSeenId_ = notice->id;
  if (hooks_.shownId() == notice->id) return;
  pendingId_ = notice->id;
  ringsLeft_ = 1 + kExtraRings;
  nextRingMs_ = nowMs_ + kFirstRingMs;
}

void PushDoorbell::OnPushClosed(std::string_view reason) {
  if (state_ == State::kIdle) return;
  Ended(reason);
}

void PushDoorbell::GiveUp(std::string_view reason) {
  channel_.Close();
  Ended(reason);
}

void PushDoorbell::Ended(std::string_view reason) {
  const bool wasConnected = state_ == State::kConnected;
  if (wasConnected && nowMs_ - connectedAtMs_ >= kSettledMs) retryMs_ = kFirstRetryMs;
  state_ = State::kIdle;
  nextAttemptMs_ = nowMs_ + retryMs_;
  const std::int64_t waited = retryMs_;
  retryMs_ = std::min(retryMs_ * 2, kLongestRetryMs);
  // One line per change of state: a run of failed attempts is logged once.
  if (!wasConnected && failureLogged_) return;
  failureLogged_ = true;
  const std::string detail = std::string(reason) + "; " + std::to_string(waited / 1000) +
                             " 秒後に再接続 (その間は定期取得)";
  Log(wasConnected ? u"切断されました" : u"接続できません", detail);
}

void PushDoorbell::Log(std::u16string_view what, std::string_view detail) const {
  hooks_.log(u"プッシュ通知 … " + std::u16string(what) + u" (" + Utf8ToUtf16(detail) + u")");
}

void PushDoorbell::Ring() {
  nextRingMs_ = nowMs_ + kRingAgainMs;
  hooks_.ring();
}

}  // namespace hw
