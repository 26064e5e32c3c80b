#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <memory>
#include <optional>

#include "english_texts.h"
#include "fakes/temp_folder.h"
#include "ui/qt_user_interface.h"

namespace hw {
namespace {

// Takes the place of the desktop's viewer for file addresses and records what it was given.
class FileOpener final : public QObject {
  Q_OBJECT
 public:
  FileOpener() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
  ~FileOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
  Q_INVOKABLE void open(const QUrl& url) {
    opened.push_back(url.fileName());
    paths.push_back(url.toLocalFile());
  }
  std::vector<QString> opened;
  std::vector<QString> paths;
};

// F1 opens the guide in the language of the menus, the Japanese one when there is no other.
TEST(OpenDocument, ManualInTheLanguageOfTheMenusElseTheJapaneseOne) {
  const char16_t* const japanese = u"取扱説明書.txt";
  const struct {
    bool english;
    bool hasJapanese;
    bool hasEnglish;
    const char16_t* opened;  // nullptr: none, and OpenDocument says so
  } cases[] = {
      {false, true, true, japanese}, {true, true, true, u"UsersGuide.txt"},
      {true, true, false, japanese}, {true, false, true, u"UsersGuide.txt"},
      {false, false, true, nullptr}, {true, false, false, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.english << c.hasJapanese << c.hasEnglish);
    const test::TempFolder work(/*enter=*/true);
    if (c.hasJapanese) work.Write(QString::fromUtf16(japanese).toStdString(), "guide\n");
    if (c.hasEnglish) work.Write("UsersGuide.txt", "guide\n");
    std::optional<test::EnglishTexts> english;
    if (c.english) {
      ASSERT_TRUE(english.emplace().installed());
    }
    FileOpener opener;
    QWidget owner;
    QtUserInterface ui(owner);

    EXPECT_EQ(ui.OpenDocument(japanese), c.opened != nullptr);
    if (c.opened == nullptr) {
      EXPECT_TRUE(opener.opened.empty());
    } else {
      EXPECT_EQ(opener.opened, std::vector<QString>{QString::fromUtf16(c.opened)});
    }
  }
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
    FileOpener opener;
    QWidget owner;
    QtUserInterface ui(owner, QString::fromStdString(shipped.path().string()));

    ASSERT_TRUE(ui.OpenDocument(japanese));
    ASSERT_EQ(opener.paths.size(), 1u);
    EXPECT_EQ(opener.paths[0],
              QString::fromStdString(
                  ((userCopy ? work.path() : shipped.path()) / "取扱説明書.txt").string()));
  }
}

}  // namespace
}  // namespace hw

#include "open_document_test.moc"
