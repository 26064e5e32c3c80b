#pragma once

namespace hw {

struct AppContext;
class WindowHost;
class TextRenderer;

// Builds the picture for the newest report into canvas pages 0-3, layer by layer, and asks
// for a repaint. Runs on the window's thread whenever new data has been taken over.
class FrameComposer {
 public:
  FrameComposer(AppContext& context, WindowHost& window, TextRenderer& text)
      : context_(context), window_(window), text_(text) {}

  void ComposeFrame();

 private:
  AppContext& context_;
  WindowHost& window_;
  TextRenderer& text_;
};

}  // namespace hw
