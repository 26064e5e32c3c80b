#include "ui/ui_language.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QXmlStreamReader>
#include <optional>

namespace hw {
namespace {

TEST(UiLanguage, OverrideElseSystemLocaleChoosesTheTranslation) {
  const struct {
    const char* override;
    const char* system;
    std::optional<QLocale::Language> expected;  // nothing: the Japanese texts
  } cases[] = {
      {"", "ja_JP", std::nullopt},
      {"", "C", std::nullopt},
      {"", "en_US", QLocale::English},
      {"", "de_DE", QLocale::German},
      {"en", "ja_JP", QLocale::English},
      {" en ", "C", QLocale::English},
      {"ja", "en_GB", std::nullopt},
      {"ja_JP", "fr_FR", std::nullopt},
      // A name Qt does not know means the C locale: Japanese.
      {"xx", "en_US", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.override) + " / " + c.system);
    const std::optional<QLocale> locale =
        TranslationLocale(QString::fromLatin1(c.override), QLocale(QString::fromLatin1(c.system)));
    ASSERT_EQ(locale.has_value(), c.expected.has_value());
    if (locale) {
      EXPECT_EQ(locale->language(), *c.expected);
    }
  }
}

TEST(UiLanguage, LanguageWithoutATranslationOfItsOwnGetsEnglish) {
  for (const QLocale::Language language : {QLocale::English, QLocale::German}) {
    QTranslator translator;
    ASSERT_TRUE(InstallUiTranslation(translator, QLocale(language, QLocale::AnyTerritory)));
    EXPECT_EQ(QCoreApplication::translate("CommandMenu", "終了"), QStringLiteral("Exit"));
    QCoreApplication::removeTranslator(&translator);
  }
  EXPECT_EQ(QCoreApplication::translate("CommandMenu", "終了"), QString::fromUtf16(u"終了"));
}

// Every text of the committed translation is translated: an unfinished or empty entry would
// show Japanese in an English menu.
TEST(UiLanguage, EveryEnglishEntryIsFinished) {
  QFile file(QStringLiteral(HW_SOURCE_DIR "/translations/heronwatch_en.ts"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
  QXmlStreamReader xml(&file);
  int messages = 0;
  QString source;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QStringLiteral("source")) {
      source = xml.readElementText();
    } else if (xml.name() == QStringLiteral("translation")) {
      ++messages;
      SCOPED_TRACE(source.toStdString());
      EXPECT_TRUE(xml.attributes().value(QStringLiteral("type")).isEmpty());
      EXPECT_FALSE(xml.readElementText().isEmpty());
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_GT(messages, 50);
}

}  // namespace
}  // namespace hw
