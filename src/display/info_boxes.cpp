#include "display/info_boxes.h"

#include <array>

#include "display/box_drawing.h"

namespace hw {
namespace {

constexpr unsigned kTimeFlags = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
constexpr std::u16string_view kUnderInvestigation = u"調査中";

// Draws the five time pieces into their elements; a piece is drawn only when its element's
// `visible` is exactly 1.
void DrawTime(ComposeInputs& in, const std::array<const TextElement*, 5>& elements,
              const TimePieces& t, FontId font, COLORREF colour) {
  const std::array<std::u16string_view, 5> pieces = {t.year, t.month, t.date, t.hour, t.minute};
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (elements[i]->visible == 1) {
      DrawOnPages(in, kAllPages, font, colour, pieces[i], TextRect(*elements[i]), kTimeFlags);
    }
  }
}

// The comment frame shows with a comment, and with `visible` 2 for foreign reports only.
bool CommentFrameShown(const ThemeElement& e, int issueType) {
  return e.visible != 0 && (e.visible != 2 || issueType == Foreign);
}

}  // namespace

void DrawUserBoxes(ComposeInputs& in) {
  const ThemeLayout::Waku& w = in.theme.waku;
  StampElement(in, w.User1Waku, User1WakuSurface);
  StampElement(in, w.User1Moji, User1MojiSurface);
  StampElement(in, w.User2Waku, User2WakuSurface);
  StampElement(in, w.User2Moji, User2MojiSurface);
  StampElement(in, w.User3Waku, User3WakuSurface);
  StampElement(in, w.User3Moji, User3MojiSurface);
  StampElement(in, w.User4Waku, User4WakuSurface);
  StampElement(in, w.User4Moji, User4MojiSurface);
}

void DrawTimeAndMagnitude(ComposeInputs& in) {
  const LatestReport& r = in.reports.latest;
  const ThemeLayout::Waku& w = in.theme.waku;
  const ThemeLayout::FontRects& t = in.theme.text;
  const ThemeLayout::FontStyles& s = in.theme.style;
  StampElement(in, w.EventTimeWaku, EventTimeWakuSurface);
  StampElement(in, w.EventTimeMoji, EventTimeMojiSurface);
  if (r.magnitude > 0) {
    StampElement(in, w.MagnitudeWaku, MagnitudeWakuSurface);
    StampElement(in, w.MagnitudeMoji, MagnitudeMojiSurface);
  }
  DrawTime(
      in,
      {&t.EventTimeYear, &t.EventTimeMonth, &t.EventTimeDate, &t.EventTimeHour, &t.EventTimeMinute},
      CutTime(r.eventYearMonth.View(), r.eventDayTime.View()), in.fonts[EventTimeFont],
      s.EventTime.fontColor);
  DrawTime(in,
           {&t.ReportTimeYear, &t.ReportTimeMonth, &t.ReportTimeDate, &t.ReportTimeHour,
            &t.ReportTimeMinute},
           CutTime(r.issueYearMonth.View(), r.issueDayTime.View()), in.fonts[ReportTimeFont],
           s.ReportTime.fontColor);
  if (t.Magnitude.visible == 1) {
    DrawOnPages(in, kAllPages, in.fonts[MagnitudeFont], s.Magnitude.fontColor,
                MagnitudeText(r.magnitude), TextRect(t.Magnitude),
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

void DrawInfoBoxes(ComposeInputs& in) {
  const LatestReport& r = in.reports.latest;
  const ThemeLayout::Waku& w = in.theme.waku;
  const ThemeLayout::FontRects& t = in.theme.text;
  const ThemeLayout::FontStyles& s = in.theme.style;
  StampElement(in, w.InfoShingenWaku, InfoShingenWakuSurface);
  StampElement(in, w.InfoShingenMoji, InfoShingenMojiSurface);
  StampElement(in, w.InfoDepthWaku, InfoDepthWakuSurface);
  StampElement(in, w.InfoDepthMoji, InfoDepthMojiSurface);
  if (r.commentLength != 0) {
    if (CommentFrameShown(w.InfoCommentWaku, r.issueType)) {
      StampElement(in, w.InfoCommentWaku, InfoCommentWakuSurface);
    }
    if (CommentFrameShown(w.InfoCommentMoji, r.issueType)) {
      StampElement(in, w.InfoCommentMoji, InfoCommentMojiSurface);
    }
  }

  if (t.InfoShingen.visible != 0) {
    const std::u16string_view name = r.issueType == ScalePrompt && r.magnitude == -1
                                         ? kUnderInvestigation
                                         : r.hypocenterName.View();
    DrawEpicentreName(in, name, TextRect(t.InfoShingen),
                      {in.fonts[InfoShingenFont], in.fonts[InfoShingenNarrowFont],
                       in.fonts[InfoShingenNarrowestFont]},
                      static_cast<unsigned>(s.InfoShingen.align), s.InfoShingen.fontColor);
  }

  if (t.InfoDepth.visible != 0) {
    const std::u16string_view depth =
        r.issueType == ScalePrompt && r.depthText.View().starts_with(u"-") ? kUnderInvestigation
                                                                           : r.depthText.View();
    DrawDepth(in, depth, TextRect(t.InfoDepth), in.fonts[InfoDepthFont],
              static_cast<unsigned>(s.InfoDepth.align), s.InfoDepth.fontColor);
  }
}

void DrawTsunamiBox(ComposeInputs& in) {
  const ThemeLayout::Waku& w = in.theme.waku;
  struct Box {
    const ThemeElement& frame;
    SurfaceIndex frameSprite;
    const ThemeElement& caption;
    SurfaceIndex captionSprite;
  };
  const std::array<Box, 5> boxes = {{
      {w.Tsunami1Waku, Tsunami1WakuSurface, w.Tsunami1Moji, Tsunami1MojiSurface},
      {w.Tsunami2Waku, Tsunami2WakuSurface, w.Tsunami2Moji, Tsunami2MojiSurface},
      {w.Tsunami3Waku, Tsunami3WakuSurface, w.Tsunami3Moji, Tsunami3MojiSurface},
      {w.Tsunami4Waku, Tsunami4WakuSurface, w.Tsunami4Moji, Tsunami4MojiSurface},
      {w.Tsunami5Waku, Tsunami5WakuSurface, w.Tsunami5Moji, Tsunami5MojiSurface},
  }};
  const int code = in.reports.latest.domesticTsunami;
  if (code < 1 || code > 5) return;  // 0 and 6 (no text, "Unknown") have no box
  const Box& box = boxes[static_cast<std::size_t>(code - 1)];
  StampElement(in, box.frame, box.frameSprite);
  StampElement(in, box.caption, box.captionSprite);
}

int MaxIntensityCell(int issueType, int maxScale) {
  if (issueType == Foreign) return 9;
  constexpr std::array<int, 9> kCodes = {10, 20, 30, 40, 45, 50, 55, 60, 70};
  for (std::size_t k = 0; k < kCodes.size(); ++k) {
    if (kCodes[k] == maxScale) return static_cast<int>(k);
  }
  return 10;
}

void DrawMaxIntensityBox(ComposeInputs& in) {
  const ThemeElement& e = in.theme.intensity.MaxIntensity;
  const LatestReport& r = in.reports.latest;
  const int k = MaxIntensityCell(r.issueType, r.maxScale);
  StampElement(in, e, MaxIntensitySurface, {k * e.width, 0, k * e.width + e.width, e.height});
}

}  // namespace hw
