#pragma once
// Runs a dialog modally with a script that acts as the user, and reads controls back.

#include <functional>
#include <string>

#include "platform/CString.h"
#include "platform/framework/CDialog.h"
#include "tests/support/ModalTestHooks.h"

namespace ordvane::testing {

// Runs dialog.DoModal() under a script; act receives the dialog once it is initialised.
// Message boxes are recorded into script and answered with OK.
template <typename Dialog>
INT_PTR RunScripted(Dialog& dialog, framework::ModalScript& script,
                    const std::function<void(Dialog&)>& act) {
    script.OnDialog([&act](CDialog& shown) { act(static_cast<Dialog&>(shown)); });
    return dialog.DoModal();
}

inline std::string ControlText(const CWnd& dialog, int id) {
    CString text;
    CWnd* control = dialog.GetDlgItem(id);
    if (control != nullptr) {
        control->GetWindowText(text);
    }
    return text.Str();
}

}  // namespace ordvane::testing
