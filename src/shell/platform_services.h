#pragma once

namespace hw {

class Clock;
class WindowHost;
class FrameTicker;
class TextRenderer;

// The platform adapters the shell works through.
struct PlatformServices {
  Clock& clock;
  WindowHost& window;
  FrameTicker& frameTicker;
  TextRenderer& text;
};

}  // namespace hw
