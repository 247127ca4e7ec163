#pragma once
// Loading resources: the string table, icons. Icons are shared: a handle stays valid for the
// life of the process and must not be destroyed.

#include "platform/CString.h"
#include "platform/framework/WinConstants.h"

class QIcon;

// The string with this id into text; FALSE (text emptied) when the table has none.
BOOL AfxLoadString(UINT id, CString& text);
// An icon resource at a size in pixels (cx, cy 0 with LR_DEFAULTSIZE: SM_CXICON by SM_CYICON);
// nullptr when there is no such icon.
void* LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
HICON LoadIconResource(UINT id, int size);
// Qt access: the icon behind a handle and the size it was loaded at.
const QIcon& IconFromHandle(HICON icon);
int IconSizeFromHandle(HICON icon);
