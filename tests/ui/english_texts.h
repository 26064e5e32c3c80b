#pragma once

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QTranslator>

#include "ui/ui_language.h"

namespace hw::test {

// True when `text` holds Japanese script: kana, kanji or Japanese punctuation (the ideographic
// space, 、。「」). Full-width forms such as the "：" of "16：9" are not counted: they are
// shared punctuation, not Japanese words.
inline bool HasJapanese(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x4DBF) ||
        (u >= 0x4E00 && u <= 0x9FFF))
      return true;
  }
  return false;
}

// The program's English translation, installed for the life of the object.
class EnglishTexts {
 public:
  EnglishTexts() { installed_ = InstallUiTranslation(translator_, QLocale(QLocale::English)); }
  ~EnglishTexts() { QCoreApplication::removeTranslator(&translator_); }
  EnglishTexts(const EnglishTexts&) = delete;
  EnglishTexts& operator=(const EnglishTexts&) = delete;
  bool installed() const { return installed_; }

 private:
  QTranslator translator_;
  bool installed_ = false;
};

}  // namespace hw::test
