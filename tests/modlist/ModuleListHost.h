#pragma once
// A module table bound to the main window's list view, the way the main window binds it, for
// the table's window tests and benchmarks. The dialog runs under a modal script, so nothing
// blocks.

#include <functional>

#include "modlist/CModuleListCtrl.h"
#include "platform/framework/Afx.h"
#include "tests/support/ModalTestHooks.h"
#include "tests/support/TestListDialog.h"

namespace ordvane::samples {

// Runs body while the dialog is open, with the table's columns made from the column list.
inline void WithModuleList(const char* columnList,
                           const std::function<void(ordvane::CModuleListCtrl&)>& body) {
    ordvane::testing::TestListDialog<ordvane::CModuleListCtrl> dialog;
    ordvane::framework::ModalScript script;
    script.OnDialog([&](CDialog&) {
        dialog.m_list.CreateColumns(columnList);
        body(dialog.m_list);
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
}

}  // namespace ordvane::samples
