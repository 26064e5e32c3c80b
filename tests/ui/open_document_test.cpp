#include <gtest/gtest.h>

#include <QFileInfo>
#include <memory>
#include <optional>

#include "english_texts.h"
#include "fakes/temp_folder.h"
#include "ui/qt_user_interface.h"

namespace hw {
namespace {

// F1 opens the guide in the language of the menus, the Japanese one when there is no other; a
// missing guide, or a desktop without a program for it, is said.
TEST(OpenDocument, ManualInTheLanguageOfTheMenusElseTheJapaneseOne) {
  const char16_t* const japanese = u"取扱説明書.txt";
  const struct {
    bool english;
    bool hasJapanese;
    bool hasEnglish;
    bool viewer;             // whether the desktop has a program for text files
    const char16_t* opened;  // nullptr: none
    bool cannotOpen;
  } cases[] = {
      {false, true, true, true, japanese, false},
      {true, true, true, true, u"UsersGuide.txt", false},
      {true, true, false, true, japanese, false},
      {true, false, true, true, u"UsersGuide.txt", false},
      {false, false, true, true, nullptr, true},
      {true, false, false, true, nullptr, true},
      {false, true, false, false, japanese, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.english << c.hasJapanese << c.hasEnglish << c.viewer);
    const test::TempFolder work(/*enter=*/true);
    if (c.hasJapanese) work.Write(QString::fromUtf16(japanese).toStdString(), "guide\n");
    if (c.hasEnglish) work.Write("UsersGuide.txt", "guide\n");
    std::optional<test::EnglishTexts> english;
    if (c.english) {
      ASSERT_TRUE(english.emplace().installed());
    }
    QWidget owner;
    QtUserInterface ui(owner);
    std::vector<QString> opened;
    ui.SetDocumentLauncher([&](const QString& path, QObject*, std::function<void(bool)> done) {
      opened.push_back(QFileInfo(path).fileName());
      done(c.viewer);
    });

    int cannotOpen = 0;
    ui.OpenDocument(japanese, [&] { ++cannotOpen; });
    EXPECT_EQ(cannotOpen, c.cannotOpen ? 1 : 0);
    if (c.opened == nullptr) {
      EXPECT_TRUE(opened.empty());
    } else {
      EXPECT_EQ(opened, std::vector<QString>{QString::fromUtf16(c.opened)});
    }
  }
}

// An answer that comes after the logic was disconnected (the program is ending) reaches
// nothing.
TEST(OpenDocument, ALateAnswerAfterDisconnectIsDropped) {
  const test::TempFolder work(/*enter=*/true);
  work.Write("取扱説明書.txt", "guide\n");
  QWidget owner;
  QtUserInterface ui(owner);
  QObject* context = nullptr;
  std::function<void(bool)> answer;
  ui.SetDocumentLauncher([&](const QString&, QObject* c, std::function<void(bool)> done) {
    context = c;
    answer = std::move(done);
  });
  int cannotOpen = 0;
  ui.OpenDocument(u"取扱説明書.txt", [&] { ++cannotOpen; });
  QPointer<QObject> alive(context);
  ui.Disconnect();
  EXPECT_TRUE(alive.isNull());
}

// The user's copy in the working folder wins; without one, the installed runtime folder's.
TEST(OpenDocument, TheUsersCopyElseTheInstalledOne) {
  const char16_t* const japanese = u"取扱説明書.txt";
  for (const bool userCopy : {true, false}) {
    SCOPED_TRACE(userCopy);
    const test::TempFolder work(/*enter=*/true);
    const test::TempFolder shipped;
    shipped.Write(QString::fromUtf16(japanese).toStdString(), "guide\n");
    if (userCopy) work.Write(QString::fromUtf16(japanese).toStdString(), "my notes\n");
    QWidget owner;
    QtUserInterface ui(owner, QString::fromStdString(shipped.path().string()));
    std::vector<QString> paths;
    ui.SetDocumentLauncher([&](const QString& path, QObject*, std::function<void(bool)> done) {
      paths.push_back(path);
      done(true);
    });
    int cannotOpen = 0;
    ui.OpenDocument(japanese, [&] { ++cannotOpen; });
    EXPECT_EQ(cannotOpen, 0);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0],
              QString::fromStdString(
                  ((userCopy ? work.path() : shipped.path()) / "取扱説明書.txt").string()));
  }
}

}  // namespace
}  // namespace hw
