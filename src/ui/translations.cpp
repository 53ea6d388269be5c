#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tsuzuri {

QTranslator* useJapaneseQtTexts(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // The widgets' texts are all in the base module's catalogue.
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

}  // namespace tsuzuri
