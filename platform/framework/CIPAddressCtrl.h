#pragma once
// The IP-address control: four octet fields, each blank or 0 to 255. Addresses are 32-bit
// values with the first octet in the most significant byte. A blank field reads as 0.

#include "platform/framework/CWnd.h"

class CIPAddressCtrl : public CWnd {
    DECLARE_DYNAMIC(CIPAddressCtrl)
public:
    void SetAddress(DWORD address);
    void SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3);
    // Returns the number of non-blank fields; blank fields count as 0 in the address.
    int GetAddress(DWORD& address) const;
    int GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const;
    // Makes every field blank.
    void ClearAddress();
    // TRUE when every field is blank.
    BOOL IsBlank() const;
    void SetFieldFocus(WORD field);
};
