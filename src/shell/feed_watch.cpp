#include <algorithm>
#include <climits>
#include <memory>

#include "acquisition/last_known_list.h"
#include "eventlog/event_log.h"
#include "shell/tray_tooltip.h"
#include "shell/tremorlens_dlg.h"

namespace hw {
namespace {

// A feed is stale after a minute without a whole list, or after five periods when fetches
// are rarer than that, or two while the push channel slows polling down.
constexpr int kStaleSeconds = 60;

std::u16string LogText(std::u16string_view text) {
  return std::u16string(kEventLogPrefix) + std::u16string(text);
}

}  // namespace

void CTremorlensDlg::ComposeLastKnownList() {
  auto kept = std::make_unique<ReportStore>();
  const LastKnownList list =
      ReadLastKnownList(context_.WorkingFolder.LastKnownFile(), *kept, context_.Paddings);
  if (!list.read) {
    context_.eventLog.WriteEventLog(LogText(list.problem));
    return;
  }
  context_.eventLog.WriteEventLog(
      LogText(u"前回の受信データを表示 … " + DayAndMinuteText(list.received)));
  display_.TakeOver(*kept, ReportSource::kLastKnown, list.received);
  streams_.AfterReport(display_, context_.fetch.LastShownId, ReportSource::kLastKnown);
  ShowFeedState();
}

void CTremorlensDlg::RecordFeed(FetchStatusValue status) {
  // Only a whole list counts as the service answering; the push channel's state does not.
  if ((status == FetchDone || status == FetchUnchanged) &&
      context_.fetch.Detail.source != ReportSource::kDemo) {
    context_.loop.LastListTime = context_.loop.NowTime;
    context_.loop.SecondsWithoutList = 0;
    SetStale(false);
  }
  ShowFeedState();
}

void CTremorlensDlg::WatchFeed() {
  LoopState& loop = context_.loop;
  if (context_.settings.Demo != 0) {
    // Demo files are no feed to wait for.
    loop.SecondsWithoutList = 0;
    SetStale(false);
    return;
  }
  if (loop.SecondsWithoutList < INT_MAX) ++loop.SecondsWithoutList;
  SetStale(loop.SecondsWithoutList >= StalePeriod());
}

int CTremorlensDlg::StalePeriod() const {
  return std::max({kStaleSeconds, 5 * context_.settings.Reload, 2 * PollPeriod()});
}

void CTremorlensDlg::RestartFeedWatch() {
  context_.loop.SecondsWithoutList = 0;
  SetStale(false);
}

FeedState CTremorlensDlg::Feed() const {
  FeedState feed = display_.origin();
  feed.stale = context_.loop.FeedStale;
  feed.lastSuccess = context_.loop.LastListTime;
  return feed;
}

void CTremorlensDlg::SetStale(bool stale) {
  LoopState& loop = context_.loop;
  if (stale == loop.FeedStale) return;
  loop.FeedStale = stale;
  if (stale) {
    context_.eventLog.WriteEventLog(
        LogText(u"受信途絶 … 最終受信 " +
                (loop.LastListTime ? ClockText(*loop.LastListTime) : std::u16string(u"なし"))));
  } else {
    context_.eventLog.WriteEventLog(LogText(u"受信再開"));
  }
  ShowFeedState();
}

void CTremorlensDlg::ShowFeedState() {
  const std::u16string text =
      TrayToolTipText(Feed(), display_.shown().latest) + warnings_.ToolTipLines();
  if (text == shownToolTip_) return;
  shownToolTip_ = text;
  ports_.tray.SetToolTip(text);
}

}  // namespace hw
