#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>
#include <optional>

namespace hw {

// The menus, dialogs and message boxes are written in Japanese; other languages come from the
// translations built into the program (":/i18n/heronwatch_<language>.qm").

// The locale whose translation the program loads, or nothing when it speaks Japanese.
// `override` is the value of HERONWATCH_LANG ("ja", "en", or any locale name); when it is empty
// the system locale decides. Japanese and the C locale of a bare environment keep the Japanese
// texts.
std::optional<QLocale> TranslationLocale(const QString& override, const QLocale& system);

// Loads the translation for `locale` into `translator`, English when the locale's language has
// none of its own, and installs it in the application. Returns false when nothing could be
// loaded; the texts then stay Japanese.
bool InstallUiTranslation(QTranslator& translator, const QLocale& locale);

}  // namespace hw
