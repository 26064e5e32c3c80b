#include "platform/qt/desktop_opener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <optional>
#include <string>

#include "fakes/scoped_environment.h"
#include "fakes/temp_folder.h"

namespace hw {
namespace {

// The desktop's opener says whether it found a program for the file: a failure is told, so
// that F1 can say it instead of doing nothing.
TEST(DesktopOpener, TheOpenersVerdictIsTold) {
  const struct {
    const char* name;
    const char* script;  // the stand-in for xdg-open
    bool opened;
  } cases[] = {
      {"a viewer was started", "exit 0", true},
      {"no program for text files", "echo 'no method available' >&2; exit 3", false},
      {"the opener fails", "exit 4", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const test::TempFolder folder;
    folder.Write("bin/xdg-open", std::string("#!/bin/sh\n") + c.script + "\n");
    ::chmod((folder.path() / "bin/xdg-open").c_str(), 0755);
    const test::ScopedEnv path("PATH", (folder.path() / "bin").string());
    folder.Write("guide.txt", "guide\n");

    QObject context;
    std::optional<bool> opened;
    OpenWithDesktop(QString::fromStdString((folder.path() / "guide.txt").string()), &context,
                    [&](bool answer) { opened = answer; });
    const QDeadlineTimer deadline(20000);
    while (!opened && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(*opened, c.opened);
  }
}

}  // namespace
}  // namespace hw
