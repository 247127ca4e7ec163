#include "platform/framework/CEdit.h"

#include <QLineEdit>

#include "platform/framework/DialogBuilder.h"
#include "platform/framework/EditCharacterLimit.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)

namespace {
QLineEdit* EditOf(const CWnd& window) {
    return qobject_cast<QLineEdit*>(window.GetWidget());
}
}  // namespace

BOOL CEdit::SetReadOnly(BOOL readOnly) {
    QLineEdit* edit = EditOf(*this);
    if (edit == nullptr) {
        return FALSE;
    }
    ordvane::framework::detail::SetEditReadOnly(edit, readOnly != FALSE);
    return TRUE;
}

BOOL CEdit::IsReadOnly() const {
    QLineEdit* edit = EditOf(*this);
    return edit != nullptr && edit->isReadOnly() ? TRUE : FALSE;
}

UINT CEdit::GetLimitText() const {
    QLineEdit* edit = EditOf(*this);
    return edit != nullptr ? static_cast<UINT>(ordvane::framework::detail::EditCharacterLimit(edit))
                           : 0;
}
