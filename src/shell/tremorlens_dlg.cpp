#include "shell/tremorlens_dlg.h"

#include "platform/blit.h"
#include "platform/clock.h"
#include "shell/fetch_schedule.h"
#include "shell/warning_link.h"

namespace hw {

CTremorlensDlg::CTremorlensDlg(AppContext& context, Display& display, PlatformServices& platform,
                               ShellPorts& ports)
    : context_(context),
      platform_(platform),
      ports_(ports),
      display_(display),
      warnings_(
          display, context.eventLog, ports.notify, requestBudget_,
          [&context] { return ApiBaseInUse(context); }, [this] { ShowFeedState(); }),
      streams_(ports.streams, context.eventLog) {}

void CTremorlensDlg::SetFrameInterval() {
  context_.loop.FrameInterval = FrameIntervalFor(context_.settings.SpeedDraw);
}

PaintState CTremorlensDlg::PaintStateNow() const {
  const LoopState& loop = context_.loop;
  PaintState state;
  state.NowTime = loop.NowTime;
  state.TickerOffset = loop.TickerOffset;
  state.TickerMoved = loop.TickerMoved != 0;
  state.FetchPhase = loop.FetchPhase;
  state.LastFetchStatus = loop.LastFetchStatus;
  state.fetch = SnapshotOf(context_.fetch);
  state.feedStale = loop.FeedStale;
  state.lastSuccess = loop.LastListTime;
  state.window = platform_.window.PaintSize();
  return state;
}

void CTremorlensDlg::SyncDisplaySettings() {
  display_.UseSettings(PictureSettingsOf(context_.settings));
}

PaintSource CTremorlensDlg::OnPaint() {
  // Commands and the settings dialog change settings between ticks; the paint reads them now.
  SyncDisplaySettings();
  PaintState state = PaintStateNow();
  state.minimized = platform_.window.IsIconic();
  const PaintResult result = display_.Paint(state, this);
  if (result.painted) {
    if (result.counted) ++context_.loop.PaintCount;
    context_.loop.TickerMoved = 0;
  }
  return result.frame;
}

int CTremorlensDlg::FrameSubCount() {
  UpdateFrameCounters();
  return context_.loop.FrameSubCount;
}

void CTremorlensDlg::Wait(int milliseconds) {
  // One timer period is one millisecond at the period the frame timer uses.
  platform_.clock.SleepMs(milliseconds * context_.loop.TimerPeriod);
}

}  // namespace hw
