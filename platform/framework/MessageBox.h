#pragma once
// Modal message boxes. The result is the button pressed: IDOK, IDCANCEL, IDYES, ...

#include "platform/framework/WinConstants.h"

// A box owned by window (may be nullptr); caption nullptr is the application's name.
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// A box with the application's name as caption; helpId is accepted and ignored.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
