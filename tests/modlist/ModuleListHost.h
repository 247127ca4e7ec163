#pragma once
// A module table bound to the main window's list view, the way the main window binds it, for
// the table's window tests and benchmarks. The dialog runs under a modal script, so nothing
// blocks.

#include <functional>

#include "modlist/CModuleListCtrl.h"
#include "platform/framework/Afx.h"
#include "platform/framework/ModalTestHooks.h"
#include "res/ids/Resource.h"

namespace ordvane::samples {

class ModuleListDialog : public CDialog {
public:
    ModuleListDialog() : CDialog(IDD_ORDVANE_DIALOG) {}
    CModuleListCtrl m_moduleList;

protected:
    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Control(exchange, IDC_MODULE_LIST, m_moduleList);
    }
};

// Runs body while the dialog is open, with the table's columns made from the column list.
inline void WithModuleList(const char* columnList,
                           const std::function<void(CModuleListCtrl&)>& body) {
    ModuleListDialog dialog;
    ordvane::framework::ModalScript script;
    script.OnDialog([&](CDialog&) {
        dialog.m_moduleList.CreateColumns(columnList);
        body(dialog.m_moduleList);
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
}

}  // namespace ordvane::samples
