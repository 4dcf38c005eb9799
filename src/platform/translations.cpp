// Qt's translations.
#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace orvane {

QTranslator* LoadQtTranslations(QCoreApplication& App) {
    auto translator = std::make_unique<QTranslator>(&App);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    App.installTranslator(translator.get());
    return translator.release();
}

}  // namespace orvane
