// The desktop program: prepares the user's working folder, then runs the main window.

#include <unistd.h>

#include <QApplication>
#include <QDBusConnection>
#include <QTranslator>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/fetch_worker.h"
#include "acquisition/tsunami_fetch.h"
#include "app/working_folder.h"
#include "display/theme_assets.h"
#include "platform/autostart_entry.h"
#include "platform/clock.h"
#include "platform/curl/curl_http_client.h"
#include "platform/event_sound.h"
#include "platform/frame_ticker.h"
#include "platform/instance_lock.h"
#include "platform/qt/app_icon.h"
#include "platform/qt/close_signals.h"
#include "platform/qt/instance_door.h"
#include "platform/qt/png_output_worker.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_picture_decoder.h"
#include "platform/qt/qt_push_channel.h"
#include "platform/qt/qt_text_renderer.h"
#include "platform/qt/stream_http_server.h"
#include "platform/report_command.h"
#include "platform/session_bus_probe.h"
#include "platform/standard_folders.h"
#include "platform/text_codec.h"
#include "refdata/reference_data_service.h"
#include "shell/app_context.h"
#include "shell/fetch_config.h"
#include "shell/tremorlens_app.h"
#include "shell/tremorlens_dlg.h"
#include "ui/desktop_notifier.h"
#include "ui/qt_user_interface.h"
#include "ui/tray_icon.h"
#include "ui/ui_language.h"

namespace {

// A message box's text in the user's language (the box would translate a whole text, but these
// have a detail appended).
std::u16string Message(const char* text) {
  return QCoreApplication::translate("Messages", text).toStdU16String();
}

// Moves into the working folder, which holds what the user owns; the shipped files are read
// from the installed runtime folder. Copies of shipped files that earlier versions left there
// and the user never changed are dropped first, so that the installed, newer ones are read. The
// program writes its settings and event log in the working folder and nowhere else: when there
// is no such folder, or it cannot be made or entered, it says why and returns false, and the
// program ends instead of writing into whatever folder it was started from. A folder that cannot
// be written is reported and the program runs on with what the folder holds.
bool EnterWorkingFolder(const std::filesystem::path& runtime, hw::WindowHost& window) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::string error;
  const std::optional<fs::path> work = hw::UserWorkingFolder(error);
  hw::FolderUpgrade upgrade;
  const bool prepared =
      work && hw::PrepareWorkingFolder(*work, runtime, hw::EarlierSeededFiles(), upgrade, error);
  if (!prepared || ::chdir(work->c_str()) != 0) {
    if (error.empty()) error = "cannot enter " + work->string() + ": " + std::strerror(errno);
    std::fprintf(stderr, "heronwatch: %s; not started\n", error.c_str());
    window.MessageBox(
        Message(QT_TRANSLATE_NOOP("Messages", "作業フォルダを用意できないため、起動できません。")) +
            u"\n" + hw::Utf8ToUtf16(error),
        u"Heronwatch");
    return false;
  }
  if (!upgrade.dropped.empty()) {
    std::fprintf(stderr,
                 "heronwatch: %zu unchanged copies of installed files removed from %s; the "
                 "installed ones are used now\n",
                 upgrade.dropped.size(), work->c_str());
    for (const std::string& kept : upgrade.kept) {
      std::fprintf(stderr,
                   "heronwatch: your own %s is kept and used instead of the installed one\n",
                   kept.c_str());
    }
  }
  if (::access(".", W_OK) != 0) {
    // The message box also writes the text to standard error.
    window.MessageBox(
        QCoreApplication::translate(
            "Messages", "作業フォルダ %1 に書き込めません。設定とイベントログは保存されません。")
            .arg(QString::fromStdString(work->string()))
            .toStdU16String(),
        u"Heronwatch");
  }
  return true;
}

// How long the session bus, the tray host and a running copy each get to answer before the
// program goes on without them. A bus or a copy on the same machine answers within
// milliseconds.
constexpr int kAnswerMs = 2000;

// An address that fails at once: the D-Bus library is never left waiting on a bus that took
// the connection and never answers.
constexpr const char* kNoBus = "unix:path=/dev/null";

// What the desktop's session bus is to the program this run.
struct SessionBusChoice {
  // The bus the notifications go to when the program's own bus connection was turned off only
  // because of the tray host; empty otherwise.
  std::string notificationAddress;
  std::vector<std::u16string> notes;  // for the event log
};

// Asks the session bus and the tray host before Qt talks to them without a time-out (the
// window would never appear). A bus that does not answer is turned off for the whole run; a
// tray host that does not answer is kept from the tray icon, which then waits for an XEmbed
// tray, while the notifications keep the bus through a connection of their own.
SessionBusChoice ChooseSessionBus() {
  SessionBusChoice choice;
  const std::string address = hw::SessionBusAddress();
  if (address.empty()) return choice;
  const hw::SessionBusProbe probe =
      hw::ProbeSessionBus(address, kAnswerMs, [] { return hw::CloseSignalPending(); });
  if (probe.bus == hw::BusAnswer::kSilent) {
    std::fprintf(stderr,
                 "heronwatch: the session bus (%s) does not answer; going on without it: no "
                 "desktop notifications through it (the tray shows them), no tray icon through "
                 "it\n",
                 address.c_str());
    choice.notes.push_back(u"セッションバス … 応答がありません (" + hw::Utf8ToUtf16(address) +
                           u"); バスを使わずに続けます");
    ::setenv("DBUS_SESSION_BUS_ADDRESS", kNoBus, 1);
  } else if (probe.trayHost == hw::BusAnswer::kSilent) {
    std::fprintf(stderr,
                 "heronwatch: the tray host (org.kde.StatusNotifierWatcher) does not answer; the "
                 "tray icon is left to an XEmbed tray\n");
    choice.notes.emplace_back(
        u"通知領域 … トレイのホスト (org.kde.StatusNotifierWatcher) が応答しません; アイコンは "
        u"XEmbed のトレイに出します");
    choice.notificationAddress = address;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", kNoBus, 1);
  }
  return choice;
}

// On a Wayland session the window runs through XWayland when it can: staying on top or at the
// back, placing itself and being dragged need X11. QT_QPA_PLATFORM chooses otherwise.
void PreferXWayland() {
  const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                       qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland");
  if (wayland && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
      qEnvironmentVariableIsSet("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
}

}  // namespace

int main(int argc, char** argv) {
  hw::InstallCloseSignals();
  PreferXWayland();
  const SessionBusChoice bus = ChooseSessionBus();
  QApplication application(argc, argv);

  QApplication::setApplicationName(QStringLiteral("Heronwatch"));
  QApplication::setWindowIcon(hw::AppIcon());
  // Wayland compositors and docks match the window to the installed desktop entry by this.
  QApplication::setDesktopFileName(QString::fromLatin1(hw::DesktopEntryId()));
  // Qt adopts the user's locale; numbers in files and the event log must keep the "." of the
  // C locale whatever it is.
  std::setlocale(LC_NUMERIC, "C");
  // Menus, dialogs and messages follow the system's language (LANG, LC_ALL), or HERONWATCH_LANG
  // when it is set; Japanese needs no translation.
  QTranslator translator;
  if (const auto locale =
          hw::TranslationLocale(qEnvironmentVariable("HERONWATCH_LANG"), QLocale::system())) {
    if (!hw::InstallUiTranslation(translator, *locale)) {
      std::fprintf(stderr, "heronwatch: no translation for %s; the texts stay Japanese\n",
                   locale->name().toUtf8().constData());
    }
  }

  hw::QtMainWindow window;
  // A close signal ends a message box or dialog that is open, so nothing waits for a user who
  // is not there: before the main window runs, the program then ends where it stands.
  hw::WatchCloseSignals(window, [&window] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    window.PostClose();
  });
  std::vector<std::u16string> notes = bus.notes;
  if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
    std::fprintf(stderr,
                 "heronwatch: on Wayland the window cannot stay on top or at the back, place "
                 "itself or be dragged; QT_QPA_PLATFORM=xcb runs it through XWayland\n");
    notes.emplace_back(
        u"Wayland … 常に手前・常に背面・位置の指定・ドラッグ移動は働きません "
        u"(QT_QPA_PLATFORM=xcb で XWayland を使うと働きます)");
  }

  const auto lock = hw::MakeSystemInstanceLock();
  // What a second start brings forward, once the main window's logic exists.
  hw::CommandTarget* shownOnKnock = nullptr;
  hw::InstanceDoor door;
  const auto showRunningCopy = [&lock] {
    const QString path = QString::fromStdString(lock->DoorPath());
    if (path.isEmpty() ||
        !hw::InstanceDoor::Knock(path, kAnswerMs, [] { return hw::CloseSignalPending(); })) {
      return false;
    }
    std::fprintf(
        stderr, "Heronwatch: %s\n",
        QCoreApplication::translate("Messages", "このアプリは起動済みです。").toUtf8().constData());
    return true;
  };
  int exitCode = 0;
  hw::CTremorlensApp app(*lock, window, showRunningCopy, [&] {
    // A second start brings this copy forward: its message box when one is open, else its
    // window.
    const QString doorPath = QString::fromStdString(lock->DoorPath());
    const auto onKnock = [&shownOnKnock] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
      } else if (shownOnKnock != nullptr) {
        shownOnKnock->OnCommand(hw::kCommandShowWindow);
      }
    };
    if (!doorPath.isEmpty() && !door.Listen(doorPath, onKnock)) {
      std::fprintf(stderr,
                   "heronwatch: cannot listen at %s; a second start will not find this "
                   "copy\n",
                   qPrintable(doorPath));
    }
    const std::filesystem::path runtime = hw::ShippedRuntimeFolder();
    if (!EnterWorkingFolder(runtime, window)) {
      exitCode = 1;
      return;
    }
    hw::SystemClock clock;
    hw::MonotonicFrameTicker frameTicker(clock);
    hw::QtTextRenderer text;
    hw::PlatformServices platform{clock, window, frameTicker, text};
    const auto context = std::make_unique<hw::AppContext>();
    context->StartupNotes = notes;
    context->WorkingFolder.SetShipped(runtime.u16string());
    // The picture: composed and painted by its display, which the window's logic feeds.
    hw::Display display({text, context->eventLog, window});
    hw::CurlHttpClient http;
    hw::FetchWorker fetch(context->fetch, http, [&] { return hw::MakeFetchConfig(*context); });
    hw::TsunamiFetchWorker tsunamiFetch(http);
    hw::ReferenceDataService reference(display.reference(), context->themes, context->WorkingFolder,
                                       http,
                                       [&] { return hw::MakeStationRefreshConfig(*context); });
    hw::QtPictureDecoder decoder;
    hw::ThemeAssets assets(
        display.surfaces(), [&c = *context] { return c.Theme(); }, decoder, text);
    hw::QtTrayIcon tray;
    hw::QtUserInterface ui(window, QString::fromStdString(runtime.string()));
    // The tray icon has chosen its tray with the bus turned off; the notifications, and the
    // programs started from here, have the bus back.
    QDBusConnection notificationBus = QDBusConnection::sessionBus();
    if (!bus.notificationAddress.empty()) {
      ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.notificationAddress.c_str(), 1);
      notificationBus = QDBusConnection::connectToBus(
          QString::fromStdString(bus.notificationAddress), QStringLiteral("heronwatch-notify"));
    }
    const std::unique_ptr<hw::EventSound> chime = hw::MakeDesktopEventSound();
    hw::DesktopNotifier notifier(&tray.icon(), *chime, notificationBus);
    // The outputs for streams: off until the settings turn them on.
    const std::unique_ptr<hw::PictureOutputWorker> pictureOutput = hw::MakePngOutputWorker();
    const std::unique_ptr<hw::StreamServer> streamServer = hw::MakeStreamHttpServer();
    const std::unique_ptr<hw::CommandRunner> commands = hw::MakeCommandRunner();
    hw::ShellPorts ports{fetch,
                         reference,
                         assets,
                         tray,
                         ui,
                         notifier,
                         {pictureOutput.get(), streamServer.get(), commands.get()}};
    hw::QtPushChannel push;

    hw::CTremorlensDlg dialog(*context, display, platform, ports);
    dialog.AttachPushChannel(push);
    dialog.AttachTsunamiFetch(tsunamiFetch);
    window.SetEventSink(&dialog);
    tray.SetCommandTarget(&dialog);
    notifier.SetCommandTarget(&dialog);
    ui.Connect(dialog, dialog.settingsLink());
    dialog.OnInitDialog();
    shownOnKnock = &dialog;
    if (hw::CloseSignalPending()) window.PostClose();
    window.RunModalLoop();
    shownOnKnock = nullptr;
    // The settings dialog works on the main window's logic: close it before that logic ends.
    ui.Disconnect();
    dialog.OnDestroy();
    window.SetEventSink(nullptr);
    tray.SetCommandTarget(nullptr);
    notifier.SetCommandTarget(nullptr);
  });
  app.InitInstance();
  return exitCode;
}
