#pragma once
// A module's warnings as the window says them: the same sentences as the command line's, in the
// user's language, with the plural forms of that language.

#include <string>

#include "modlist/ModuleWarnings.h"

namespace ordvane {

std::string WindowWarningSentence(const ModuleWarning& warning);

}  // namespace ordvane
