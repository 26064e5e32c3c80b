#include <algorithm>
#include <string>

#include "display/city_tables.h"
#include "display/table_surface.h"

namespace hw {

void DrawCommentTable(ComposeInputs& in, int firstLine) {
  TableLayout& comm = in.theme.table.Comm;
  if (comm.type != 1 && comm.type != 2) return;
  comm.maxCount = std::clamp(comm.maxCount, 1, 1023);
  comm.maxRow = std::clamp(comm.maxRow, 1, 68);
  comm.maxColumn = std::clamp(comm.maxColumn, 0, 100);
  const LatestReport& report = in.reports.latest;
  const std::u16string_view comment = report.commentText.View();
  const int c = std::min(
      {comm.maxCount, std::max(report.commentLength, 0), static_cast<int>(comment.size())});
  if (c == 0 || comm.maxColumn == 0) return;

  TableWork table(in);
  table.ClearAll();
  const int lineHeight = 40 + comm.scaleOff;
  const FontId font = in.fonts[CommTableFont];
  int line = firstLine;
  std::u16string text;
  const auto drawLine = [&] {
    const int top = comm.rcTop + lineHeight * line;
    table.DrawText(in.text, font, kWhite, text,
                   {comm.rcLeft, top, comm.rcLeft + kPageWidth, top + lineHeight},
                   DT_SINGLELINE | DT_VCENTER);
    ++line;
    text.clear();
  };

  // Modes: 0 plain, 1 a break is pending, 2 the line is full.
  int mode = 0;
  int k = 0;  // characters on the line
  for (int i = 0; i < c && line < comm.maxColumn; ++i) {
    const char16_t ch = comment[static_cast<std::size_t>(i)];
    if (ch == u'\u3000') {
      mode = 1;  // not shown; several in a row make one break
      continue;
    }
    if (k % comm.maxRow == comm.maxRow - 1 || i == c - 1) mode = 2;
    if (mode == 0) {
      text += ch;
      ++k;
    } else if (mode == 2) {
      text += ch;
      drawLine();
      k = 0;
      mode = 0;
    } else {
      drawLine();
      text += ch;
      k = 1;
      mode = 0;
    }
  }
  if (!text.empty() && line < comm.maxColumn) drawLine();

  Surface& canvas = in.surfaces[CanvasSurface].surface;
  for (int page = 0; page < 4; ++page) {
    table.CopyTo(canvas, {0, 0, kPageWidth, kPageHeight}, PageX(page), 0);
  }
  in.surfaces[TableSurface].font = font;
  in.surfaces[TableSurface].textColor = kWhite;
}

}  // namespace hw
