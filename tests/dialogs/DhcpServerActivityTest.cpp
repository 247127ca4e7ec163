// What the Advanced Settings dialog says about the running recovery server: its leases and the
// warnings it found on its links.
#include <gtest/gtest.h>

#include <string>

#include "platform/framework/CButton.h"
#include "res/ids/Resource.h"
#include "tests/dialogs/DialogScript.h"
#include "ui/AdvancedOptionsCommand.h"

using ordvane::CAdvancedSettingsDlg;
using ordvane::DescribeDhcpServerActivity;

namespace {

using ordvane::framework::ModalScript;
using ordvane::framework::PressButton;

TEST(DhcpServerActivity, SaysWhatTheServerAnsweredAndFound) {
    ordvane::CDhcpServer::Activity quiet;
    ordvane::CDhcpServer::Activity busy;
    busy.leases = 3;
    busy.hasLastLease = true;
    busy.lastLeaseMac = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x2A};
    busy.otherServerSeen = true;
    busy.otherServer = {192, 168, 50, 1};
    busy.otherServerInterface = -1;
    busy.cardWithoutAddressInterface = -1;
    struct Case {
        bool running;
        const ordvane::CDhcpServer::Activity& activity;
        const char* text;
    };
    const Case cases[] = {
        {false, busy, ""},
        {true, quiet, "Leases given: 0."},
        {true, busy,
         "Leases given: 3, the last to 0A-51-4D-00-00-2A.\n"
         "Warning: another DHCP server (192.168.50.1) serves a card. To answer only the module "
         "to recover, use ordvane-cli recover or recovery-server --only.\n"
         "Warning: a lease left a card, which has no IPv4 address: the module cannot renew it. "
         "Give the card 10.200.1.1/24."},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(DescribeDhcpServerActivity(test.running, test.activity), test.text);
    }
}

TEST(DhcpServerActivity, TheDialogShowsIt) {
    ModalScript script;
    CString shown;
    script.OnDialog([&](CDialog& dialog) {
        dialog.GetDlgItem(IDC_DHCP_SERVER_ACTIVITY)->GetWindowText(shown);
        PressButton(dialog, IDCANCEL);
    });
    CAdvancedSettingsDlg dialog;
    dialog.m_serverActivity = "Leases given: 1, the last to 0A-51-4D-00-00-2A.";
    dialog.DoModal();
    EXPECT_EQ(shown, "Leases given: 1, the last to 0A-51-4D-00-00-2A.");
}

}  // namespace
