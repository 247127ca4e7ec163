#pragma once
// The running program's own version, read from its version resource, for the --version
// option of the command-line tools.

#include "platform/CString.h"

namespace ordvane {

// "NAME VERSION", with the product version's blanks removed and its commas turned into dots
// ("ordvane-verinfo 1.4.0.0"); "NAME (no version information)" when the resource cannot be read.
CString ProgramVersionLine(const char* programName);

}  // namespace ordvane
