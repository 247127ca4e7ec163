#pragma once
// The Advanced Settings dialog (template 134): one check box that switches the recovery DHCP
// server on or off, and below it what the running server has done. OK stores the box into
// m_enableDhcp; Cancel leaves it as the caller set it.

#include <string>

#include "platform/framework/CDialog.h"

namespace ordvane {

class CAdvancedSettingsDlg : public CDialog {
public:
    explicit CAdvancedSettingsDlg(CWnd* parent = nullptr);

    int m_enableDhcp;  // check box 1019: 1 = server on
    // Shown in static 1020: the running server's leases and warnings; empty while it is off.
    std::string m_serverActivity;

protected:
    void DoDataExchange(CDataExchange* dataExchange) override;
    BOOL OnInitDialog() override;
};

}  // namespace ordvane
