#include "platform/screen_fit.h"

#include <gtest/gtest.h>

#include <climits>

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
      {"title bar across both screens, body off the bottom",
       {1820, 1000, 2460, 1480},
       {1820, 1000, 2460, 1480}},
      {"beyond the last screen", {4000, 100, 4640, 580}, {3200, 100, 3840, 580}},
      {"left of every screen", {-3000, 300, -2360, 780}, {0, 300, 640, 780}},
      {"only 50 pixels of its left end show", {3790, 100, 4430, 580}, {3200, 100, 3840, 580}},
      {"title bar above the top", {100, -30, 740, 450}, {100, 0, 740, 480}},
      {"far above every screen", {100, -2000, 740, -1520}, {100, 0, 740, 480}},
      {"larger than the screen it comes to", {5000, 5000, 7000, 7000}, {1920, 0, 3920, 2000}},
      {"at the low ends of the integers",
       {INT_MIN, INT_MIN, INT_MIN + 640, INT_MIN + 480},
       {0, 0, 640, 480}},
      {"at the high ends of the integers",
       {INT_MAX - 640, INT_MAX - 480, INT_MAX, INT_MAX},
       {3200, 600, 3840, 1080}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(KeepOnScreens(c.window, screens, workArea), c.expected);
  }
}

TEST(KeepOnScreens, WithoutScreensTheWorkAreaStandsForThem) {
  // A 1920 × 1080 desktop and a window stored at Left=3000.
  EXPECT_EQ(KeepOnScreens({3000, 100, 3640, 580}, {}, {0, 0, 1920, 1040}),
            (Rect{1280, 100, 1920, 580}));
}

TEST(BringOntoScreens, AWindowMostlyOffTheScreensComesWhollyOntoTheOneShowingMostOfIt) {
  // A 1920 × 1080 screen with a second one of 1280 × 720 to its right.
  const std::vector<Rect> screens{{0, 0, 1920, 1080}, {1920, 0, 3200, 720}};
  const Rect workArea{0, 0, 1920, 1040};
  struct Case {
    const char* name;
    Rect window;
    Rect expected;
  };
  const Case cases[] = {
      {"wholly on a screen", {2000, 100, 2640, 580}, {2000, 100, 2640, 580}},
      {"half on each screen", {1600, 100, 2240, 580}, {1600, 100, 2240, 580}},
      {"half off the bottom of the second screen", {2000, 480, 2640, 960}, {2000, 480, 2640, 960}},
      {"mostly off the right of the second screen", {3000, 300, 3640, 780}, {2560, 240, 3200, 720}},
      {"on a screen that is gone", {4000, 100, 4640, 580}, {2560, 100, 3200, 580}},
      {"title bar above every screen", {100, -30, 740, 450}, {100, 0, 740, 480}},
      {"larger than the screen showing most of it", {2500, 100, 4100, 1000}, {1920, 0, 3520, 900}},
      {"at the ends of the integers",
       {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
       {0, 0, INT_MAX, INT_MAX}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BringOntoScreens(c.window, screens, workArea), c.expected);
  }
}

TEST(PlaceBeside, TheDialogGoesWhereItCoversNoneOfTheWindow) {
  const std::vector<Rect> screens{{0, 0, 1920, 1040}, {1920, 0, 3200, 720}};
  const Rect workArea{0, 0, 1920, 1040};
  const Size dialog{600, 660};
  struct Case {
    const char* name;
    Rect window;
    Rect expected;
  };
  const Case cases[] = {
      {"room on the right", {100, 100, 740, 580}, {748, 100, 1348, 760}},
      {"room on the left only", {1200, 100, 1840, 580}, {592, 100, 1192, 760}},
      {"lined up with the screen's bottom", {100, 600, 740, 1000}, {748, 380, 1348, 1040}},
      {"below a wide window", {0, 0, 1920, 300}, {0, 308, 600, 968}},
      {"above a wide window", {0, 700, 1920, 1040}, {0, 32, 600, 692}},
      {"no room anywhere: over the window at the screen's right",
       {0, 0, 1920, 1040},
       {1320, 0, 1920, 660}},
      {"on the screen that shows the window", {2000, 0, 2640, 480}, {2600, 0, 3200, 660}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PlaceBeside(c.window, dialog, screens, workArea), c.expected);
  }
}

}  // namespace
}  // namespace hw
