#pragma once
// Loads the window's translations for a language: Qt's own (its dialogs' buttons and the edit
// menus) and ours, so that every text the window shows is in the user's language. English is
// the language the texts are written in; its catalogue only adds the plural forms.

#include <QLocale>

namespace ordvane {

// Installs the catalogues for the locale's language on the application; call once after the
// QApplication exists. Ours come from <data dir>/ordvane/translations beside the program when
// installed there, else from the copies compiled in. Returns false when none of ours was found.
bool InstallTranslations(const QLocale& locale);

}  // namespace ordvane
