#pragma once

#include <string>

#include "platform/colorref.h"
#include "platform/geometry.h"
#include "platform/profile_file.h"

namespace hw {

// The values of the settings file "Heronwatch.ini", held for the whole run. Field names are
// the key names; the defaults are the values before reading.
struct AppSettings {
  // [Theme]
  std::u16string Name = u"Theme_REV";
  // [Position]: the restored window rectangle with its frame, in workspace coordinates.
  int Top = 0;
  int Left = 0;
  int Bottom = 0;
  int Right = 0;
  int MinX = 640;
  int MinY = 480;
  int MaxX = 1920;
  int MaxY = 1080;
  // [Flag]
  int FlameOff = 0;
  int Ontop = 1;
  int Drag = 0;
  int Demo = 0;
  int Debug = 0;
  int TStart = 0;
  // 1: the desktop starts the program at login (the settings dialog keeps the autostart entry).
  int Autostart = 0;
  // [File]
  std::u16string HisJsonSavePath = u".\\Storage\\history.json";
  int HisJsonNum = 20;
  // [Config]
  int Aspect = 0;
  int SiJson = 0;
  int StaJson = 0;
  int SpeedDraw = 4;
  int SpeedScroll = 3;
  int Reload = 2;
  int EpiFront = 0;
  int EpiBlink = 0;
  int ShindoMap = 0;
  // [Net]: read only, edited by hand; HERONWATCH_* environment variables override them.
  std::u16string ApiBase = u"https://api.p2pquake.net";
  std::u16string SandboxBase = u"https://api-v2-sandbox.p2pquake.net";
  std::u16string StationHost = u"https://www.jma.go.jp";
  // [Notify]: desktop notifications of new reports (keys Enabled, MinScale, Foreign, Tsunami,
  // Demo, Sound, SoundFile). MinScale is an intensity code 10 … 70; SoundFile empty means
  // the chime of the working folder.
  int NotifyEnabled = 1;
  int NotifyMinScale = 30;
  int NotifyForeign = 1;
  int NotifyTsunami = 1;
  int NotifyDemo = 0;
  int NotifySound = 0;
  std::u16string NotifySoundFile;
  // Notifications of tsunami forecasts from this grade on (keys TsunamiGrade: 0 none,
  // 1 津波注意報, 2 津波警報, 3 大津波警報) and of early warnings (EarlyWarning, urgent), the
  // latter with a sound of their own (EarlyWarningSound: −1 as Sound, 0 none, 1 always;
  // EarlyWarningSoundFile empty means the shipped warning sound).
  int NotifyTsunamiGrade = 1;
  int NotifyEarlyWarning = 1;
  int NotifyEarlyWarningSound = -1;
  std::u16string NotifyEarlyWarningSoundFile;
  // [Warning]: what the picture shows beside the reports: the tsunami forecast in force
  // (Tsunami), early warnings from the push channel (EarlyWarning), and test messages of the
  // service, labelled "訓練/テスト" (ShowTest).
  int WarningTsunami = 1;
  int WarningEarly = 1;
  int WarningShowTest = 0;
  // [Push]: read only, edited by hand. The service's push channel starts a fetch as soon as a
  // report is announced; while it is connected, polling waits PushReload seconds instead of
  // Reload. HERONWATCH_PUSH_URL / HERONWATCH_SANDBOX_PUSH_URL override the addresses.
  int PushEnabled = 1;
  std::u16string PushUrl = u"wss://api.p2pquake.net/v2/ws";
  std::u16string PushSandboxUrl = u"wss://api-realtime-sandbox.p2pquake.net/v2/ws";
  int PushReload = 30;
  // [Stream]: outputs of the picture for streams, all off by default. File: a PNG file the
  // picture is written to whenever it changes, at most Rate times a second, at Width × Height
  // (a path relative to the working folder, or absolute; empty: none). Http: a local page, the
  // pictures, the report as JSON and a stream of events on Listen:Port. Overlay: the picture
  // without the map, transparent in the PNG outputs and KeyColor (#rrggbb) in the window, with
  // the markers and the epicentre when OverlayMarkers is 1. OnReport: a command run (no shell)
  // once per new live report, and for demo reports when OnReportDemo is 1.
  std::u16string StreamFile;
  int StreamRate = 2;
  int StreamWidth = 1920;
  int StreamHeight = 1080;
  int StreamHttp = 0;
  std::u16string StreamListen = u"127.0.0.1";
  int StreamPort = 8551;
  int StreamOverlay = 0;
  std::u16string StreamKeyColor = u"#00ff00";
  int StreamOverlayMarkers = 0;
  std::u16string StreamOnReport;
  int StreamOnReportDemo = 0;
};

// [Stream] KeyColor as a colour; a value that is not #rrggbb gives the default green.
COLORREF StreamKeyColour(const std::u16string& text);

// The window rectangle of a first start, in workspace coordinates: a 16:9 client area of
// 960 × 540 (smaller on a work area without room for it) with a frame of the given size
// around it, centred in the work area.
Rect DefaultWindowRect(const Rect& workArea, int frameWidth, int frameHeight);

// The [Position] defaults: the rectangle of a first start before the frame's size is known.
void ApplyDefaultPosition(AppSettings& settings, const Rect& workArea);

// Whether the file holds a [Position] rectangle (any of Top, Left, Bottom, Right).
bool HasStoredPosition(const ProfileFile& file);

// Reads [Theme] Name.
void ReadThemeName(const ProfileFile& file, AppSettings& settings);

// Reads every other key in the documented order, each with its in-memory value as the default,
// and limits each value right after reading it.
void ReadAppSettings(const ProfileFile& file, AppSettings& settings);

// Writes every key except [Flag] Debug and TStart and the hand-edited [Net] and [Push] keys, in the
// documented order; [Position] comes from `windowRect` (the framed window rectangle).
void WriteAppSettings(ProfileFile& file, const AppSettings& settings, const Rect& windowRect);

}  // namespace hw
