#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/window_host.h"

namespace hw::test {

// A window that records what the logic asks of it. Its frame adds `frameWidth` and
// `frameHeight` to the client size while the frame style bits are set.
class FakeWindowHost final : public WindowHost {
 public:
  struct PosCall {
    InsertAfter insertAfter;
    unsigned flags;
  };

  Rect GetWorkArea() override { return workArea; }
  WindowPlacement GetWindowPlacement() override { return placement; }
  void SetWindowPlacement(const WindowPlacement& p) override {
    placement = p;
    ++placementSets;
  }
  Rect GetClientRect() override;
  bool IsIconic() override { return placement.minimized; }
  std::uint32_t GetStyle() override { return style; }
  void SetStyle(std::uint32_t s) override {
    style = s;
    ++styleSets;
  }
  void SetWindowPos(InsertAfter insertAfter, unsigned flags) override {
    posCalls.push_back({insertAfter, flags});
  }
  void SetLayeredAlpha(int a) override { alphas.push_back(a); }
  void InvalidateRect() override { ++invalidations; }
  Point GetCursorPos() override { return cursor; }
  bool IsKeyDown(int virtualKey) override { return heldKeys.count(virtualKey) != 0; }
  FrameExtents GetFrameExtents() override { return {frameWidth, frameHeight, frameKnown}; }
  void SetTrackingSizes(Size minimum, Size maximum) override {
    trackingMinimum = minimum;
    trackingMaximum = maximum;
  }
  void MessageBox(std::u16string_view text, std::u16string_view title) override {
    messages.push_back(std::u16string(text));
    messageTitles.push_back(std::u16string(title));
  }
  void PostClose() override { ++closeRequests; }
  void SetTimer(int periodMs) override { timerPeriod = periodMs; }
  void KillTimer() override { timerPeriod = 0; }
  void RunModalLoop() override { ++modalRuns; }
  void BringToFront() override { ++broughtToFront; }

  Rect workArea{0, 0, 1920, 1040};
  WindowPlacement placement{{0, 0, 656, 519}, false};
  std::uint32_t style = 0x90CE0040;
  int frameWidth = 16;
  int frameHeight = 39;
  // False while the window manager has not framed the window yet.
  bool frameKnown = true;
  Point cursor;
  std::set<int> heldKeys;
  Size trackingMinimum;
  Size trackingMaximum;

  int placementSets = 0;
  int styleSets = 0;
  std::vector<PosCall> posCalls;
  std::vector<int> alphas;
  int invalidations = 0;
  std::vector<std::u16string> messages;
  std::vector<std::u16string> messageTitles;
  int closeRequests = 0;
  int timerPeriod = 0;
  int modalRuns = 0;
  int broughtToFront = 0;
};

}  // namespace hw::test
