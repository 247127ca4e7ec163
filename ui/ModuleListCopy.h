#pragma once
// Ctrl+C in the main window: the module table's selected rows (every row when none is
// selected) go to the clipboard as tab-separated text, the headings first, so that the list
// pastes into a spreadsheet or a commissioning plan.

#include <string>

class CListCtrl;

namespace ordvane {

// Binds Ctrl+C (the platform's copy keys) in the list's window to copying its rows.
// columnList: the list's columns in the form CreateColumns reads, for the heading line.
void InstallModuleListCopy(CListCtrl& list, const char* columnList);

// Puts ModuleListCopyText on the clipboard, as Ctrl+C and the rows' menu do.
void CopyModuleList(CListCtrl& list, const char* columnList);

// The text that goes to the clipboard: one line per row in the order the table shows them,
// cells separated by tabs, lines ended by "\n". Control characters inside a module's text
// (which comes from the network) show as \xNN, so every row stays one line, and a cell that
// starts like a spreadsheet formula (=, +, -, @, tab, carriage return) gets a single quote in
// front.
std::string ModuleListCopyText(CListCtrl& list, const char* columnList);

}  // namespace ordvane
