#pragma once
// The Wink command: asks the module of the selected row to signal its presence. The main
// window's handler is one line:
//
//     void CScanDlg::OnWink() { ordvane::RunWinkCommand(m_moduleList); }
//
// No selection, or no stored record for the row, does nothing. A module whose service is older
// than 1.10 gets no request; the user sees "Device does not support wink." instead.

namespace ordvane {

class CModuleListCtrl;

void RunWinkCommand(CModuleListCtrl& moduleList);

}  // namespace ordvane
