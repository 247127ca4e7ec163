#pragma once
// A single-line edit.

#include "platform/framework/CWnd.h"

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    BOOL IsReadOnly() const;
    // Limits the text to maxChars characters while typing; 0 means no limit.
    UINT GetLimitText() const;
};
