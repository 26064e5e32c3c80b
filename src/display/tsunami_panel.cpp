#include "display/tsunami_panel.h"

#include <algorithm>
#include <array>
#include <utility>

#include "display/box_drawing.h"
#include "display/sprite_stamp.h"
#include "platform/blit.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

constexpr int kPadding = 8;
constexpr int kRowGap = 6;
constexpr int kChipWidth = 8;
constexpr COLORREF kShade = MakeColorRef(10, 16, 36);

bool IsEmpty(const Rect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

std::u16string Count(int value) {
  return Utf8ToUtf16(std::to_string(value));
}

}  // namespace

COLORREF TsunamiGradeColour(TsunamiGrade grade) {
  switch (grade) {
    case TsunamiGrade::kMajorWarning:
      return MakeColorRef(200, 0, 255);
    case TsunamiGrade::kWarning:
      return MakeColorRef(255, 40, 0);
    case TsunamiGrade::kWatch:
      return MakeColorRef(250, 245, 0);
    case TsunamiGrade::kUnknown:
      break;
  }
  return MakeColorRef(128, 128, 128);
}

COLORREF TsunamiGradeTextColour(TsunamiGrade grade) {
  return grade == TsunamiGrade::kWatch ? MakeColorRef(0, 0, 0) : MakeColorRef(255, 255, 255);
}

std::vector<TsunamiPanelRow> TsunamiPanelRows(const TsunamiState& state, int rows) {
  using Kind = TsunamiPanelRow::Kind;
  const auto row = [](Kind kind, TsunamiGrade grade, std::u16string text,
                      std::u16string right = {}) {
    TsunamiPanelRow r;
    r.kind = kind;
    r.grade = grade;
    r.text = std::move(text);
    r.right = std::move(right);
    return r;
  };
  std::vector<TsunamiPanelRow> out;
  if (state.phase == TsunamiState::Phase::kNone || rows <= 0) return out;
  const std::u16string time = HourMinuteOf(state.issueTime);
  if (state.phase == TsunamiState::Phase::kLifted) {
    out.push_back(row(Kind::kTitle, TsunamiGrade::kUnknown, u"津波警報・注意報 解除", time));
    if (rows > 1) out.push_back(row(Kind::kNote, TsunamiGrade::kUnknown, u"すべて解除されました"));
    return out;
  }
  out.push_back(row(Kind::kTitle, TsunamiGrade::kUnknown, u"津波警報・注意報",
                    time.empty() ? time : time + u" 発表"));

  // Every row the panel would have, then as many as fit.
  std::vector<TsunamiPanelRow> all;
  for (std::size_t i = 0; i < state.regions.size(); ++i) {
    const TsunamiRegionLine& region = state.regions[i];
    if (i == 0 || state.regions[i - 1].grade != region.grade) {
      all.push_back(row(Kind::kGrade, region.grade, std::u16string(TsunamiGradeName(region.grade)),
                        Count(state.Count(region.grade)) + u" 区域"));
    }
    TsunamiPanelRow line = row(Kind::kRegion, region.grade, region.name);
    line.height = region.height;
    line.firstWave = region.firstWave;
    all.push_back(std::move(line));
  }
  const auto room = static_cast<std::size_t>(rows - 1);
  if (all.size() <= room) {
    out.insert(out.end(), all.begin(), all.end());
    return out;
  }
  if (room == 0) return out;
  std::size_t keep = room - 1;
  // A bar is shown only with a region under it.
  while (keep > 0 && all[keep - 1].kind == Kind::kGrade) {
    --keep;
  }
  out.insert(out.end(), all.begin(), all.begin() + static_cast<std::ptrdiff_t>(keep));
  const auto shown = static_cast<int>(std::count_if(
      out.begin(), out.end(), [](const TsunamiPanelRow& r) { return r.kind == Kind::kRegion; }));
  out.push_back(row(Kind::kNote, TsunamiGrade::kUnknown,
                    u"ほか " + Count(static_cast<int>(state.regions.size()) - shown) + u" 区域"));
  return out;
}

Rect TsunamiPanel::Box(const ThemeLayout& theme) const {
  const PanelElement& panel = theme.panel.TsunamiPanel;
  if (state_.phase == TsunamiState::Phase::kNone || panel.visible == 0) return {};
  const Rect box{panel.rcLeft, panel.rcTop, panel.rcRight + 1, panel.rcBottom + 1};
  return IsEmpty(box) ? Rect{} : box;
}

void TsunamiPanel::AfterComposition(ComposeInputs& in) {
  // The pages are new: what an earlier panel covered is gone with them.
  covered_.clear();
  coveredBox_ = {};
  const Rect box = Box(in.theme);
  if (IsEmpty(box)) return;
  Keep(in, box);
  Draw(in, box);
}

void TsunamiPanel::Show(ComposeInputs& in, const TsunamiState& state) {
  GiveBack(in);
  state_ = state;
  const Rect box = Box(in.theme);
  if (IsEmpty(box)) return;
  Keep(in, box);
  Draw(in, box);
}

void TsunamiPanel::Keep(ComposeInputs& in, const Rect& box) {
  if (!IsEmpty(coveredBox_)) return;  // still holds what lies under the panel
  const Surface& canvas = in.surfaces[CanvasSurface].surface;
  const int w = box.Width();
  covered_.resize(static_cast<std::size_t>(kStampedPages) * w * box.Height());
  std::uint32_t* out = covered_.data();
  for (int page = 0; page < kStampedPages; ++page) {
    for (int y = box.top; y < box.bottom; ++y) {
      const std::uint32_t* row = canvas.Row(y) + PageX(page) + box.left;
      out = std::copy(row, row + w, out);
    }
  }
  coveredBox_ = box;
}

void TsunamiPanel::GiveBack(ComposeInputs& in) {
  if (IsEmpty(coveredBox_)) return;
  Surface& canvas = in.surfaces[CanvasSurface].surface;
  const Rect& box = coveredBox_;
  const int w = box.Width();
  const std::uint32_t* from = covered_.data();
  for (int page = 0; page < kStampedPages; ++page) {
    for (int y = box.top; y < box.bottom; ++y) {
      std::copy(from, from + w, canvas.Row(y) + PageX(page) + box.left);
      from += w;
    }
  }
  covered_.clear();
  coveredBox_ = {};
}

void TsunamiPanel::Draw(ComposeInputs& in, const Rect& box) {
  const PanelElement& panel = in.theme.panel.TsunamiPanel;
  Surface& canvas = in.surfaces[CanvasSurface].surface;
  Surface shade(1, 1);
  shade.Fill(kShade);
  ClearOverlayKey(canvas, box, OverlayKeyOf(in.settings));
  for (int page = 0; page < kStampedPages; ++page) {
    AlphaBlend(canvas, PageX(page) + box.left, box.top, box.Width(), box.Height(), shade, 0, 0, 1,
               1, panel.alpha);
  }

  const int rowHeight = panel.style.fontHeight + kRowGap;
  const int rows = (box.Height() - 2 * kPadding) / rowHeight;
  const std::array<FontId, 3> fonts = {in.fonts[TsunamiPanelFont], in.fonts[TsunamiPanelNarrowFont],
                                       in.fonts[TsunamiPanelNarrowestFont]};
  const COLORREF colour = panel.style.fontColor;
  const int left = box.left + kPadding;
  const int right = box.right - kPadding;
  const auto text = [&](std::u16string_view what, Rect rect, COLORREF c, unsigned align) {
    if (what.empty() || IsEmpty(rect)) return;
    const FontId font = FitFont(in, what, rect, fonts, align);
    DrawOnPages(in, kAllPages, font, c, what, rect, align | DT_VCENTER | DT_SINGLELINE);
  };

  int top = box.top + kPadding;
  for (const TsunamiPanelRow& row : TsunamiPanelRows(state_, rows)) {
    const Rect line{left, top, right, top + rowHeight};
    switch (row.kind) {
      case TsunamiPanelRow::Kind::kTitle: {
        const int split = left + line.Width() * 62 / 100;
        text(row.text, {left, top, split, line.bottom}, colour, DT_LEFT);
        text(row.right, {split, top, right, line.bottom}, colour, DT_RIGHT);
        break;
      }
      case TsunamiPanelRow::Kind::kGrade: {
        for (int page = 0; page < kStampedPages; ++page) {
          canvas.FillRect(PageX(page) + left, top + 1, line.Width(), rowHeight - 2,
                          TsunamiGradeColour(row.grade));
        }
        const COLORREF on = TsunamiGradeTextColour(row.grade);
        const int split = left + line.Width() * 70 / 100;
        text(row.text, {left + kPadding, top, split, line.bottom}, on, DT_LEFT);
        text(row.right, {split, top, right - kPadding, line.bottom}, on, DT_RIGHT);
        break;
      }
      case TsunamiPanelRow::Kind::kRegion: {
        for (int page = 0; page < kStampedPages; ++page) {
          canvas.FillRect(PageX(page) + left, top + 4, kChipWidth, rowHeight - 8,
                          TsunamiGradeColour(row.grade));
        }
        const int nameLeft = left + kChipWidth + kPadding;
        const int heightLeft = left + line.Width() * 46 / 100;
        const int waveLeft = left + line.Width() * 63 / 100;
        text(row.text, {nameLeft, top, heightLeft - 4, line.bottom}, colour, DT_LEFT);
        text(row.height, {heightLeft, top, waveLeft - 4, line.bottom}, colour, DT_LEFT);
        text(row.firstWave, {waveLeft, top, right, line.bottom}, colour, DT_LEFT);
        break;
      }
      case TsunamiPanelRow::Kind::kNote:
        text(row.text, line, colour, DT_LEFT);
        break;
    }
    top += rowHeight;
  }
}

}  // namespace hw
