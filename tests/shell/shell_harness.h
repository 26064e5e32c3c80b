#pragma once

#include <memory>
#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_frame_ticker.h"
#include "fakes/fake_text_renderer.h"
#include "fakes/fake_window_host.h"
#include "fakes/recording_ports.h"
#include "fakes/temp_folder.h"
#include "shell/app_context.h"
#include "shell/tremorlens_dlg.h"

namespace hw::test {

// A main window with fakes for every adapter, working in a fresh temporary folder.
struct ShellHarness {
  ShellHarness() : folder(true) {}

  // Runs OnInitDialog with a theme folder that has a layout file, so start-up keeps its name.
  void InitWithTheme(const std::string& name = "Theme_REV") {
    folder.Write("Theme/" + name + "/Setting.ini", "");
    dialog.OnInitDialog();
  }
  void Tick() { dialog.OnTimer(); }
  // One tick per second for `seconds` seconds.
  void TickSeconds(int seconds) {
    for (int i = 0; i < seconds; ++i) {
      clock.AdvanceSeconds(1);
      Tick();
    }
  }
  std::string Log() const { return folder.Read("Eventlog/event.log"); }

  TempFolder folder;
  FakeClock clock;
  FakeWindowHost window;
  FakeFrameTicker frameTicker;
  FakeTextRenderer text;
  RecordingPorts recording;
  PlatformServices platform{clock, window, frameTicker, text};
  std::unique_ptr<AppContext> context = std::make_unique<AppContext>();
  Display display{{text, context->eventLog, window}};
  CTremorlensDlg dialog{*context, display, platform, recording.ports};
};

}  // namespace hw::test
