#include <gtest/gtest.h>

#include "shell/shell_harness.h"

namespace hw {
namespace {

using test::ShellHarness;

// A minimised window paints nothing, yet the picture file goes on: the loop paints the page
// for the outputs at their rate. A window that is shown gets no such paints.
TEST(StreamLink, MinimisedWindowStillFeedsThePictureFile) {
  for (const bool minimised : {false, true}) {
    SCOPED_TRACE(minimised);
    ShellHarness h;
    h.folder.Write("Heronwatch.ini",
                   "[Flag]\nOntop=0\n[Stream]\nFile=stream/picture.png\nRate=2\n");
    h.InitWithTheme();
    h.window.placement.minimized = minimised;
    for (int tick = 0; tick < 100; ++tick) {
      h.clock.monotonicMs += 10;
      h.Tick();
    }
    const auto& frames = h.recording.pictures.frames;
    if (!minimised) {
      EXPECT_TRUE(frames.empty());
      continue;
    }
    ASSERT_FALSE(frames.empty());
    EXPECT_LE(frames.size(), 3U);  // one second at two a second
    EXPECT_EQ(frames[0].width, kPageWidth);
    EXPECT_NE(frames[0].file.find(u"stream/picture.png"), std::u16string::npos);
  }
}

}  // namespace
}  // namespace hw
