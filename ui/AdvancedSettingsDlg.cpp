#include "ui/AdvancedSettingsDlg.h"

#include "platform/framework/CDataExchange.h"
#include "res/ids/Resource.h"

namespace ordvane {

CAdvancedSettingsDlg::CAdvancedSettingsDlg(CWnd* parent)
    : CDialog(IDD_ADVANCED_SETTINGS, parent), m_enableDhcp(0) {}

void CAdvancedSettingsDlg::DoDataExchange(CDataExchange* dataExchange) {
    CDialog::DoDataExchange(dataExchange);
    DDX_Check(dataExchange, IDC_ENABLE_DHCP_SERVER, m_enableDhcp);
}

BOOL CAdvancedSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CWnd* activity = GetDlgItem(IDC_DHCP_SERVER_ACTIVITY)) {
        activity->SetWindowText(m_serverActivity.c_str());
    }
    return TRUE;
}

}  // namespace ordvane
