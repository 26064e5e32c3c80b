#pragma once

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/fetch_status.h"
#include "acquisition/report_reader.h"
#include "eventlog/event_log.h"
#include "platform/window_host.h"
#include "platform/work_folder_layout.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"
#include "shell/fetch_schedule.h"

namespace hw {

// The main loop's state; names as the loop's description gives them.
struct LoopState {
  int StartupStage = 0;
  std::tm NowTime{};
  std::tm PrevTime{};
  int FetchPhase = 0;
  // Set by the commands that ask for a fetch at the next new second (a data-source change, the
  // settings dialog's OK, the push doorbell): the phase alone cannot promise it when the poll
  // period changes in between, as it does when the push channel connects or drops.
  bool FetchSoon = false;
  int FetchHoldOff = 0;
  int FetchFailures = 0;          // failed fetches in a row, for the back-off
  int RedirectedFetches = 0;      // answered fetches in a row that needed redirects, likewise
  int FetchRedirectsAllowed = 3;  // what the request budget leaves the next fetch
  // Seconds since the selected service last gave a whole list, or since it was selected; the
  // feed is stale once they pass the stale period. When the last whole list came in this run.
  int SecondsWithoutList = 0;
  bool FeedStale = false;
  std::optional<std::tm> LastListTime;
  FetchStatusValue LastFetchStatus = FetchIdle;
  int PaintCount = 0;
  int TickerMoved = 0;
  int PendingFrames = 0;
  int FrameSubCount = 0;
  int TimerPeriod = 1;
  int FrameInterval = 33;
  int TickerOffset = 0;
  int StationRefreshSecond = 0;
  int FrameExtraHeight = 0;
  int FrameExtraWidth = 0;
  int DragFollow = 0;
  WindowPlacement DragStartPlacement;
  Point DragStartCursor;
};

// Everything the program holds for its whole run, owned by start-up and passed by reference.
// A test makes a fresh one. Not movable: the event log refers to two of its members.
struct AppContext {
  AppContext();
  ~AppContext() = default;
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  WorkFolderLayout WorkingFolder;
  int DialogInitialised = 0;
  // What the program found before its window existed and goes on without (a session bus that
  // does not answer, a desktop where a window mode cannot work): said on the terminal at once
  // and in the event log when it starts.
  std::vector<std::u16string> StartupNotes;

  AppSettings settings;
  ThemeList themes;
  // How the report reader writes times for the theme's fonts; set at start-up.
  TimePaddings Paddings;

  // 1 while the API's sandbox is used instead of the live service; never stored.
  int SandboxSwitch = 0;
  // 1 from an Escape key press until the cancel command that follows it, so that Escape
  // never closes the window.
  int EscapePending = 0;

  FetchShared fetch;

  LoopState loop;
  MsvcRandom random;

  EventLog eventLog{WorkingFolder, loop.NowTime};

  // The files of the theme in use.
  ThemeFiles Theme() const { return WorkingFolder.Theme(settings.Name); }
};

}  // namespace hw
