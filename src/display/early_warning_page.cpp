#include "display/early_warning_page.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

#include "display/layer_surfaces.h"
#include "eventlog/event_log.h"
#include "platform/blit.h"
#include "platform/map_picture.h"
#include "refdata/project_to_grid.h"

namespace hw {
namespace {

// The view shows at least a region around the target areas, and its content sits lower than a
// report's, below the banner.
constexpr int kMinimumLevel = 3;
constexpr int kBannerShift = 90;

constexpr int kMarkSize = 64;
constexpr int kMarkBorder = 3;
constexpr int kMargin = 32;
constexpr int kTitleBottom = 116;
constexpr int kLineBottom = 190;
constexpr int kNoteBottom = 240;

constexpr COLORREF kYellow = MakeColorRef(255, 230, 0);
constexpr COLORREF kBlack = MakeColorRef(0, 0, 0);
constexpr unsigned kLine = DT_VCENTER | DT_SINGLELINE;

struct ForecastColour {
  int scale;
  COLORREF fill;
  COLORREF text;
};
constexpr std::array<ForecastColour, 10> kForecastColours = {{
    {0, MakeColorRef(220, 220, 220), kBlack},
    {10, MakeColorRef(242, 242, 255), kBlack},
    {20, MakeColorRef(0, 170, 255), kBlack},
    {30, MakeColorRef(0, 65, 255), kWhite},
    {40, MakeColorRef(250, 230, 150), kBlack},
    {45, MakeColorRef(255, 230, 0), kBlack},
    {50, MakeColorRef(255, 153, 0), kBlack},
    {55, MakeColorRef(255, 40, 0), kWhite},
    {60, MakeColorRef(165, 0, 33), kWhite},
    {70, MakeColorRef(180, 0, 104), kWhite},
}};

// "hh:mm:ss" of "YYYY/MM/DD hh:mm:ss"; the text itself when it is shorter.
std::u16string ClockOf(const std::u16string& time) {
  return time.size() >= 19 ? time.substr(11, 8) : time;
}

std::u16string Serial(int serial) {
  const std::string digits = std::to_string(serial);
  return u"第" + std::u16string(digits.begin(), digits.end()) + u"報";
}

// The upper bound a mark shows under its lower one: "～6弱", "以上", or nothing.
std::u16string UpperBoundText(int from, int to) {
  const std::u16string range = ForecastRangeText(from, to);
  const std::u16string lower = IntensityName(from);
  if (range.size() <= lower.size()) return {};
  if (to == 99) return u"以上";
  return range.substr(lower.size());
}

void Text(ComposeInputs& in, Surface& page, FontId font, COLORREF colour, std::u16string_view text,
          Rect rect, unsigned format) {
  if (!text.empty()) in.text.DrawText(page, font, colour, text, rect, format);
}

}  // namespace

COLORREF ForecastFillColour(int scale) {
  for (const ForecastColour& c : kForecastColours) {
    if (c.scale == scale) return c.fill;
  }
  return MakeColorRef(128, 128, 128);
}

COLORREF ForecastTextColour(int scale) {
  for (const ForecastColour& c : kForecastColours) {
    if (c.scale == scale) return c.text;
  }
  return kWhite;
}

void EarlyWarningPage::Compose(ComposeInputs& in, const EarlyWarning& warning) {
  if (page_.empty()) page_ = Surface(kPageWidth, kPageHeight);
  shown_ = page_.empty() ? nullptr : &page_;
  DrawMap(in, warning);
  // The hypocentre's place is known before the marks, which keep clear of it.
  DrawHypocentre(in, warning);
  PlaceMarks();
  DrawMarks(in);
  DrawBanner(in, warning);
}

void EarlyWarningPage::Release() {
  page_ = Surface();
  shown_ = nullptr;
  marks_.clear();
  hypocentreRect_ = {};
}

void EarlyWarningPage::DrawMap(ComposeInputs& in, const EarlyWarning& warning) {
  // The view is that of a prompt report naming the target areas, with the hypocentre as its
  // epicentre, computed over copies so that the report's own tables stay as they are.
  auto report = std::make_unique<LatestReport>();
  report->issueType = ScalePrompt;
  marks_.clear();
  for (const EarlyWarningTarget& target : warning.areas) {
    const std::optional<int> area = FindAreaByName(in.reference.areas, target.name);
    if (!area) {
      in.log.WriteEventLog(std::u16string(kEventLogPrefix) +
                           u"緊急地震速報（警報） … 区域表にない地域名: " + target.name);
      continue;
    }
    if (report->pointCount < LatestReport::kMaxPoints) {
      report->points[static_cast<std::size_t>(report->pointCount++)].addr.Assign(target.name);
    }
    marks_.push_back({*area, target.scaleFrom, target.scaleTo});
  }
  const bool hypocentre = warning.HasHypocentre();
  report->latitude = hypocentre ? warning.latitude : kNoCoordinate;
  report->longitude = hypocentre ? warning.longitude : kNoCoordinate;

  auto areas = std::make_unique<AreaTable>(in.reference.areas);
  ThemeLayout framing = in.theme;
  framing.MapYaxisOffset = std::clamp(framing.MapYaxisOffset + kBannerShift, -300, 300);
  std::optional<GridPosition> epicentre;
  const bool nothingToFrame = report->pointCount == 0 && !hypocentre;
  view_ =
      ComputeMapView(*report, {*areas, in.reference.mapGrid, framing, hypocentre, nothingToFrame},
                     epicentre, kMinimumLevel);
  DrawMapPicture(view_, page_, 0, in.surfaces[JpMap1Surface].map.get());

  for (Mark& mark : marks_) {
    const AreaEntry& area = in.reference.areas[mark.area];
    const PanelPosition p =
        GridToPanel(view_, in.theme.MapXaxisPercent,
                    ProjectToGrid(in.reference.mapGrid, area.latitude, area.longitude));
    mark.x = mark.pointX = p.x;
    mark.y = mark.pointY = p.y;
  }
}

void EarlyWarningPage::PlaceMarks() {
  // The strongest forecasts keep their places; a mark that would cover one of them or the
  // hypocentre goes to the nearest free place around its area's point, below the banner.
  std::vector<Mark*> order;
  for (Mark& mark : marks_) {
    order.push_back(&mark);
  }
  std::stable_sort(order.begin(), order.end(), [](const Mark* a, const Mark* b) {
    return std::pair(a->scaleFrom, a->scaleTo) > std::pair(b->scaleFrom, b->scaleTo);
  });
  std::vector<Rect> taken;
  if (hypocentreRect_.Width() > 0) taken.push_back(hypocentreRect_);
  constexpr int half = kMarkSize / 2;
  constexpr int step = kMarkSize + 8;
  constexpr int kOffsets[][2] = {{0, 0},  {0, -1},  {0, 1},  {-1, 0}, {1, 0}, {-1, -1},
                                 {1, -1}, {-1, 1},  {1, 1},  {0, -2}, {0, 2}, {-2, 0},
                                 {2, 0},  {-2, -1}, {2, -1}, {-2, 1}, {2, 1}};
  const auto boxAt = [](int x, int y) { return Rect{x - half, y - half, x + half, y + half}; };
  const auto free = [&](const Rect& box) {
    if (box.left < 0 || box.right > kPageWidth || box.top < kNoteBottom ||
        box.bottom > kPageHeight) {
      return false;
    }
    return std::none_of(taken.begin(), taken.end(), [&](const Rect& other) {
      return box.left < other.right && other.left < box.right && box.top < other.bottom &&
             other.top < box.bottom;
    });
  };
  for (Mark* mark : order) {
    for (const auto& offset : kOffsets) {
      const int x = mark->pointX + offset[0] * step;
      const int y = mark->pointY + offset[1] * step;
      if (free(boxAt(x, y))) {
        mark->x = x;
        mark->y = y;
        break;
      }
    }
    taken.push_back(boxAt(mark->x, mark->y));
  }
}

void EarlyWarningPage::DrawMarks(ComposeInputs& in) {
  // The strongest forecasts are drawn last, so that they lie on top.
  std::vector<const Mark*> order;
  for (const Mark& mark : marks_) {
    order.push_back(&mark);
  }
  std::stable_sort(order.begin(), order.end(), [](const Mark* a, const Mark* b) {
    return std::pair(a->scaleFrom, a->scaleTo) < std::pair(b->scaleFrom, b->scaleTo);
  });
  constexpr int half = kMarkSize / 2;
  // A mark moved off its area's point is joined to it by a line, with a dot on the point.
  for (const Mark* mark : order) {
    if (mark->x == mark->pointX && mark->y == mark->pointY) continue;
    const int steps = std::max(std::abs(mark->x - mark->pointX), std::abs(mark->y - mark->pointY));
    for (int i = 0; i <= steps; i += 2) {
      const int x = mark->pointX + (mark->x - mark->pointX) * i / steps;
      const int y = mark->pointY + (mark->y - mark->pointY) * i / steps;
      if (x >= 2 && y >= 2 && x < kPageWidth - 2 && y < kPageHeight - 2) {
        page_.FillRect(x - 2, y - 2, 4, 4, kWhite);
      }
    }
    if (mark->pointX >= 6 && mark->pointY >= 6 && mark->pointX < kPageWidth - 6 &&
        mark->pointY < kPageHeight - 6) {
      page_.FillRect(mark->pointX - 6, mark->pointY - 6, 12, 12, kWhite);
      page_.FillRect(mark->pointX - 4, mark->pointY - 4, 8, 8, ForecastFillColour(mark->scaleFrom));
    }
  }
  for (const Mark* mark : order) {
    if (mark->x < half || mark->x > kPageWidth - half || mark->y < half ||
        mark->y > kPageHeight - half) {
      continue;
    }
    const int left = mark->x - half;
    const int top = mark->y - half;
    page_.FillRect(left, top, kMarkSize, kMarkSize, kWhite);
    page_.FillRect(left + kMarkBorder, top + kMarkBorder, kMarkSize - 2 * kMarkBorder,
                   kMarkSize - 2 * kMarkBorder, ForecastFillColour(mark->scaleFrom));
    const COLORREF colour = ForecastTextColour(mark->scaleFrom);
    const std::u16string upper = UpperBoundText(mark->scaleFrom, mark->scaleTo);
    const Rect whole{left, top, left + kMarkSize, top + kMarkSize};
    if (upper.empty()) {
      Text(in, page_, in.fonts[WarningMarkerFont], colour, IntensityName(mark->scaleFrom), whole,
           DT_CENTER | kLine);
    } else {
      Text(in, page_, in.fonts[WarningMarkerFont], colour, IntensityName(mark->scaleFrom),
           {left, top + 2, left + kMarkSize, top + 40}, DT_CENTER | kLine);
      Text(in, page_, in.fonts[WarningMarkerRangeFont], colour, upper,
           {left, top + 36, left + kMarkSize, top + kMarkSize - 2}, DT_CENTER | kLine);
    }
  }
}

void EarlyWarningPage::DrawHypocentre(ComposeInputs& in, const EarlyWarning& warning) {
  hypocentreRect_ = {};
  // A cancelled warning marks no hypocentre: there may have been no earthquake.
  if (!warning.HasHypocentre() || warning.phase == EarlyWarning::Phase::kCancelled) return;
  const int w = in.theme.waku.ShingenWakuWidth;
  const int h = in.theme.waku.ShingenWakuHeight;
  const PanelPosition e =
      GridToPanel(view_, in.theme.MapXaxisPercent,
                  ProjectToGrid(in.reference.mapGrid, warning.latitude, warning.longitude));
  // Placed as the report's epicentre mark is, inside the page.
  if (!(w / 2 - 7 < e.x && e.x < kPageWidth - 7 - w / 2 && h / 2 + 5 < e.y &&
        e.y < kPageHeight + 5 - h / 2)) {
    return;
  }
  hypocentreRect_ = {e.x - w / 2 + 7, e.y - h / 2 - 5, e.x + w / 2 + 7, e.y + h / 2 - 5};
  TransparentBlt(page_, hypocentreRect_.left, hypocentreRect_.top, w, h,
                 in.surfaces[ShingenSurface].surface, 0, 0, w, h, kSpriteKey);
}

void EarlyWarningPage::DrawBanner(ComposeInputs& in, const EarlyWarning& warning) {
  const bool cancelled = warning.phase == EarlyWarning::Phase::kCancelled;
  page_.FillRect(0, 0, kPageWidth, kTitleBottom,
                 cancelled ? MakeColorRef(90, 90, 96) : MakeColorRef(200, 0, 0));
  page_.FillRect(0, kTitleBottom, kPageWidth, kLineBottom - kTitleBottom,
                 cancelled ? MakeColorRef(50, 50, 56) : MakeColorRef(60, 0, 0));
  page_.FillRect(0, kLineBottom, kPageWidth, kNoteBottom - kLineBottom, MakeColorRef(16, 16, 20));

  const FontId title = in.fonts[WarningTitleFont];
  const FontId text = in.fonts[WarningTextFont];
  Text(in, page_, title, kWhite, u"緊急地震速報（警報）", {kMargin, 0, 1000, kTitleBottom},
       DT_LEFT | kLine);
  if (cancelled) {
    Text(in, page_, title, kYellow, u"取消", {1000, 0, 1300, kTitleBottom}, DT_LEFT | kLine);
  }
  if (warning.test) {
    // A test message is never taken for a real warning.
    page_.FillRect(1320, 22, 300, kTitleBottom - 44, kYellow);
    Text(in, page_, text, kBlack, u"訓練/テスト", {1320, 22, 1620, kTitleBottom - 22},
         DT_CENTER | kLine);
  }

  std::u16string region = u"震源 " + warning.regionName;
  if (warning.assumedHypocentre) region += u" (仮定震源要素)";
  Text(in, page_, text, kWhite, region, {kMargin, kTitleBottom, 980, kLineBottom}, DT_LEFT | kLine);
  if (!cancelled) {
    Text(in, page_, text, kYellow,
         u"予測最大震度 " + ForecastRangeText(warning.forecastFrom, warning.forecastTo),
         {980, kTitleBottom, 1500, kLineBottom}, DT_LEFT | kLine);
  }
  Text(in, page_, text, kWhite, ClockOf(warning.issueTime) + u" 発表 " + Serial(warning.serial),
       {1440, kTitleBottom, kPageWidth - kMargin, kLineBottom}, DT_RIGHT | kLine);
  // The service delivers the warnings without redundancy or re-delivery: said on every picture.
  Text(in, page_, in.fonts[WarningNoteFont], MakeColorRef(230, 230, 230), u"参考情報・配信は無保証",
       {kMargin, kLineBottom, kPageWidth - kMargin, kNoteBottom}, DT_LEFT | kLine);
}

}  // namespace hw
