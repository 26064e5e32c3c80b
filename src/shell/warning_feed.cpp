#include "shell/warning_feed.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "acquisition/report_texts.h"
#include "eventlog/event_log.h"
#include "platform/bounded_download.h"
#include "platform/early_warning_message.h"
#include "platform/file_system.h"
#include "platform/push_message.h"
#include "platform/text_codec.h"
#include "platform/tsunami_message.h"

namespace hw {
namespace {

// The demo's stored messages are a few kilobytes.
constexpr std::size_t kDemoFileLimit = std::size_t{1024} * 1024;

std::u16string Number(std::size_t value) {
  return Utf8ToUtf16(std::to_string(value));
}

// The minute key of a local time, as report times have it.
std::int32_t MinuteKeyOf(const std::tm& time) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%04d%02d%02d%02d%02d%02d", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  return TimeKey(Utf8ToUtf16(digits));
}

// The second of the rotating demo's two-minute cycle (a leap second stays in the last).
int DemoSecondOf(const std::tm& time) {
  return std::min(WarningFeed::kDemoCycleSeconds - 1, time.tm_sec + (time.tm_min % 2) * 60);
}

}  // namespace

WarningFeed::WarningFeed(Display& display, EventLogWriter& log, NotificationService& notify,
                         RequestBudget& budget, std::function<std::string()> apiBase,
                         std::function<void()> changed)
    : display_(display),
      log_(log),
      notify_(notify),
      budget_(budget),
      apiBase_(std::move(apiBase)),
      changed_(std::move(changed)) {}

void WarningFeed::Log(std::u16string_view line) {
  log_.WriteEventLog(std::u16string(kEventLogPrefix) + std::u16string(line));
}

void WarningFeed::OnPushed(int code, std::string_view text, const WarningContext& context) {
  if (source_ != context.source) SwitchSource(context);
  if (code == 552) {
    if (context.settings.WarningTsunami != 1) return;
    if (const std::optional<TsunamiMessage> message = ReadTsunamiMessage(text)) {
      TakeOverTsunami(*message, true, true, context);
    } else {
      Log(u"津波予報 … 読めない配信を無視しました (" + Number(text.size()) + u" バイト)");
    }
    // The list is read too, a little later, when it holds the message.
    if (context.source != ReportSource::kDemo) {
      dueAtMs_ = std::min(dueAtMs_.value_or(INT64_MAX), context.nowMs + kFetchAfterPushMs);
    }
  } else if (code == 556) {
    if (context.settings.WarningEarly != 1) return;
    if (const std::optional<EarlyWarningMessage> message = ReadEarlyWarningMessage(text)) {
      TakeOverEarlyWarning(*message, context);
    } else {
      Log(u"緊急地震速報（警報） … 読めない配信を無視しました (" + Number(text.size()) +
          u" バイト)");
    }
  }
}

void WarningFeed::TakeOverTsunami(const TsunamiMessage& message, bool arrival, bool pushed,
                                  const WarningContext& context) {
  // Stored messages are shown whatever their age; the service's only while they are recent.
  const std::int32_t nowKey = context.source == ReportSource::kDemo ? 0 : MinuteKeyOf(context.now);
  const TsunamiBoard::Outcome outcome = tsunami_.TakeOver(message, context.nowMs, nowKey);
  if (outcome.result == TsunamiBoard::Result::kDuplicate && pushed) {
    Log(u"津波予報 … 重複した配信を無視しました (" + Utf8ToUtf16(message.id) + u")");
  }
  for (const std::u16string& line : outcome.log) {
    Log(line);
  }
  switch (outcome.result) {
    case TsunamiBoard::Result::kShown:
    case TsunamiBoard::Result::kLifted:
    case TsunamiBoard::Result::kEnded:
      ShowTsunami(arrival, context);
      break;
    default:
      break;
  }
}

void WarningFeed::ShowTsunami(bool arrival, const WarningContext& context) {
  display_.TakeOverTsunami(tsunami_.state());
  if (const std::optional<Notification> n = notifications_.ForTsunami(
          tsunami_.state(), arrival, context.source, context.settings, context.folder)) {
    notify_.Notify(*n);
  }
  changed_();
}

void WarningFeed::TakeOverEarlyWarning(const EarlyWarningMessage& message,
                                       const WarningContext& context) {
  const EarlyWarningBoard::Outcome outcome =
      warning_.TakeOver(message, context.nowMs, context.settings.WarningShowTest == 1);
  if (outcome.result == EarlyWarningBoard::Result::kDuplicate) {
    Log(u"緊急地震速報（警報） … 重複した配信を無視しました (" + Utf8ToUtf16(message.id) + u")");
  }
  for (const std::u16string& line : outcome.log) {
    Log(line);
  }
  switch (outcome.result) {
    case EarlyWarningBoard::Result::kShown:
    case EarlyWarningBoard::Result::kUpdated:
    case EarlyWarningBoard::Result::kCancelled:
      ShowEarlyWarning(context);
      break;
    default:
      break;
  }
}

void WarningFeed::ShowEarlyWarning(const WarningContext& context) {
  display_.TakeOverEarlyWarning(warning_.shown());
  if (warning_.shown()) {
    if (const std::optional<Notification> n = notifications_.ForEarlyWarning(
            *warning_.shown(), context.source, context.settings, context.folder)) {
      notify_.Notify(*n);
    }
  }
  changed_();
}

void WarningFeed::Tick(const WarningContext& context, bool newSecond) {
  if (source_ != context.source) SwitchSource(context);
  TakeOverTsunamiFetch(context);
  if (!newSecond) return;

  // What the settings no longer ask for goes from the picture.
  if (context.settings.WarningTsunami != 1 &&
      tsunami_.state().phase != TsunamiState::Phase::kNone) {
    tsunami_.Clear();
    ShowTsunami(false, context);
  }
  if (context.settings.WarningEarly != 1 && warning_.shown()) {
    warning_.Clear();
    ShowEarlyWarning(context);
  }
  if (const bool cancelled =
          warning_.shown() && warning_.shown()->phase == EarlyWarning::Phase::kCancelled;
      warning_.Tick(context.nowMs)) {
    Log(cancelled ? u"緊急地震速報（警報） … 取消の表示を終了しました"
                  : u"緊急地震速報（警報） … 3 分間続報がないため表示を終了しました");
    ShowEarlyWarning(context);
  }
  if (tsunami_.Tick(context.nowMs)) ShowTsunami(false, context);
  PlayDemo(context);

  if (fetch_ == nullptr || context.source == ReportSource::kDemo ||
      context.settings.WarningTsunami != 1) {
    return;
  }
  if (!context.pushConnected && context.nowMs >= nextPollMs_) {
    dueAtMs_ = std::min(dueAtMs_.value_or(INT64_MAX), context.nowMs);
  }
  if (dueAtMs_ && context.nowMs >= *dueAtMs_) StartTsunamiFetch(context);
}

void WarningFeed::AfterReport(const ReportHeader& report) {
  if (!warning_.EndForReport(report)) return;
  Log(u"緊急地震速報（警報） … 同じ地震の地震情報を表示したため表示を終了しました");
  display_.TakeOverEarlyWarning(std::nullopt);
  changed_();
}

void WarningFeed::Shutdown() {
  if (fetch_ != nullptr) fetch_->Shutdown();
}

void WarningFeed::SwitchSource(const WarningContext& context) {
  // Another source's warnings are not this one's: the picture and the memory start afresh.
  const bool shown = warning_.shown() || tsunami_.state().phase != TsunamiState::Phase::kNone;
  source_ = context.source;
  tsunami_.Clear();
  warning_.Clear();
  listRead_ = false;
  fetchFailureSaid_ = false;
  dueAtMs_ = context.nowMs;
  demo_.reset();
  if (shown) {
    display_.TakeOverTsunami(tsunami_.state());
    display_.TakeOverEarlyWarning(std::nullopt);
    changed_();
  }
}

void WarningFeed::StartTsunamiFetch(const WarningContext& context) {
  const std::string url = TsunamiFetchWorker::RequestUrl(apiBase_());
  const std::string address = RequestAddress(url);
  // The report list and this one share the service's 60 requests a minute; a read that finds
  // no room waits for the next second.
  const int room = budget_.Room(address, context.nowMs);
  if (room <= 0) return;
  if (!fetch_->Start(url, std::min(kMaxRedirects, room - 1))) return;
  budget_.Spend(address, context.nowMs);
  fetchAddress_ = address;
  fetchSource_ = context.source;
  dueAtMs_.reset();
  nextPollMs_ = context.nowMs + kPollMs;
}

void WarningFeed::TakeOverTsunamiFetch(const WarningContext& context) {
  if (fetch_ == nullptr) return;
  std::optional<TsunamiFetchResult> result = fetch_->TakeResult();
  if (!result) return;
  if (result->redirects > 0) budget_.Spend(fetchAddress_, context.nowMs, result->redirects);
  // A list of a source left meanwhile is not this source's.
  if (fetchSource_ != context.source || context.settings.WarningTsunami != 1) return;
  if (!result->answered) {
    if (!fetchFailureSaid_) Log(u"津波予報 … 取得できません: " + result->problem);
    fetchFailureSaid_ = true;
    dueAtMs_ = context.nowMs + kRetryMs;
    return;
  }
  if (fetchFailureSaid_) Log(u"津波予報 … 取得を再開しました");
  fetchFailureSaid_ = false;
  // The newest message says what is in force; a source's first list is shown, not announced.
  if (!result->messages.empty()) {
    TakeOverTsunami(result->messages.front(), listRead_, false, context);
  }
  listRead_ = true;
}

void WarningFeed::PlayDemo(const WarningContext& context) {
  if (context.source != ReportSource::kDemo || context.settings.Demo != 2) {
    demo_.reset();
    return;
  }
  const int second = DemoSecondOf(context.now);
  if (!demo_) {
    const std::optional<std::string> text =
        ReadFileBytes(context.folder.DemoWarningsFile(), kDemoFileLimit);
    demo_ = text ? ReadTimedMessages(*text, kDemoCycleSeconds) : std::nullopt;
    if (!demo_) {
      Log(u"デモの警報ファイルを読めません (" + context.folder.DemoWarningsFile() + u")");
      demo_.emplace();
    }
    demoSecond_ = second - 1;
  }
  if (second == demoSecond_) return;
  // The seconds since the last one played, across the end of the cycle; a new cycle plays its
  // messages again.
  std::vector<int> seconds;
  for (int s = demoSecond_ + 1; s != second + 1; ++s) {
    if (s == kDemoCycleSeconds) {
      s = 0;
      tsunami_.ForgetMessages();
      warning_.ForgetMessages();
    }
    seconds.push_back(s);
    if (s == second) break;
  }
  demoSecond_ = second;
  for (const int s : seconds) {
    for (const TimedMessage& message : *demo_) {
      if (message.second != s) continue;
      if (const std::optional<PushNotice> notice = ReadPushMessage(message.text)) {
        OnPushed(notice->code, message.text, context);
      }
    }
  }
}

std::u16string WarningFeed::ToolTipLines() const {
  std::u16string lines;
  if (const std::optional<EarlyWarning>& w = warning_.shown()) {
    lines += u"\n緊急地震速報（警報）";
    if (w->test) lines += u" 訓練/テスト";
    if (w->phase == EarlyWarning::Phase::kCancelled) {
      lines += u" 取消";
    } else {
      lines += u" 震源 " + w->regionName + u" 予測最大震度 " +
               ForecastRangeText(w->forecastFrom, w->forecastTo);
    }
  }
  const TsunamiState& t = tsunami_.state();
  if (t.phase == TsunamiState::Phase::kLifted) {
    lines += u"\n津波警報・注意報 解除";
  } else if (t.phase == TsunamiState::Phase::kInForce) {
    std::u16string counts;
    for (const TsunamiGrade grade :
         {TsunamiGrade::kMajorWarning, TsunamiGrade::kWarning, TsunamiGrade::kWatch}) {
      if (const int n = t.Count(grade); n > 0) {
        if (!counts.empty()) counts += u"・";
        counts +=
            std::u16string(TsunamiGradeName(grade)) + u" " + Number(static_cast<std::size_t>(n));
      }
    }
    lines += u"\n" + counts + u" 区域 発表中";
  }
  return lines;
}

}  // namespace hw
