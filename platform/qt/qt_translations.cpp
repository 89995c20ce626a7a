#include "platform/qt/qt_translations.h"

#include <QLibraryInfo>

namespace kesrow::qt {

bool LoadQtTranslations(QTranslator& translator, const QLocale& locale)
{
    return translator.load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace kesrow::qt
