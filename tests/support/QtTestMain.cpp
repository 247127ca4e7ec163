// Test entry for every window test: one QApplication for the whole run, on the offscreen
// platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

#include "i18n/Translations.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // CTest lists the tests by running the program without the tests' environment: never reach
    // for a display then.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // What the windows keep between runs goes to a folder of this run, never the user's.
    const QTemporaryDir configuration;
    qputenv("XDG_CONFIG_HOME", configuration.path().toLocal8Bit());
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // dialogs come and go between tests
    // The texts in English whatever this machine's language, with their plural forms.
    ordvane::InstallTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
    return RUN_ALL_TESTS();
}
