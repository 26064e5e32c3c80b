#include "ui/ui_language.h"

#include <QCoreApplication>

namespace hw {

std::optional<QLocale> TranslationLocale(const QString& override, const QLocale& system) {
  const QLocale locale = override.trimmed().isEmpty() ? system : QLocale(override.trimmed());
  if (locale.language() == QLocale::Japanese || locale.language() == QLocale::C) return {};
  return locale;
}

bool InstallUiTranslation(QTranslator& translator, const QLocale& locale) {
  const QString directory = QStringLiteral(":/i18n");
  const QString name = QStringLiteral("heronwatch");
  const QString separator = QStringLiteral("_");
  // QTranslator falls back to "heronwatch.qm" when no file fits the locale; there is none, and
  // English is the better guess for a reader of any other language than Japanese.
  const bool loaded = translator.load(locale, name, separator, directory) ||
                      translator.load(QLocale(QLocale::English), name, separator, directory);
  return loaded && QCoreApplication::installTranslator(&translator);
}

}  // namespace hw
