#pragma once
// Push buttons, check boxes, radio buttons and group boxes.

#include "platform/framework/CWnd.h"

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    int GetCheck() const;
    void SetCheck(int check);
    // Clicks the button as the user would: checks an auto check box or radio button and
    // sends BN_CLICKED to the parent. Disabled or hidden buttons do nothing.
};
