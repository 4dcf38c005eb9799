// Qt's own texts (the file and font dialogs, the standard buttons and context menus) in
// Japanese, the language of the program's own texts.
#pragma once

class QCoreApplication;
class QTranslator;

namespace orvane {

// Installs Qt's Japanese translations (Debian's qt6-translations-l10n) into App; the
// translator (owned by App), or null when they are not installed and Qt stays in English.
QTranslator* LoadQtTranslations(QCoreApplication& App);

}  // namespace orvane
