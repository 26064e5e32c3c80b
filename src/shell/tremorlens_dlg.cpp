#include "shell/tremorlens_dlg.h"

#include "platform/blit.h"
#include "shell/fetch_schedule.h"

namespace hw {

CTremorlensDlg::CTremorlensDlg(AppContext& context, PlatformServices& platform, ShellPorts& ports)
    : context_(context),
      platform_(platform),
      ports_(ports),
      composer_(context, platform.window, platform.text) {}

void CTremorlensDlg::SetFrameInterval() {
  context_.loop.FrameInterval = FrameIntervalFor(context_.settings.SpeedDraw);
}

PaintSource CTremorlensDlg::OnPaint() {
  // The display page shows the area page; the view alternation, fades, pulse and ticker are
  // laid over it here as they arrive.
  Surface& canvas = context_.surfaces[CanvasSurface].surface;
  BitBlt(canvas, PageX(DisplayPage), 0, kPageWidth, kPageHeight, canvas, PageX(AreaPage), 0);

  int x = PageX(DisplayPage);
  int width = kPageWidth;
  if (context_.settings.Aspect == 1) {
    x += 240;
    width = 1440;
  } else if (context_.settings.Aspect == 2) {
    x += 96;
    width = 1728;
  }

  LoopState& loop = context_.loop;
  if (loop.TickerMoved == 0) ++loop.PaintCount;
  loop.TickerMoved = 0;
  return {&canvas, {x, 0, x + width, kPageHeight}};
}

}  // namespace hw
