#include "platform/screen_fit.h"

#include <gtest/gtest.h>

namespace hw {
namespace {

TEST(KeepOnScreens, WindowsThatCanBeReachedStayAndLostOnesComeBack) {
  const std::vector<Rect> screens{{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
  const Rect workArea{0, 0, 1920, 1040};
  struct Case {
    const char* name;
    Rect window;
    Rect expected;
  };
  const Case cases[] = {
      {"on the primary screen", {100, 100, 740, 580}, {100, 100, 740, 580}},
      {"on the second screen", {2100, 200, 2740, 680}, {2100, 200, 2740, 680}},
      {"mostly off a screen's edge", {1900, -400, 2540, 80}, {1900, -400, 2540, 80}},
      {"on a screen that is gone", {4000, 100, 4640, 580}, {1280, 100, 1920, 580}},
      {"far above every screen", {100, -2000, 740, -1520}, {100, 0, 740, 480}},
      {"larger than the work area", {5000, 5000, 7000, 7000}, {0, 0, 2000, 2000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(KeepOnScreens(c.window, screens, workArea), c.expected);
  }
}

}  // namespace
}  // namespace hw
