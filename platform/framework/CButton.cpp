#include "platform/framework/CButton.h"

#include <QAbstractButton>

#include "platform/framework/WindowRegistry.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)

namespace {
QAbstractButton* ButtonOf(const CWnd& window) {
    return qobject_cast<QAbstractButton*>(window.GetWidget());
}
}  // namespace

int CButton::GetCheck() const {
    QAbstractButton* button = ButtonOf(*this);
    return button != nullptr && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int check) {
    QAbstractButton* button = ButtonOf(*this);
    if (button != nullptr && button->isCheckable()) {
        button->setChecked(check == BST_CHECKED);
    }
}
