#include <algorithm>
#include <cstdint>
#include <string>

#include "display/city_tables.h"
#include "display/map_layer.h"
#include "display/sprite_stamp.h"
#include "display/table_surface.h"
#include "platform/blit.h"

namespace hw {
namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';

// The prefecture order of the list: the first two units of the name as one signed 32-bit
// number, so a name beginning at U+8000 or above sorts below every other.
std::int32_t PrefectureKey(const ObservationPoint& point) {
  const std::u16string_view pref = point.pref.View();
  const std::uint32_t first = pref.empty() ? 0 : pref[0];
  const std::uint32_t second = pref.size() < 2 ? 0 : pref[1];
  return static_cast<std::int32_t>(first * 65536u + second);
}

// Orders the points by falling intensity and, within one, by falling prefecture key; equal
// points keep their order.
void SortForList(LatestReport& report, int count) {
  auto* const first = report.points.data();
  auto* const last = first + count;
  std::stable_sort(first, last, [](const ObservationPoint& a, const ObservationPoint& b) {
    return PrefectureKey(a) > PrefectureKey(b);
  });
  std::stable_sort(first, last, [](const ObservationPoint& a, const ObservationPoint& b) {
    return a.scale > b.scale;
  });
}

// Draws the list into the table surface, line by line.
class ListWriter {
 public:
  ListWriter(ComposeInputs& in, TableWork& table)
      : in_(in), table_(table), city_(in.theme.table.City) {}

  int lineHeight() const { return 40 + city_.scaleOff; }

  // The bar of intensity `scale` at the left of line `line`.
  void Bar(int scale, int line) {
    const std::optional<int> cell = ScaleCellTable(scale);
    if (!cell) return;
    const int w = in_.theme.intensity.BarIntensityWidth;
    const int h = in_.theme.intensity.BarIntensityHeight;
    table_.Stamp(in_.surfaces[BarIntensitySurface].surface, {0, *cell * h, w, *cell * h + h},
                 city_.rcLeft, city_.rcTop + lineHeight() * line);
  }

  // A line: its prefix (the prefecture, or a space on a continuation line) in bold, then the
  // names.
  void Line(int line, std::u16string_view prefix, std::u16string_view names) {
    const int top = city_.rcTop + lineHeight() * line;
    const int prefixLeft = city_.rcLeft + (prefix.size() == 3 ? 22 : 10);
    const int indent = 140 + city_.scaleOff;
    constexpr unsigned kFlags = DT_SINGLELINE | DT_VCENTER;
    table_.DrawText(in_.text, in_.fonts[CityTableBoldFont], kWhite, prefix,
                    {prefixLeft, top, kPageWidth, top + lineHeight()}, kFlags);
    table_.DrawText(in_.text, in_.fonts[CityTableFont], kWhite, names,
                    {city_.rcLeft + indent, top, kPageWidth, top + lineHeight()}, kFlags);
    Rect measured{city_.rcLeft + indent, top, 0, 0};
    in_.text.DrawText(table_.surface(), in_.fonts[CityTableFont], kWhite, names, measured,
                      DT_SINGLELINE | DT_CALCRECT);
    textRight_ = std::max(textRight_, measured.right);
    bottom_ = std::max(bottom_, top + lineHeight());
  }

  // Dims the map under the list on `page`, so that its white names stay readable over the
  // markers there: a shade from the first bar to the last line, as wide as the longest line.
  void ShadeUnder(Surface& canvas, int page) const {
    if (bottom_ <= city_.rcTop) return;
    const int left = std::max(city_.rcLeft - kShadeMargin, 0);
    const int right = std::min(textRight_ + kShadeMargin, kPageWidth);
    const int top = std::max(city_.rcTop, 0);
    const int bottom = std::min(bottom_, kPageHeight);
    if (right <= left || bottom <= top) return;
    if (const std::optional<COLORREF> key = OverlayKeyOf(in_.settings)) {
      ClearKeyOnCanvas(canvas, {PageX(page) + left, top, PageX(page) + right, bottom}, *key);
    }
    Surface shade(1, 1);
    shade.Fill(0);
    AlphaBlend(canvas, PageX(page) + left, top, right - left, bottom - top, shade, 0, 0, 1, 1,
               kShadeAlpha);
  }

 private:
  static constexpr int kShadeMargin = 10;
  static constexpr int kShadeAlpha = 150;

  ComposeInputs& in_;
  TableWork& table_;
  const TableLayout& city_;
  int textRight_ = 0;
  int bottom_ = 0;
};

}  // namespace

int DrawCityList(ComposeInputs& in, ComposePass pass) {
  TableLayout& city = in.theme.table.City;
  if (city.type != 2) return -1;
  city.maxCount = std::clamp(city.maxCount, 1, 5000);
  city.maxRow = std::clamp(city.maxRow, 1, 68);
  city.maxColumn = std::clamp(city.maxColumn, 0, 100);
  LatestReport& report = in.reports.latest;
  const int points = std::clamp(report.pointCount, 0, LatestReport::kMaxPoints);
  const int n = std::min(city.maxCount, points);
  if (n == 0 || city.maxColumn == 0) return -1;
  SortForList(report, points);

  TableWork table(in);
  table.ClearAll();
  ListWriter writer(in, table);
  writer.Bar(report.maxScale, 0);
  int line = 1;
  int scale = report.maxScale;
  std::u16string prefix(report.points[0].pref.View());
  std::u16string lastPref = prefix;
  std::u16string text;
  bool ended = false;
  for (int i = 0; i < n && !ended; ++i) {
    const ObservationPoint& point = report.points[static_cast<std::size_t>(i)];
    std::u16string name(point.addr.View());
    if (name.empty() || name.back() != kIdeographicSpace) name += kIdeographicSpace;
    const bool scaleChanged = point.scale < scale;
    if (scaleChanged) scale = point.scale;
    const bool prefChanged = point.pref.View() != lastPref;
    lastPref = point.pref.View();
    if (!scaleChanged && !prefChanged &&
        text.size() + name.size() <= static_cast<std::size_t>(city.maxRow) + 1) {
      text += name;
      continue;
    }
    if (line < city.maxColumn) writer.Line(line, prefix, text);
    if (scaleChanged) {
      ++line;
      if (line >= city.maxColumn) break;
      writer.Bar(scale, line);
    }
    prefix = scaleChanged || prefChanged ? std::u16string(point.pref.View()) : u" ";
    text = name;
    ++line;
    ended = line >= city.maxColumn;  // the pending names are dropped
  }
  if (!ended && line < city.maxColumn) writer.Line(line, prefix, text);

  Surface& canvas = in.surfaces[CanvasSurface].surface;
  const int firstPage = FirstPageOf(pass);
  for (const int page : {firstPage, firstPage + 1}) {
    writer.ShadeUnder(canvas, page);
    table.CopyTo(canvas, {0, 0, kPageWidth, kPageHeight}, PageX(page), 0);
  }
  in.surfaces[TableSurface].font = in.fonts[CityTableFont];
  in.surfaces[TableSurface].textColor = kWhite;
  return line;
}

}  // namespace hw
