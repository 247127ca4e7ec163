#pragma once
// The program title that the main window's caption and the About box are formed from.

inline constexpr const char* kProgramTitle = "Ordvane";
