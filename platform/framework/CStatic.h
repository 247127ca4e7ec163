#pragma once
// Static text or a static icon.

#include "platform/framework/CWnd.h"

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
};
