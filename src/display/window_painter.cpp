#include "display/window_painter.h"

#include <algorithm>

#include "display/log_format.h"
#include "display/scroll_step.h"
#include "platform/blit.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

constexpr int kTickerWidth = 30000;
constexpr int kTickerStripHeight = 44;
constexpr int kMaxPacingWaits = 25;

void CopyPage(Surface& canvas, int from, int to) {
  BitBlt(canvas, PageX(to), 0, kPageWidth, kPageHeight, canvas, PageX(from), 0);
}

void BlendPage(Surface& canvas, int from, int to, int alpha) {
  AlphaBlend(canvas, PageX(to), 0, kPageWidth, kPageHeight, canvas, PageX(from), 0, kPageWidth,
             kPageHeight, alpha);
}

// The part of the display page the window shows, by [Config] Aspect: 16:9, 4:3 or 16:10.
Rect AspectSource(int aspect) {
  const int x = PageX(DisplayPage);
  switch (aspect) {
    case 1:
      return {x + 240, 0, x + 240 + 1440, kPageHeight};
    case 2:
      return {x + 96, 0, x + 96 + 1728, kPageHeight};
    default:
      return {x, 0, x + kPageWidth, kPageHeight};
  }
}

}  // namespace

PaintedFrame WindowPainter::OnPaint(bool minimized) {
  if (minimized) return {nullptr, {}, true};
  const int second = counters_.NowTime.tm_sec;
  const int type = in_.reports.latest.issueType;
  const bool animated = type >= Destination && type <= Foreign;
  UpdateAlphas(second, animated);
  AssembleDisplayPage(second, animated);
  DrawTicker();
  PaceFrame();
  if (in_.settings.Debug == 1) DrawDebugOverlay();
  if (counters_.TickerMoved == 0) ++counters_.PaintCount;
  counters_.TickerMoved = 0;
  return {&in_.surfaces[CanvasSurface].surface, AspectSource(in_.settings.Aspect), false};
}

void WindowPainter::UpdateAlphas(int second, bool animated) {
  if (!animated) {
    fadeAlpha_ = 0;
    blinkAlpha_ = 0;
    return;
  }
  const int step = ScrollStep(in_.settings.SpeedDraw);
  if (prevSecondMod10_ == 9 && second % 10 == 0) {
    fadeAlpha_ = 255;  // a new ten-second slot: the old view starts fully covering the new one
  } else if (fadeAlpha_ > 0) {
    fadeAlpha_ = std::max(0, fadeAlpha_ - step);
  }
  prevSecondMod10_ = second % 10;
  if (second % 5 < 2) {
    if (blinkAlpha_ < 255) blinkAlpha_ = std::min(255, blinkAlpha_ + step / 2);
  } else {
    blinkAlpha_ = std::max(0, blinkAlpha_ - step / 2);
  }
}

void WindowPainter::AssembleDisplayPage(int second, bool animated) {
  Surface& canvas = in_.surfaces[CanvasSurface].surface;
  if (!animated) {
    CopyPage(canvas, AreaPage, DisplayPage);
    return;
  }
  const int shindoMap = in_.settings.ShindoMap;
  int pulsePage = AreaPageNoEpicentre;
  if (shindoMap == 1) {
    CopyPage(canvas, AreaPage, DisplayPage);
  } else if (shindoMap == 2) {
    CopyPage(canvas, StationPage, DisplayPage);
    pulsePage = StationPageNoEpicentre;
  } else {
    // Ten seconds of each view in turn; at each switch the old view fades out over the new.
    const bool firstHalf = second % 20 < 10;
    const bool areaView = shindoMap == -1 ? !firstHalf : firstHalf;
    const int shown = areaView ? AreaPage : StationPage;
    const int other = areaView ? StationPage : AreaPage;
    CopyPage(canvas, shown, DisplayPage);
    if (fadeAlpha_ > 0) BlendPage(canvas, other, DisplayPage, fadeAlpha_);
    pulsePage = areaView ? AreaPageNoEpicentre : StationPageNoEpicentre;
  }
  if (in_.settings.EpiBlink != 1) return;
  const bool alternating = shindoMap != 1 && shindoMap != 2;
  if (alternating && in_.settings.SpeedDraw == 5) {
    BlendPage(canvas, pulsePage, DisplayPage, blinkAlpha_);
    return;
  }
  const Rect& r = in_.mapLayer.EpicentreRect();
  AlphaBlend(canvas, PageX(DisplayPage) + r.left, r.top, r.Width(), r.Height(), canvas,
             PageX(pulsePage) + r.left, r.top, r.Width(), r.Height(), blinkAlpha_);
}

void WindowPainter::DrawTicker() {
  const LatestReport& report = in_.reports.latest;
  const TextElement& box = in_.theme.text.InfoComment;
  if (report.commentLength == 0 || box.visible == 0 ||
      (box.visible == 2 && report.issueType != Foreign)) {
    return;
  }
  Surface& ticker = in_.surfaces[TickerSurface].surface;
  const int w = box.rcRight - box.rcLeft;
  const FontId font = in_.fonts[InfoCommentFont];
  const COLORREF colour = in_.theme.style.InfoComment.fontColor;
  const std::u16string_view text = report.commentText.View();
  // The strip is cleared with its blank lower rows and the comment drawn again only when what
  // it shows changed: the same text gives the same pixels.
  if (!tickerDrawn_ || text != tickerText_ || font != tickerFont_ || colour != tickerColour_) {
    BitBlt(ticker, 0, 0, kTickerWidth, kTickerStripHeight, ticker, 0, 45);
    Rect rect{w + 22, 0, kTickerWidth, kTickerStripHeight};
    in_.text.DrawText(ticker, font, colour, text, rect, DT_SINGLELINE | DT_VCENTER);
    tickerText_.assign(text);
    tickerFont_ = font;
    tickerColour_ = colour;
    tickerDrawn_ = true;
  }
  const int h = box.rcBottom - box.rcTop + 1;
  TransparentBlt(in_.surfaces[CanvasSurface].surface, box.rcLeft + PageX(DisplayPage), box.rcTop,
                 w + 1, h, ticker, counters_.TickerOffset, 0, w - 9, h, kTextKey);
}

void WindowPainter::PaceFrame() {
  // Bounded, so that a frame timer that stopped counting can never hold the window.
  for (int wait = 0; wait < kMaxPacingWaits; ++wait) {
    const int sub = phase_.FrameSubCount();
    if (sub <= 0 || sub > 22) return;
    phase_.WaitOneMillisecond();
  }
}

void WindowPainter::DrawDebugOverlay() {
  LayerSurface& canvas = in_.surfaces[CanvasSurface];
  canvas.font = in_.fonts[DebugFont];
  const FetchShared& fetch = in_.fetch;
  int top = 510;
  const auto line = [&](const std::u16string& text) {
    Rect rect{7690, top, 8380, top + 40};
    in_.text.DrawText(canvas.surface, canvas.font, canvas.textColor, text, rect,
                      DT_SINGLELINE | DT_VCENTER);
    top += 40;
  };
  const FetchStatusValue status = fetch.FetchStatus.load(std::memory_order_acquire);
  if (status == FetchIdle || status == FetchDone) {
    for (int n = 1; n <= 8; ++n) {
      const QuakeReport& slot = in_.reports.history[static_cast<std::size_t>(n)];
      line(FormatLogText("#%d [%d], %s, %s, M%3.1f", n, slot.maxScale,
                         Utf16ToUtf8(slot.eventDayTime.View()).c_str(),
                         Utf16ToUtf8(slot.hypocenterName.View()).c_str(), slot.magnitude));
    }
  } else {
    top += 8 * 40;
  }
  line(FormatLogText("Thread Flag ：%d", static_cast<int>(status)));
  line(FormatLogText("Thread End ：%d", static_cast<int>(counters_.LastFetchStatus)));
  line(FormatLogText("Thread Count ：%d", fetch.FetchCount.load()));
  line(FormatLogText("INet Err Flag ：%d", fetch.NetErrorStage.load()));
  line(FormatLogText("INet Err Num ：%d", fetch.LastNetError.load()));
  line(FormatLogText("更新周期 ：%d", counters_.FetchPhase));
}

}  // namespace hw
