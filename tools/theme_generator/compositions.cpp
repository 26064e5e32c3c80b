#include "compositions.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>

#include "acquisition/fetch_worker.h"
#include "headless/headless_display.h"
#include "platform/blit.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace hw::themegen {
namespace {

Surface Cut(const Surface& canvas, const Rect& region) {
  Surface picture(region.Width(), region.Height());
  BitBlt(picture, 0, 0, region.Width(), region.Height(), canvas, region.left, region.top);
  return picture;
}

}  // namespace

std::vector<Composition> ComposeBodies(const std::string& workFolder, const ThemeLayout& layout,
                                       const std::vector<std::string>& bodyPaths,
                                       std::string& error) {
  const std::unique_ptr<HeadlessDisplay> display =
      HeadlessDisplay::Open(WorkFolderLayout(Utf8ToUtf16(workFolder)), error, &layout);
  if (!display) return {};
  // The sample bodies are demo files, which the program always labels.
  display->SetSource(ReportSource::kDemo);

  std::vector<Composition> compositions;
  for (const std::string& path : bodyPaths) {
    const std::optional<std::string> body =
        ReadFileBytes(Utf8ToUtf16(path), FetchWorker::kBodyLimit);
    if (!body || !display->Fetch(*body)) continue;
    const LatestReport& report = display->latest();
    // The ticker as it stands once the comment has run in from the right edge of its box to
    // 40 pixels from its left edge.
    const TextElement& ticker = display->theme().text.InfoComment;
    display->SetTickerOffset(ticker.rcRight - ticker.rcLeft + 22 - 40);
    // The window in the area half and in the station half of the view's twenty-second turn,
    // at seconds where the epicentre is not pulsing and no cross-fade is under way.
    const auto windowAt = [&](int second) {
      return Cut(display->canvas(), display->Paint(second).source);
    };
    Surface area = windowAt(3);
    Surface station = windowAt(13);
    compositions.push_back({std::filesystem::path(path).filename().string(), report.issueType,
                            report.commentLength != 0, std::move(area), std::move(station)});
  }
  if (compositions.empty()) error = "no body held a new report";
  return compositions;
}

Surface DrawCompositionSheet(const std::vector<Composition>& grid,
                             const std::vector<Composition>& list, TextRenderer& text) {
  constexpr int kScale = 4;
  constexpr int kWidth = kPageWidth / kScale;
  constexpr int kHeight = kPageHeight / kScale;
  constexpr int kGap = 8;
  constexpr int kLabel = 34;
  constexpr COLORREF kBackground = MakeColorRef(0x2b, 0x2f, 0x36);
  constexpr COLORREF kInk = MakeColorRef(0xd8, 0xdc, 0xe2);
  constexpr std::array<std::u16string_view, 7> kTypes = {u"",
                                                         u"震度速報 ScalePrompt",
                                                         u"震源情報 Destination",
                                                         u"震源・震度 ScaleAndDestination",
                                                         u"各地の震度 DetailScale",
                                                         u"遠地地震 Foreign",
                                                         u"その他 Other"};

  const int rowHeight = kLabel + kHeight + kGap;
  Surface sheet(4 * kWidth + 5 * kGap, kLabel + static_cast<int>(grid.size()) * rowHeight + kGap);
  sheet.Fill(kBackground);
  const FontId font = text.CreateFont({u"Arial", 24, 0, 400});
  const auto label = [&](int x, int y, std::u16string_view caption) {
    Rect rect{x, y, x + 2 * kWidth, y + kLabel - 4};
    text.DrawText(sheet, font, kInk, caption, rect, DT_SINGLELINE | DT_VCENTER);
  };
  label(kGap, 0, u"grid form (City.type 1): area view, station view");
  label(3 * kGap + 2 * kWidth, 0, u"list form (City.type 2): area view, station view");

  const auto put = [&](const Surface& page, int column, int top) {
    StretchBlt(sheet, kGap + column * (kWidth + kGap), top, kWidth, kHeight, page, 0, 0, kPageWidth,
               kPageHeight);
  };
  for (std::size_t row = 0; row < grid.size(); ++row) {
    const Composition& c = grid[row];
    const int top = kLabel + static_cast<int>(row) * rowHeight;
    const std::size_t type = std::clamp<std::size_t>(static_cast<std::size_t>(c.issueType), 0, 6);
    label(kGap, top, Utf8ToUtf16(c.body) + u"   " + std::u16string(kTypes[type]));
    put(c.areaWindow, 0, top + kLabel);
    put(c.stationWindow, 1, top + kLabel);
    const auto same = std::find_if(list.begin(), list.end(),
                                   [&](const Composition& l) { return l.body == c.body; });
    if (same == list.end()) continue;
    put(same->areaWindow, 2, top + kLabel);
    put(same->stationWindow, 3, top + kLabel);
  }
  return sheet;
}

}  // namespace hw::themegen
