#include "i18n/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

// Registers the compiled-in catalogues whichever way the linker arranged the static
// libraries (the resource macro must be used outside any namespace).
static void InitTranslationResources() {
    Q_INIT_RESOURCE(ordvane_translation_files);
}

namespace ordvane {
namespace {

// Installs a translator that lives as long as the application.
bool Install(const QLocale& locale, const QString& name, const QString& directory) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, name, QStringLiteral("_"), directory)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace

bool InstallTranslations(const QLocale& locale) {
    InitTranslationResources();
    Install(locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../share/ordvane/translations"));
    for (const QString& directory : {installed, QStringLiteral(":/ordvane/translations")}) {
        if (Install(locale, QStringLiteral("ordvane"), directory)) {
            return true;
        }
    }
    // A language without a catalogue of ours gets the English texts with their plurals.
    const QLocale english(QLocale::English);
    return Install(english, QStringLiteral("ordvane"), installed) ||
           Install(english, QStringLiteral("ordvane"), QStringLiteral(":/ordvane/translations"));
}

}  // namespace ordvane
