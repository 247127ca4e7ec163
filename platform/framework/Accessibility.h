#pragma once
// What screen readers read: the framework's windows through Qt's accessibility interfaces.
// Dialogs are dialogs (modal when they are), radio buttons are radio buttons, an IP-address
// control is one field named by its label, and the program names what the framework cannot
// know (a list's name, a column's full meaning).

#include "platform/framework/WinConstants.h"

class CWnd;
class CListCtrl;

namespace ordvane::framework {

// Installs the framework's accessibility interfaces; CDialog calls it before the first window.
void InstallAccessibility();

// The name and description a screen reader gives the control.
void SetAccessibleText(CWnd& control, LPCSTR name, LPCSTR description = nullptr);
// The description a screen reader gives a list's column heading ("Subnet mask" for "SN").
void SetColumnDescription(CListCtrl& list, int column, LPCSTR description);

}  // namespace ordvane::framework
