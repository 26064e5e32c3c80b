#include "display/window_painter.h"

#include <algorithm>

#include "display/log_format.h"
#include "display/scroll_step.h"
#include "display/sprite_stamp.h"
#include "platform/blit.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

constexpr int kTickerWidth = 30000;
constexpr int kTickerStripHeight = 44;
constexpr int kMaxPacingWaits = 25;
constexpr int kPacingPhase = 22;
constexpr Rect kWholePage{0, 0, kPageWidth, kPageHeight};
// The label's lines and the room around them.
constexpr int kLabelLineHeight = 42;
constexpr int kLabelPadding = 12;
constexpr int kLabelMargin = 8;

bool IsEmpty(const Rect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

Rect Union(const Rect& a, const Rect& b) {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Copies (alpha < 0) or blends `area` (page coordinates) of page `from` onto the display
// page, only where it meets `clip`.
void PagePart(Surface& canvas, int from, const Rect& area, const Rect& clip, int alpha = -1) {
  const Rect r = Intersect(area, clip);
  if (IsEmpty(r)) return;
  const int dx = PageX(DisplayPage) + r.left;
  const int sx = PageX(from) + r.left;
  if (alpha < 0) {
    BitBlt(canvas, dx, r.top, r.Width(), r.Height(), canvas, sx, r.top);
  } else {
    AlphaBlend(canvas, dx, r.top, r.Width(), r.Height(), canvas, sx, r.top, r.Width(), r.Height(),
               alpha);
  }
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

bool WindowPainter::Animated() const {
  if (in_.cover != nullptr) return false;
  const int type = in_.reports.latest.issueType;
  return type >= Destination && type <= Foreign;
}

WindowPainter::Alphas WindowPainter::NextAlphas(int second) const {
  Alphas next{fadeAlpha_, blinkAlpha_, prevSecondMod10_};
  if (!Animated()) return {0, 0, prevSecondMod10_};
  const int step = ScrollStep(in_.settings.SpeedDraw);
  if (next.prevSecondMod10 == 9 && second % 10 == 0) {
    next.fade = 255;  // a new ten-second slot: the old view starts fully covering the new one
  } else if (next.fade > 0) {
    next.fade = std::max(0, next.fade - step);
  }
  next.prevSecondMod10 = second % 10;
  if (second % 5 < 2) {
    if (next.blink < 255) next.blink = std::min(255, next.blink + step / 2);
  } else {
    next.blink = std::max(0, next.blink - step / 2);
  }
  return next;
}

FetchSnapshot SnapshotOf(const FetchShared& fetch) {
  return {fetch.FetchStatus.load(std::memory_order_acquire), fetch.FetchCount.load(),
          fetch.NetErrorStage.load(), fetch.LastNetError.load()};
}

PictureLabel WindowPainter::LabelOf(const PaintState& state) const {
  FeedState feed = in_.origin;
  feed.stale = state.feedStale;
  feed.lastSuccess = state.lastSuccess;
  return PictureLabelFor(feed);
}

WindowPainter::FrameKey WindowPainter::KeyFor(const PaintState& state, const Alphas& alphas) const {
  const int second = state.NowTime.tm_sec;
  const PictureSettings& s = in_.settings;
  FrameKey key;
  key.compositions = in_.compositions;
  key.animated = Animated();
  key.shownPage = AreaPage;
  key.otherPage = AreaPage;
  key.aspect = s.Aspect;
  key.debug = s.Debug == 1;
  key.window = state.window;
  key.label = LabelOf(state);
  key.cover = in_.cover != nullptr;
  key.ticker = !key.cover && TickerShown();
  key.tickerOffset = key.ticker ? state.TickerOffset : 0;
  if (!key.animated) return key;

  key.pulsePage = AreaPageNoEpicentre;
  if (s.ShindoMap == 2) {
    key.shownPage = StationPage;
    key.pulsePage = StationPageNoEpicentre;
  } else if (s.ShindoMap != 1) {
    // Ten seconds of each view in turn; at each switch the old view fades out over the new.
    const bool firstHalf = second % 20 < 10;
    const bool areaView = s.ShindoMap == -1 ? !firstHalf : firstHalf;
    key.shownPage = areaView ? AreaPage : StationPage;
    key.otherPage = areaView ? StationPage : AreaPage;
    key.fadeAlpha = alphas.fade;
    key.pulsePage = areaView ? AreaPageNoEpicentre : StationPageNoEpicentre;
  }
  if (s.EpiBlink == 1) {
    key.pulse = true;
    key.blinkAlpha = alphas.blink;
    key.pulseWholePage = s.ShindoMap != 1 && s.ShindoMap != 2 && s.SpeedDraw == 5;
    key.pulseRect = key.pulseWholePage ? kWholePage : in_.mapLayer.EpicentreRect();
  }
  return key;
}

bool WindowPainter::TickerShown() const {
  const LatestReport& report = in_.reports.latest;
  const TextElement& box = in_.theme.text.InfoComment;
  return report.commentLength != 0 && box.visible != 0 &&
         (box.visible != 2 || report.issueType == Foreign);
}

Rect WindowPainter::TickerBox() const {
  const TextElement& box = in_.theme.text.InfoComment;
  const int w = box.rcRight - box.rcLeft;
  const int h = box.rcBottom - box.rcTop + 1;
  return {box.rcLeft, box.rcTop, box.rcLeft + w + 1, box.rcTop + h};
}

Rect WindowPainter::DamageSince(const FrameKey& key) const {
  if (!shown_ || key.debug) return kWholePage;
  // The ticker's position and the pulse's strength change a part of the page each; anything
  // else changes the whole.
  FrameKey moved = *shown_;
  moved.tickerOffset = key.tickerOffset;
  moved.blinkAlpha = key.blinkAlpha;
  if (!(moved == key)) return kWholePage;
  Rect damage;
  if (shown_->tickerOffset != key.tickerOffset) damage = TickerBox();
  if (shown_->blinkAlpha != key.blinkAlpha) damage = Union(damage, key.pulseRect);
  damage = Intersect(damage, kWholePage);
  if (IsEmpty(damage)) return {};
  // The label is laid over whatever lies under it, so it is assembled whole or not at all.
  const Rect label = LabelBox(key.label, key.aspect);
  if (!IsEmpty(Intersect(damage, label))) damage = Union(damage, label);
  return damage;
}

Rect WindowPainter::PendingDamage(const PaintState& state) const {
  const int second = state.NowTime.tm_sec;
  if (Animated() && second % 10 != prevSecondMod10_) return kWholePage;
  return DamageSince(KeyFor(state, NextAlphas(second)));
}

WindowPainter::Repaint WindowPainter::PendingRepaint(const PaintState& state) const {
  const Rect damage = PendingDamage(state);
  const Rect source = AspectSource(in_.settings.Aspect);
  if (IsEmpty(damage)) return {{}, source};
  const Rect onCanvas{damage.left + PageX(DisplayPage), damage.top,
                      damage.right + PageX(DisplayPage), damage.bottom};
  return {Intersect(onCanvas, source), source};
}

PaintResult WindowPainter::OnPaint(const PaintState& state, FramePhase* pacing) {
  if (state.minimized) return {{nullptr, {}, {}, true}, false, false};
  const int second = state.NowTime.tm_sec;
  const Alphas alphas = NextAlphas(second);
  fadeAlpha_ = alphas.fade;
  blinkAlpha_ = alphas.blink;
  prevSecondMod10_ = alphas.prevSecondMod10;
  const FrameKey key = KeyFor(state, alphas);
  Rect damage = DamageSince(key);
  const Rect source = AspectSource(key.aspect);
  // A window of exactly the shown part's size shows the display page in place; any other size
  // gets the picture made at its own size.
  const bool atWindowSize = key.window.width > 0 && key.window.height > 0 &&
                            !(key.window == Size{source.Width(), source.Height()});
  Rect windowDamage;
  if (atWindowSize) {
    const Rect pageSource{source.left - PageX(DisplayPage), 0, source.right - PageX(DisplayPage),
                          kPageHeight};
    if (scaled_.Configure(key.window, pageSource, key.compositions)) damage = kWholePage;
    if (!IsEmpty(damage)) {
      windowDamage = scaled_.ToWindow(damage);
      if (key.debug || key.pulseWholePage || key.cover) {
        // The overlay, a pulse of the whole page over the fade, or a page shown instead of the
        // views (which have no stretched copies) covers much of the picture: the page is made
        // whole and stretched.
        Assemble(key, damage);
        if (key.ticker) DrawTicker(key);
        const Rect label = LabelBox(key.label, key.aspect);
        if (!IsEmpty(label)) DrawLabel(key.label, label);
      } else {
        AssembleScaled(key, damage, windowDamage);
      }
    }
  } else if (!IsEmpty(damage)) {
    Assemble(key, damage);
    // The ticker's box and the label lie wholly inside any damage that meets them.
    if (key.ticker && !IsEmpty(Intersect(damage, TickerBox()))) DrawTicker(key);
    const Rect label = LabelBox(key.label, key.aspect);
    if (!IsEmpty(Intersect(damage, label))) DrawLabel(key.label, label);
  }
  if (pacing != nullptr) PaceFrame(*pacing);
  if (key.debug) DrawDebugOverlay(state);
  shown_ = key;
  if (!IsEmpty(damage)) ++pictureSerial_;
  if (!atWindowSize) {
    pageWhole_ = true;
  } else if (!IsEmpty(damage)) {
    pageWhole_ = false;
  }
  if (atWindowSize) {
    if ((key.debug || key.pulseWholePage || key.cover) && !IsEmpty(windowDamage)) {
      scaled_.StretchFromPage(in_.surfaces[CanvasSurface].surface, DisplayPage, windowDamage);
    }
    return {{&scaled_.picture(), {0, 0, key.window.width, key.window.height}, windowDamage, false},
            true,
            !state.TickerMoved};
  }
  const Rect changed{damage.left + PageX(DisplayPage), damage.top,
                     damage.right + PageX(DisplayPage), damage.bottom};
  return {{&in_.surfaces[CanvasSurface].surface, source, Intersect(changed, source), false},
          true,
          !state.TickerMoved};
}

WindowPainter::PagePicture WindowPainter::PictureAtPageSize() {
  if (!shown_) return {};
  const FrameKey& key = *shown_;
  if (!pageWhole_) {
    Assemble(key, kWholePage);
    if (key.ticker) DrawTicker(key);
    const Rect label = LabelBox(key.label, key.aspect);
    if (!IsEmpty(label)) DrawLabel(key.label, label);
    pageWhole_ = true;
  }
  return {&in_.surfaces[CanvasSurface].surface, AspectSource(key.aspect), pictureSerial_};
}

void WindowPainter::AssembleScaled(const FrameKey& key, const Rect& damage,
                                   const Rect& windowRect) {
  if (IsEmpty(windowRect)) return;
  const Surface& canvas = in_.surfaces[CanvasSurface].surface;
  Surface& out = scaled_.picture();
  const Rect& r = windowRect;
  const Surface& shown = scaled_.Page(canvas, key.shownPage);
  const Surface* other = key.fadeAlpha > 0 ? &scaled_.Page(canvas, key.otherPage) : nullptr;
  // Band by band, as on the page, so that the fade blends over rows still in the cache.
  constexpr int kBandRows = 32;
  for (int top = r.top; top < r.bottom; top += kBandRows) {
    const int rows = std::min(kBandRows, r.bottom - top);
    BitBlt(out, r.left, top, r.Width(), rows, shown, r.left, top);
    if (other != nullptr) {
      AlphaBlend(out, r.left, top, r.Width(), rows, *other, r.left, top, r.Width(), rows,
                 key.fadeAlpha);
    }
  }
  // The pulse's rectangle (it blends over the fade, and its edge cuts window pixels), the
  // ticker and the label are made on the page at its size, over the page's own picture with a
  // margin the stretch reads, and those parts are stretched: first every part is assembled,
  // then drawn, so that one part's margin never covers another's text.
  const Rect pulse = key.pulse ? Intersect(key.pulseRect, kWholePage) : Rect{};
  const Rect ticker = key.ticker ? TickerBox() : Rect{};
  const Rect label = LabelBox(key.label, key.aspect);
  const int margin = scaled_.FootprintMargin();
  const auto hit = [&](const Rect& box) {
    return !IsEmpty(box) && !IsEmpty(Intersect(damage, box));
  };
  for (const Rect& box : {pulse, ticker, label}) {
    if (!hit(box)) continue;
    const Rect grown{box.left - margin, box.top - margin, box.right + margin, box.bottom + margin};
    Assemble(key, Intersect(grown, kWholePage));
  }
  if (hit(ticker)) DrawTicker(key);
  if (hit(label)) DrawLabel(key.label, label);
  for (const Rect& box : {pulse, ticker, label}) {
    if (hit(box)) {
      scaled_.StretchFromPage(canvas, DisplayPage, Intersect(scaled_.ToWindow(box), r));
    }
  }
}

void WindowPainter::Assemble(const FrameKey& key, const Rect& damage) {
  // Band by band, so that the rows copied are still in the cache when the fade and the pulse
  // blend over them: the page's memory is crossed once instead of once per step.
  constexpr int kBandRows = 32;
  Surface& canvas = in_.surfaces[CanvasSurface].surface;
  for (int top = damage.top; top < damage.bottom; top += kBandRows) {
    const Rect band{damage.left, top, damage.right, std::min(top + kBandRows, damage.bottom)};
    if (key.cover) {
      BitBlt(canvas, PageX(DisplayPage) + band.left, band.top, band.Width(), band.Height(),
             *in_.cover, band.left, band.top);
      continue;
    }
    PagePart(canvas, key.shownPage, kWholePage, band);
    if (key.fadeAlpha > 0) PagePart(canvas, key.otherPage, kWholePage, band, key.fadeAlpha);
    if (key.pulse) PagePart(canvas, key.pulsePage, key.pulseRect, band, key.blinkAlpha);
  }
}

void WindowPainter::DrawTicker(const FrameKey& key) {
  const LatestReport& report = in_.reports.latest;
  const TextElement& box = in_.theme.text.InfoComment;
  Surface& ticker = in_.surfaces[TickerSurface].surface;
  const int w = box.rcRight - box.rcLeft;
  const FontId font = in_.fonts[InfoCommentFont];
  const COLORREF colour = in_.theme.style.InfoComment.fontColor;
  const std::u16string_view text = report.commentText.View();
  // The comment is drawn again only when what it shows changed: the same text gives the same
  // pixels. Its strip is as wide as the comment needs (up to kTickerWidth, where the text is
  // cut as before), so that a short comment keeps no 10 MB strip; a strip made anew, or filled,
  // is all key colour, which the copy below leaves out, as it leaves out what lies beyond the
  // strip.
  if (!tickerDrawn_ || text != tickerText_ || font != tickerFont_ || colour != tickerColour_) {
    Rect measured{0, 0, 0, 0};
    in_.text.DrawText(in_.surfaces[CanvasSurface].surface, font, colour, text, measured,
                      DT_SINGLELINE | DT_CALCRECT);
    constexpr int kSlack = 64;
    const int width = std::clamp(w + 22 + std::max(measured.Width(), 0) + kSlack, 1, kTickerWidth);
    if (ticker.width() != width || ticker.height() != kTickerStripHeight) {
      ticker = Surface(width, kTickerStripHeight);
    }
    ticker.Fill(kTextKey);
    Rect rect{w + 22, 0, width, kTickerStripHeight};
    in_.text.DrawText(ticker, font, colour, text, rect, DT_SINGLELINE | DT_VCENTER);
    tickerText_.assign(text);
    tickerFont_ = font;
    tickerColour_ = colour;
    tickerDrawn_ = true;
  }
  const int h = box.rcBottom - box.rcTop + 1;
  TransparentBlt(in_.surfaces[CanvasSurface].surface, box.rcLeft + PageX(DisplayPage), box.rcTop,
                 w + 1, h, ticker, key.tickerOffset, 0, w - 9, h, kTextKey);
}

Rect WindowPainter::LabelBox(const PictureLabel& label, int aspect) const {
  if (label.lines.empty()) return {};
  if (label == measuredLabel_ && aspect == measuredAspect_) return measuredBox_;
  int width = 0;
  for (const std::u16string& line : label.lines) {
    Rect measured{};
    in_.text.DrawText(in_.surfaces[CanvasSurface].surface, in_.fonts[LabelFont], kWhite, line,
                      measured, DT_SINGLELINE | DT_CALCRECT);
    width = std::max(width, measured.Width());
  }
  const Rect shown = AspectSource(aspect);
  const int right = shown.right - PageX(DisplayPage) - kLabelMargin;
  const int left =
      std::max(right - width - 2 * kLabelPadding, shown.left - PageX(DisplayPage) + kLabelMargin);
  const int lines = static_cast<int>(label.lines.size());
  measuredLabel_ = label;
  measuredAspect_ = aspect;
  measuredBox_ = {left, kLabelMargin, right,
                  kLabelMargin + lines * kLabelLineHeight + kLabelPadding / 2};
  return measuredBox_;
}

void WindowPainter::DrawLabel(const PictureLabel& label, const Rect& box) {
  // Stored reports, the sandbox's test reports and a feed that stopped answering are never
  // mistaken for a live picture: the picture says which they are.
  Surface& canvas = in_.surfaces[CanvasSurface].surface;
  const int x = PageX(DisplayPage) + box.left;
  Surface shade(1, 1);
  shade.Fill(label.failure ? MakeColorRef(0x8c, 0x10, 0x18) : 0);
  if (const std::optional<COLORREF> key = OverlayKeyOf(in_.settings)) {
    ClearKeyOnCanvas(canvas, {x, box.top, x + box.Width(), box.bottom}, *key);
  }
  AlphaBlend(canvas, x, box.top, box.Width(), box.Height(), shade, 0, 0, 1, 1,
             label.failure ? 220 : 170);
  const COLORREF colour = label.failure ? kWhite : MakeColorRef(0xff, 0xd8, 0x4d);
  int top = box.top + kLabelPadding / 4;
  for (const std::u16string& line : label.lines) {
    Rect rect{x + kLabelPadding, top, x + box.Width() - kLabelPadding, top + kLabelLineHeight};
    in_.text.DrawText(canvas, in_.fonts[LabelFont], colour, line, rect,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    top += kLabelLineHeight;
  }
}

void WindowPainter::PaceFrame(FramePhase& phase) {
  // Waits while 0 < FrameSubCount ≤ 22, sleeping the periods that are still missing at once
  // rather than one at a time. Bounded, so that a frame timer that stopped counting can never
  // hold the window.
  for (int wait = 0; wait < kMaxPacingWaits; ++wait) {
    const int sub = phase.FrameSubCount();
    if (sub <= 0 || sub > kPacingPhase) return;
    phase.Wait(kPacingPhase + 1 - sub);
  }
}

void WindowPainter::DrawDebugOverlay(const PaintState& state) {
  LayerSurface& canvas = in_.surfaces[CanvasSurface];
  canvas.font = in_.fonts[DebugFont];
  const FetchSnapshot& fetch = state.fetch;
  int top = 510;
  const auto line = [&](const std::u16string& text) {
    Rect rect{7690, top, 8380, top + 40};
    in_.text.DrawText(canvas.surface, canvas.font, canvas.textColor, text, rect,
                      DT_SINGLELINE | DT_VCENTER);
    top += 40;
  };
  const FetchStatusValue status = fetch.status;
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
  line(FormatLogText("Thread End ：%d", static_cast<int>(state.LastFetchStatus)));
  line(FormatLogText("Thread Count ：%d", fetch.count));
  line(FormatLogText("INet Err Flag ：%d", fetch.netErrorStage));
  line(FormatLogText("INet Err Num ：%d", fetch.lastNetError));
  line(FormatLogText("更新周期 ：%d", state.FetchPhase));
}

}  // namespace hw
