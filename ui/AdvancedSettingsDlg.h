#pragma once
// The Advanced Settings dialog (template 134): one check box that switches the recovery DHCP
// server on or off. OK stores the box into m_enableDhcp; Cancel leaves it as the caller set it.

#include "platform/framework/CDialog.h"

class CAdvancedSettingsDlg : public CDialog {
public:
    explicit CAdvancedSettingsDlg(CWnd* parent = nullptr);

    int m_enableDhcp;  // check box 1019: 1 = server on

protected:
    void DoDataExchange(CDataExchange* dataExchange) override;
};
