#include <cstdio>
#include <string>

#include "eventlog/event_log.h"
#include "platform/frame_ticker.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"
#include "settings/app_settings.h"
#include "shell/tremorlens_dlg.h"

namespace hw {

void CTremorlensDlg::OnDestroy() {
  LoopState& loop = context_.loop;
  platform_.frameTicker.Stop();
  platform_.window.KillTimer();
  ports_.fetch.Shutdown();
  ports_.reference.Shutdown();
  warnings_.Shutdown();

  // When start-up ended before the first tick placed the window, the window still has its
  // initial rectangle; the stored one is kept rather than overwritten with it.
  const AppSettings& settings = context_.settings;
  const Rect windowRect = loop.StartupStage > 0
                              ? FramedWindowRect()
                              : Rect{settings.Left, settings.Top, settings.Right, settings.Bottom};
  // The file is read again so that keys edited by hand during the run (Debug, TStart, [Net])
  // and every other line stay as they are.
  const std::u16string path = context_.WorkingFolder.SettingsFile();
  ProfileFile file = ProfileFile::Load(path);
  std::string problem;
  if (!file.KeepReason().empty()) {
    // Replacing a file that could not be read would drop every line of it this run never saw.
    problem = "Heronwatch.ini " + file.KeepReason() + "; it is left as it is";
  } else {
    WriteAppSettings(file, settings, windowRect);
    if (std::string error; !file.Save(path, &error)) {
      problem = "cannot write Heronwatch.ini: " + error;
    }
  }

  display_.ReleaseSurfaces();

  // The end lines carry the time of closing, also when start-up stopped before the first tick
  // read the clock.
  loop.NowTime = platform_.clock.LocalNow();
  EventLog& log = context_.eventLog;
  if (!problem.empty()) {
    problem = "settings not saved: " + problem;
    std::fprintf(stderr, "heronwatch: %s\n", problem.c_str());
    log.WriteEventLog(std::u16string(kEventLogPrefix) + Utf8ToUtf16(problem));
  }
  log.WriteEventLog(std::u16string(kEventLogPrefix) + u"Log End");
  log.WriteEventLog(SeparatorLine(u'='));
  ports_.tray.Remove();
}

}  // namespace hw
