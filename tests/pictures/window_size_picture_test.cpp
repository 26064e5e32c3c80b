// The window's picture painted at the window's own size, with the default theme, its maps and
// the real renderer: it must look as the 1920 × 1080 page stretched to the window, up to a
// rounding step per channel, in a cross-fade frame and in a still one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "headless/headless_display.h"
#include "platform/blit.h"

namespace hw {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<HeadlessDisplay> OpenDisplay() {
  std::string error;
  auto display = HeadlessDisplay::Open(
      WorkFolderLayout((fs::path(HW_SOURCE_DIR) / "runtime").u16string()), error);
  EXPECT_NE(display, nullptr) << error;
  if (display == nullptr) return nullptr;
  std::ifstream in(fs::path(HW_SOURCE_DIR) / "runtime" / "Storage" / "demo3.json",
                   std::ios::binary);
  std::ostringstream body;
  body << in.rdbuf();
  display->settings().EpiBlink = 1;
  EXPECT_TRUE(display->Fetch(body.str()));
  return display;
}

int WorstChannelStep(const Surface& a, const Surface& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const COLORREF p = a.GetPixel(x, y);
      const COLORREF q = b.GetPixel(x, y);
      for (const int shift : {0, 8, 16}) {
        worst = std::max(worst, std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                         static_cast<int>((q >> shift) & 0xFF)));
      }
    }
  }
  return worst;
}

TEST(WindowSizePicture, LooksAsThePageStretchedToTheWindow) {
  for (const Size window : {Size{640, 360}, Size{1918, 1055}, Size{3840, 2160}}) {
    SCOPED_TRACE(testing::Message() << window.width << "x" << window.height);
    const std::unique_ptr<HeadlessDisplay> page = OpenDisplay();
    const std::unique_ptr<HeadlessDisplay> scaled = OpenDisplay();
    ASSERT_TRUE(page && scaled);
    scaled->SetWindow(window);
    Surface stretched(window.width, window.height);
    // The second before the views switch, the switch (the fade starts), and a still frame.
    for (const int second : {9, 10, 10, 12}) {
      SCOPED_TRACE(second);
      const PaintSource paged = page->Paint(second);
      const PaintSource frame = scaled->Paint(second);
      ASSERT_NE(frame.surface, nullptr);
      ASSERT_EQ(frame.surface->width(), window.width);
      StretchBlt(stretched, 0, 0, window.width, window.height, *paged.surface, paged.source.left,
                 paged.source.top, paged.source.Width(), paged.source.Height());
      EXPECT_LE(WorstChannelStep(stretched, *frame.surface), 1);
    }
  }
}

}  // namespace
}  // namespace hw
