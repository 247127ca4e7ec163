#include "ui/AdvancedSettingsDlg.h"

#include "platform/framework/CDataExchange.h"
#include "res/ids/Resource.h"

CAdvancedSettingsDlg::CAdvancedSettingsDlg(CWnd* parent)
    : CDialog(IDD_ADVANCED_SETTINGS, parent), m_enableDhcp(0) {}

void CAdvancedSettingsDlg::DoDataExchange(CDataExchange* dataExchange) {
    CDialog::DoDataExchange(dataExchange);
    DDX_Check(dataExchange, IDC_ENABLE_DHCP_SERVER, m_enableDhcp);
}
