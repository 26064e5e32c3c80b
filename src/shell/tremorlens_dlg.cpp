#include "shell/tremorlens_dlg.h"

#include "platform/blit.h"
#include "platform/clock.h"
#include "shell/fetch_schedule.h"

namespace hw {

namespace {

PictureSettings PictureSettingsOf(const AppContext& context) {
  const AppSettings& settings = context.settings;
  return {settings.EpiFront,  settings.EpiBlink, settings.ShindoMap,
          settings.SpeedDraw, settings.Aspect,   settings.Debug};
}

ComposeInputs ComposeInputsOf(AppContext& context, TextRenderer& text) {
  return {*context.reports, context.theme, *context.reference,         context.surfaces,
          context.fonts,    text,          PictureSettingsOf(context), context.eventLog};
}

PaintInputs PaintInputsOf(AppContext& context, TextRenderer& text, const FrameComposer& composer) {
  return {context.surfaces,
          *context.reports,
          context.theme,
          context.fonts,
          text,
          PictureSettingsOf(context),
          context.fetch,
          context.feed,
          composer.mapLayer(),
          composer.compositions()};
}

PaintCounters PaintCountersOf(LoopState& loop) {
  return {loop.NowTime,    loop.TickerOffset, loop.TickerMoved,
          loop.PaintCount, loop.FetchPhase,   loop.LastFetchStatus};
}

}  // namespace

CTremorlensDlg::CTremorlensDlg(AppContext& context, PlatformServices& platform, ShellPorts& ports)
    : context_(context),
      platform_(platform),
      ports_(ports),
      composer_(ComposeInputsOf(context, platform.text), platform.window),
      painter_(PaintInputsOf(context, platform.text, composer_), PaintCountersOf(context.loop),
               *this) {}

void CTremorlensDlg::SetFrameInterval() {
  context_.loop.FrameInterval = FrameIntervalFor(context_.settings.SpeedDraw);
}

PaintSource CTremorlensDlg::OnPaint() {
  return painter_.OnPaint(platform_.window.IsIconic());
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
