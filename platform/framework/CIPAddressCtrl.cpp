#include "platform/framework/CIPAddressCtrl.h"

#include <QLineEdit>

#include "platform/framework/IpAddressWidget.h"

using ordvane::framework::detail::IpAddressWidget;

IMPLEMENT_DYNAMIC(CIPAddressCtrl, CWnd)

namespace {
IpAddressWidget* FieldsOf(const CWnd& window) {
    return dynamic_cast<IpAddressWidget*>(window.GetWidget());
}
}  // namespace

void CIPAddressCtrl::SetAddress(DWORD address) {
    SetAddress(static_cast<BYTE>(address >> 24), static_cast<BYTE>(address >> 16),
               static_cast<BYTE>(address >> 8), static_cast<BYTE>(address));
}

void CIPAddressCtrl::SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3) {
    IpAddressWidget* fields = FieldsOf(*this);
    if (fields == nullptr) {
        return;
    }
    const BYTE values[4] = {field0, field1, field2, field3};
    for (int i = 0; i < 4; ++i) {
        fields->SetField(i, values[i]);
    }
}

int CIPAddressCtrl::GetAddress(DWORD& address) const {
    IpAddressWidget* fields = FieldsOf(*this);
    address = 0;
    if (fields == nullptr) {
        return 0;
    }
    int nonBlank = 0;
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> value = fields->Field(i);
        address = (address << 8) | static_cast<DWORD>(value.value_or(0));
        nonBlank += value.has_value() ? 1 : 0;
    }
    return nonBlank;
}

int CIPAddressCtrl::GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const {
    DWORD address = 0;
    const int nonBlank = GetAddress(address);
    field0 = static_cast<BYTE>(address >> 24);
    field1 = static_cast<BYTE>(address >> 16);
    field2 = static_cast<BYTE>(address >> 8);
    field3 = static_cast<BYTE>(address);
    return nonBlank;
}

void CIPAddressCtrl::ClearAddress() {
    if (IpAddressWidget* fields = FieldsOf(*this)) {
        for (int i = 0; i < 4; ++i) {
            fields->SetField(i, std::nullopt);
        }
    }
}

BOOL CIPAddressCtrl::IsBlank() const {
    DWORD address = 0;
    return GetAddress(address) == 0 ? TRUE : FALSE;
}

void CIPAddressCtrl::SetFieldFocus(WORD field) {
    IpAddressWidget* fields = FieldsOf(*this);
    if (fields != nullptr && field < 4) {
        fields->FieldEdit(field)->setFocus();
    }
}
