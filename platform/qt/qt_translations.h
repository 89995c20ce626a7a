// Qt's own texts (the text boxes' context menus, the standard buttons) in
// the user's language, from the translations the system ships with Qt.
#pragma once

#include <QLocale>
#include <QTranslator>

namespace kesrow::qt {

// Loads qtbase for the locale into the translator; false when the system
// has none for it (qt6-translations-l10n not installed), and Qt stays English.
bool LoadQtTranslations(QTranslator& translator, const QLocale& locale = QLocale());

}  // namespace kesrow::qt
