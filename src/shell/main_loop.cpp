#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>
#include <string>

#include "acquisition/fetch_detail.h"
#include "acquisition/fetch_worker.h"
#include "display/scroll_step.h"
#include "eventlog/event_log.h"
#include "platform/bounded_download.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/frame_ticker.h"
#include "shell/fetch_config.h"
#include "shell/fetch_schedule.h"
#include "shell/tremorlens_dlg.h"

namespace hw {
namespace {

std::u16string LogText(std::u16string_view text) {
  return std::u16string(kEventLogPrefix) + std::u16string(text);
}

std::u16string NumberText(int value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%d", value);
  return std::u16string(digits, digits + std::char_traits<char>::length(digits));
}

}  // namespace

void CTremorlensDlg::OnTimer() {
  LoopState& loop = context_.loop;
  loop.NowTime = platform_.clock.LocalNow();
  SyncDisplaySettings();
  RunStartupStage();

  const bool newSecond = loop.PrevTime.tm_sec != loop.NowTime.tm_sec;
  // Every frame while connected, so that an announcement's time is its frame's and its ring
  // comes a fraction of a second later; else once a second.
  if (newSecond || PushConnected()) TickPushDoorbell();
  if (newSecond) ScheduleFetch();
  TakeOverFetchStatus();
  warnings_.Tick(WarningContextNow(), newSecond);

  if (loop.PaintCount == 1) {
    loop.PaintCount = -1;
    platform_.window.InvalidateRect();
  }
  UpdateFrameCounters();
  if (loop.PendingFrames >= 1) AdvanceTicker();
  if (loop.DragFollow == 1) FollowDrag();

  if (loop.PrevTime.tm_mday != loop.NowTime.tm_mday) {
    loop.StationRefreshSecond = RefreshSecond(loop.NowTime, 0);
  }
  if (newSecond && loop.NowTime.tm_hour == 3 &&
      loop.NowTime.tm_min * 60 + loop.NowTime.tm_sec == loop.StationRefreshSecond) {
    ports_.reference.StartStationRefresh();
  }
  TakeOverReferenceData();
  if (newSecond) CountDownHoldOff();
  if (newSecond && loop.StartupStage > 0) WatchFeed();
  TickStreams(newSecond);
  loop.PrevTime = loop.NowTime;
}

void CTremorlensDlg::RunStartupStage() {
  LoopState& loop = context_.loop;
  switch (loop.StartupStage) {
    case 0:
      RunStartupStage0();
      break;
    case 1:
      if (context_.settings.Ontop == 1) {
        platform_.window.SetWindowPos(InsertAfter::Topmost,
                                      SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
      } else if (context_.settings.Ontop == 2) {
        // Always at the back holds from the start.
        platform_.window.SetWindowPos(InsertAfter::Bottom, SWP_NOSIZE | SWP_NOMOVE);
      }
      loop.StartupStage = 2;
      break;
    case 2:
      loop.StationRefreshSecond = RefreshSecond(loop.NowTime, context_.random.Next());
      loop.StartupStage = 3;
      break;
    case 40:
      // A hidden frame that waited for the window manager's frame size waits no longer.
      if (context_.settings.FlameOff == 1 && (platform_.window.GetStyle() & kFrameStyleBits) != 0) {
        PlaceStoredRectangle();
      }
      platform_.window.SetLayeredAlpha(255);
      loop.StartupStage = 41;
      break;
    case 41:
      break;
    default:
      ++loop.StartupStage;
      break;
  }
}

void CTremorlensDlg::RunStartupStage0() {
  LoopState& loop = context_.loop;

  // The working folder was recorded by the window's initialisation.
  CreateFolder(context_.WorkingFolder.EventLogFolder());
  CreateFolder(context_.WorkingFolder.StorageFolder());
  EventLog& log = context_.eventLog;
  log.WriteEventLog(SeparatorLine(u'='));
  log.WriteEventLog(LogText(u"Log Start"));
  log.WriteEventLog(LogText(u"Initial Program Start"));
  log.WriteEventLog(SeparatorLine(u'='));
  for (const std::u16string& note : context_.StartupNotes) {
    log.WriteEventLog(LogText(note));
  }
  for (const std::u16string& problem : ports_.assets.LoadProblems()) {
    log.WriteEventLog(LogText(problem));
  }

  ApplyTrackingSizes();
  PlaceWindowAtStart();

  StartFrameTimer();
  loop.PrevTime = loop.NowTime;
  // What the last run received is shown, labelled as such, until the service answers.
  ComposeLastKnownList();
  StartFetch();
  loop.StartupStage = 1;
}

void CTremorlensDlg::StartFrameTimer() {
  LoopState& loop = context_.loop;
  FrameTicker& ticker = platform_.frameTicker;
  int minPeriod = 0;
  int maxPeriod = 0;
  const bool capsRead = ticker.GetDevCaps(minPeriod, maxPeriod);
  loop.TimerPeriod = TimerPeriodFor(capsRead, minPeriod, maxPeriod);
  ticker.Start(loop.TimerPeriod);
  frameClock_.Restart(ticker.ElapsedPeriods());
}

void CTremorlensDlg::ScheduleFetch() {
  LoopState& loop = context_.loop;
  const AppSettings& settings = context_.settings;
  const int reload = PollPeriod();
  // A fetch asked for at the next second starts whatever the period became meanwhile, and the
  // period then counts from it. A due fetch that the request budget does not allow yet stays
  // due: the phase (or the request) waits with it.
  const bool asked = loop.FetchSoon && loop.FetchHoldOff == 0;
  if ((asked || ShouldStartFetch(loop.FetchHoldOff, loop.FetchPhase, reload, settings.Demo)) &&
      !StartFetch()) {
    return;
  }
  if (loop.FetchSoon) loop.FetchPhase = reload - 1;
  loop.FetchSoon = false;
  loop.FetchPhase =
      AdvanceFetchPhase(loop.FetchPhase, reload, settings.TStart, loop.PrevTime.tm_sec);
}

bool CTremorlensDlg::StartFetch() {
  // Demo files cost the service nothing, and a start while a fetch is pending only counts.
  if (context_.settings.Demo <= 0 &&
      context_.fetch.FetchStatus.load(std::memory_order_acquire) == FetchIdle) {
    const std::string address = RequestAddress(FetchWorker::RequestUrl(MakeFetchConfig(context_)));
    const std::int64_t now = platform_.clock.MonotonicMs();
    const int room = requestBudget_.Room(address, now);
    if (room <= 0) {
      if (!budgetWaitSaid_) {
        budgetWaitSaid_ = true;
        const std::int64_t waitMs = requestBudget_.NextRoomMs(address, now) - now;
        context_.eventLog.WriteEventLog(LogText(BudgetWaitText(
            address, RequestBudget::kRequestsPerMinute, static_cast<int>((waitMs + 999) / 1000))));
      }
      return false;
    }
    budgetWaitSaid_ = false;
    requestBudget_.Spend(address, now);
    fetchAddress_ = address;
    // The redirects the fetch may follow come out of the same budget.
    context_.loop.FetchRedirectsAllowed = std::min(kMaxRedirects, room - 1);
  }
  ports_.fetch.StartFetchWorker();
  return true;
}

void CTremorlensDlg::TakeOverRedirects(FetchStatusValue status) {
  LoopState& loop = context_.loop;
  const FetchDetail& detail = context_.fetch.Detail;
  const bool answered = status == FetchDone || status == FetchUnchanged || status == FetchNoReports;
  if (detail.redirects <= 0) {
    if (answered) loop.RedirectedFetches = 0;
    return;
  }
  requestBudget_.Spend(fetchAddress_, platform_.clock.MonotonicMs(), detail.redirects);
  // A failure has backed off already; an answer that needed redirects backs off as one.
  if (!answered) return;
  ++loop.RedirectedFetches;
  const int holdOff =
      HoldOffAfterFailure(status, detail, loop.RedirectedFetches, context_.settings.Reload);
  loop.FetchHoldOff = std::max(loop.FetchHoldOff, holdOff);
  context_.eventLog.WriteEventLog(LogText(RedirectedText(detail)));
  if (holdOff > 0) context_.eventLog.WriteEventLog(LogText(HoldOffText(holdOff)));
}

void CTremorlensDlg::TakeOverFetchStatus() {
  LoopState& loop = context_.loop;
  FetchShared& fetch = context_.fetch;
  const FetchStatusValue status = fetch.FetchStatus.load(std::memory_order_acquire);
  if (status != FetchIdle) loop.LastFetchStatus = status;

  switch (status) {
    case FetchDone: {
      display_.TakeOver(ports_.fetch.Result(), fetch.Detail.source, loop.NowTime);
      warnings_.AfterReport(display_.shown().latest);
      fetch.LastShownId = fetch.NewestId;
      RecordFeed(status);
      NotifyNewReport();
      streams_.AfterReport(display_, fetch.LastShownId, fetch.Detail.source);
      if (!(context_.settings.Debug != 0 && context_.settings.Demo != 0)) loop.FetchHoldOff = 0;
      loop.TickerOffset = TickerStartOffset(context_.settings.SpeedScroll);
      loop.FetchFailures = 0;
      break;
    }
    case FetchUnchanged:
      loop.FetchFailures = 0;
      RecordFeed(status);
      break;
    case FetchNoReports:
      // The service answered, with nothing to show: what is shown stays.
      loop.FetchFailures = 0;
      context_.eventLog.WriteEventLog(LogText(NoReportsText(fetch.Detail)));
      break;
    case FetchOpenFailed:
      TakeOverFailure(status, u"接続エラー … ネット接続不良",
                      u"エラー番号 … " + NumberText(fetch.LastNetError.load()));
      break;
    case FetchBadBody:
      TakeOverFailure(status, u"接続エラー … サーバーエラー",
                      u"エラー対策 … 情報取得周期の数値を増やしてください");
      break;
    case FetchIdle:
    case FetchRunning:
      return;  // nothing to take over
    case FetchUrlFailed:
    default:
      // A value no worker writes is no result unless it is negative, which reads as a failure.
      if (static_cast<int>(status) >= 0) return;
      TakeOverFailure(status, u"接続エラー … URL取得失敗",
                      u"エラー番号 … " + NumberText(fetch.LastNetError.load()));
      break;
  }
  TakeOverRedirects(status);
  fetch.FetchStatus.store(FetchIdle, std::memory_order_release);
}

void CTremorlensDlg::TickStreams(bool newSecond) {
  // The settings are looked at once a second: the dialog's changes reach the outputs then.
  if (newSecond || !streamsConfigured_) {
    streams_.Configure(StreamConfigOf(context_.settings, context_.WorkingFolder));
    streamsConfigured_ = true;
  }
  const std::int64_t now = platform_.clock.MonotonicMs();
  // A minimised window paints nothing, yet the outputs go on: the picture is painted at the
  // page's size for them, as often as they take it.
  if (streams_.Active() && platform_.window.IsIconic() && now >= nextHiddenPaintMs_) {
    PaintState state = PaintStateNow();
    state.window = {};
    display_.Paint(state);
    nextHiddenPaintMs_ = now + 1000 / std::max(context_.settings.StreamRate, 1);
  }
  streams_.Tick(now, display_, Feed());
}

void CTremorlensDlg::NotifyNewReport() {
  // The source the fetch read from, whatever the mode is now.
  const ReportSource source = context_.fetch.Detail.source;
  if (const std::optional<Notification> notification =
          notificationGate_.TakeOver(context_.fetch.LastShownId, display_.shown().latest, source,
                                     context_.settings, context_.WorkingFolder)) {
    ports_.notify.Notify(*notification);
  }
}

void CTremorlensDlg::TakeOverFailure(FetchStatusValue status, std::u16string_view cause,
                                     std::u16string_view advice) {
  LoopState& loop = context_.loop;
  const FetchDetail& detail = context_.fetch.Detail;
  // Demo files are read every second whatever happens; only the service is backed off from.
  loop.FetchFailures = context_.settings.Demo >= 1 ? 0 : loop.FetchFailures + 1;
  const int holdOff =
      HoldOffAfterFailure(status, detail, loop.FetchFailures, context_.settings.Reload);
  if (holdOff > 0) loop.FetchHoldOff = holdOff;

  EventLog& log = context_.eventLog;
  log.WriteEventLog(SeparatorLine(u'*'));
  log.WriteEventLog(LogText(cause));
  log.WriteEventLog(LogText(advice));
  if (const std::u16string what = FetchDetailText(detail); !what.empty()) {
    log.WriteEventLog(LogText(what));
    if (holdOff > 0) log.WriteEventLog(LogText(HoldOffText(holdOff)));
  }
  log.WriteEventLog(SeparatorLine(u'*'));
}

void CTremorlensDlg::UpdateFrameCounters() {
  LoopState& loop = context_.loop;
  if (!platform_.frameTicker.Running()) return;
  frameClock_.Advance(platform_.frameTicker.ElapsedPeriods(), loop.FrameInterval,
                      loop.FrameSubCount, loop.PendingFrames);
}

void CTremorlensDlg::AdvanceTicker() {
  LoopState& loop = context_.loop;
  const TextElement& comment = display_.theme().text.InfoComment;
  const std::int64_t end = std::int64_t{display_.shown().latest.commentLength} * 61 / 2 -
                           comment.rcLeft + comment.rcRight + 6;
  if (end < loop.TickerOffset) {
    loop.TickerOffset = 0;
  } else {
    const int step = ScrollStep(context_.settings.SpeedDraw) / 16;
    const std::int64_t offset =
        loop.TickerOffset + std::int64_t{step} * loop.PendingFrames * context_.settings.SpeedScroll;
    loop.TickerOffset = static_cast<int>(std::clamp<std::int64_t>(offset, INT_MIN, INT_MAX));
  }
  loop.PendingFrames = 0;
  // Only what the paint would change is repainted; a paint that would change nothing is left
  // out, with the counters as it would have left them.
  const WindowPainter::Repaint repaint = display_.PendingRepaint(PaintStateNow());
  if (repaint.damage.Width() <= 0 || repaint.damage.Height() <= 0) {
    loop.TickerMoved = 0;
    return;
  }
  loop.TickerMoved = 1;
  platform_.window.InvalidateArea(repaint.damage, repaint.source);
}

void CTremorlensDlg::FollowDrag() {
  LoopState& loop = context_.loop;
  WindowHost& window = platform_.window;
  const Point cursor = window.GetCursorPos();
  const int dx = cursor.x - loop.DragStartCursor.x;
  const int dy = cursor.y - loop.DragStartCursor.y;
  WindowPlacement placement = loop.DragStartPlacement;
  placement.normal = {placement.normal.left + dx, placement.normal.top + dy,
                      placement.normal.right + dx, placement.normal.bottom + dy};
  window.SetWindowPlacement(placement);

  const Rect framed = FramedWindowRect();
  AppSettings& settings = context_.settings;
  settings.Top = framed.top;
  settings.Left = framed.left;
  settings.Bottom = framed.bottom;
  settings.Right = framed.right;
}

void CTremorlensDlg::TakeOverReferenceData() {
  // The refresh ran on its own thread; the table is read again once it has ended, whether or
  // not it replaced the file.
  if (ports_.reference.TakeOverStationRefresh()) ports_.reference.LoadStations();
  for (const std::u16string& line : ports_.reference.TakeLogLines()) {
    context_.eventLog.WriteEventLog(LogText(line));
  }
}

void CTremorlensDlg::CountDownHoldOff() {
  LoopState& loop = context_.loop;
  if (context_.settings.Demo >= 1) loop.FetchHoldOff = 0;
  if (context_.settings.Debug == 1) {
    loop.FetchHoldOff = 0;
  } else if (loop.FetchHoldOff > 0) {
    --loop.FetchHoldOff;
  }
}

}  // namespace hw
