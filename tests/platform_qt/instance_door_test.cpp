#include "platform/qt/instance_door.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <cstring>
#include <thread>

#include "fakes/temp_folder.h"

namespace hw {
namespace {

// A second start knocks at the running copy's door: the running copy is asked to show its
// window and says it will; with nobody at the door, or a copy that does not answer (stopped,
// busy), the knock says no within its time.
TEST(InstanceDoor, ARunningCopyAnswersTheKnockAndOthersDoNot) {
  const test::TempFolder folder;
  const QString path = QString::fromStdString((folder.path() / "door.socket").string());
  EXPECT_FALSE(InstanceDoor::Knock(path, 200, {}));

  InstanceDoor door;
  int knocks = 0;
  ASSERT_TRUE(door.Listen(path, [&] { ++knocks; }));
  std::atomic<int> answered{-1};
  std::thread second([&] { answered = InstanceDoor::Knock(path, 10000, {}) ? 1 : 0; });
  while (answered < 0)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  second.join();
  EXPECT_EQ(answered, 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(knocks, 1);

  // A socket that takes connections and never reads them, as a stopped copy's does.
  const std::string mute = (folder.path() / "mute.socket").string();
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, mute.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  EXPECT_FALSE(InstanceDoor::Knock(QString::fromStdString(mute), 300, {}));
  int asked = 0;
  EXPECT_FALSE(InstanceDoor::Knock(QString::fromStdString(mute), 60 * 60 * 1000,
                                   [&] { return ++asked > 3; }));
  ::close(listener);
}

}  // namespace
}  // namespace hw
