#include <algorithm>
#include <climits>

#include "acquisition/last_known_list.h"
#include "eventlog/event_log.h"
#include "shell/fetch_config.h"
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
  const LastKnownList list =
      ReadLastKnownList(context_.WorkingFolder.LastKnownFile(), *context_.reports,
                        MakeFetchConfig(context_).paddings);
  if (!list.read) {
    context_.eventLog.WriteEventLog(LogText(list.problem));
    return;
  }
  context_.eventLog.WriteEventLog(
      LogText(u"前回の受信データを表示 … " + DayAndMinuteText(list.received)));
  SortObservationPoints(context_.reports->latest);
  context_.feed.shown = ReportSource::kLastKnown;
  context_.feed.shownReceived = list.received;
  composer_.ComposeFrame();
  ShowFeedState();
}

void CTremorlensDlg::RecordFeed(FetchStatusValue status) {
  FeedState& feed = context_.feed;
  const ReportSource source = context_.fetch.Detail.source;
  if (status == FetchDone) {
    feed.shown = source;
    feed.shownReceived = context_.loop.NowTime;
  }
  // Only a whole list counts as the service answering; the push channel's state does not.
  if ((status == FetchDone || status == FetchUnchanged) && source != ReportSource::kDemo) {
    feed.lastSuccess = context_.loop.NowTime;
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

void CTremorlensDlg::SetStale(bool stale) {
  FeedState& feed = context_.feed;
  if (stale == feed.stale) return;
  feed.stale = stale;
  if (stale) {
    context_.eventLog.WriteEventLog(
        LogText(u"受信途絶 … 最終受信 " +
                (feed.lastSuccess ? ClockText(*feed.lastSuccess) : std::u16string(u"なし"))));
  } else {
    context_.eventLog.WriteEventLog(LogText(u"受信再開"));
  }
  ShowFeedState();
}

void CTremorlensDlg::ShowFeedState() {
  const std::u16string text = TrayToolTipText(context_.feed, context_.reports->latest);
  if (text == shownToolTip_) return;
  shownToolTip_ = text;
  ports_.tray.SetToolTip(text);
}

}  // namespace hw
