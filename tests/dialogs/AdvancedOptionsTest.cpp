// The Advanced Options command with the real recovery server. Tests that open port 67 run as
// root in a network namespace of their own, so that they neither need nor disturb the
// machine's port 67; elsewhere they are skipped with the reason.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/framework/CButton.h"
#include "platform/framework/CWinApp.h"
#include "res/ids/Resource.h"
#include "tests/dialogs/DialogScript.h"
#include "ui/AdvancedOptionsCommand.h"

using ordvane::CAdvancedSettingsDlg;
using ordvane::RunAdvancedOptions;
using ordvane::ShowDhcpServerState;

namespace {

using ordvane::framework::ModalScript;
using ordvane::framework::PressButton;

// One opening of the dialog: records whether the box showed checked, sets it, presses a button.
struct Opening {
    bool checkBox;
    int button;
};

bool RunOpening(ordvane::CRecoveryDhcpServer& owner, ModalScript& script, const Opening& opening) {
    bool shownChecked = false;
    script.OnDialog([&](CDialog& dialog) {
        auto* box = static_cast<CButton*>(dialog.GetDlgItem(IDC_ENABLE_DHCP_SERVER));
        shownChecked = box->GetCheck() == BST_CHECKED;
        box->SetCheck(opening.checkBox ? BST_CHECKED : BST_UNCHECKED);
        PressButton(dialog, opening.button);
    });
    RunAdvancedOptions(owner);
    return shownChecked;
}

// A UDP socket on 0.0.0.0:67 without address reuse, as another DHCP server would hold it.
int TakePort67() {
    const int socketHandle = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(67);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (socketHandle >= 0 &&
        bind(socketHandle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        const int bindError = errno;
        close(socketHandle);
        errno = bindError;
        return -1;
    }
    return socketHandle;
}

// A socket of this network namespace holds UDP port 67. Read from the kernel's table, so that
// an ordinary user, who may not bind the port to find out, learns it too.
bool Port67IsTaken() {
    std::ifstream table("/proc/net/udp");
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local;
        fields >> slot >> local;
        if (local.size() > 5 && local.compare(local.size() - 5, 5, ":0043") == 0) {
            return true;
        }
    }
    return false;
}

class AdvancedOptionsOnPort67 : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) {
            // An ordinary user gets port 67 through the installed port-67 helper: the packaging
            // test runs this executable so, in a network namespace it made.
            if (std::getenv("ORDVANE_TEST_PORT67_AS_USER") == nullptr) {
                GTEST_SKIP() << "opening port 67 needs root (run as root to test the server)";
            }
            return;
        }
        if (unshare(CLONE_NEWNET) != 0) {
            GTEST_SKIP() << "no network namespace of our own: " << std::strerror(errno);
        }
    }
};

TEST(AdvancedOptions, CancelNeverSwitchesTheServerOn) {
    ordvane::CRecoveryDhcpServer owner;
    ModalScript script;
    EXPECT_FALSE(RunOpening(owner, script, {true, IDCANCEL}));
    EXPECT_FALSE(owner.IsEnabled());
    EXPECT_FALSE(owner.Server().IsOpen());
    // Clearing the box while the server is off does nothing either.
    EXPECT_FALSE(RunOpening(owner, script, {false, IDOK}));
    EXPECT_FALSE(owner.IsEnabled());
    EXPECT_TRUE(script.MessageBoxes().empty());
    ASSERT_EQ(script.Dialogs().size(), 2u);
    EXPECT_EQ(script.Dialogs()[0].caption, "Advanced Settings");
}

// The main window marks its caption while the server runs; shown here on a dialog's caption.
TEST(AdvancedOptions, TheRunningMarkIsAddedToTheCaptionOnceAndTakenAway) {
    ModalScript script;
    std::vector<std::string> captions;
    script.OnDialog([&](CDialog& dialog) {
        for (const bool running : {true, true, false, false}) {
            ShowDhcpServerState(dialog, running);
            CString caption;
            dialog.GetWindowText(caption);
            captions.emplace_back(static_cast<LPCSTR>(caption));
        }
        PressButton(dialog, IDCANCEL);
    });
    CAdvancedSettingsDlg dialog;
    dialog.DoModal();
    const std::string marked = "Advanced Settings - recovery DHCP server on";
    EXPECT_EQ(captions,
              (std::vector<std::string>{marked, marked, "Advanced Settings", "Advanced Settings"}));
}

TEST_F(AdvancedOptionsOnPort67, OkTwiceStartsTheServerOnceAndCancelKeepsItOn) {
    ordvane::CRecoveryDhcpServer owner;
    ModalScript script;
    EXPECT_FALSE(RunOpening(owner, script, {true, IDOK}));
    EXPECT_TRUE(owner.IsEnabled());
    EXPECT_TRUE(owner.Server().IsOpen());
    EXPECT_TRUE(Port67IsTaken());

    // A second start would fail to bind beside the first socket and say so.
    EXPECT_TRUE(RunOpening(owner, script, {true, IDOK}));
    EXPECT_TRUE(RunOpening(owner, script, {false, IDCANCEL}));
    EXPECT_TRUE(owner.IsEnabled());
    EXPECT_TRUE(owner.Server().IsOpen());
    EXPECT_TRUE(script.MessageBoxes().empty());

    EXPECT_TRUE(RunOpening(owner, script, {false, IDOK}));
    EXPECT_FALSE(owner.IsEnabled());
    EXPECT_FALSE(owner.Server().IsOpen());
    EXPECT_FALSE(Port67IsTaken());
}

TEST_F(AdvancedOptionsOnPort67, TakenPortShowsTheFailureAndTheServerStaysOff) {
    const int taken = TakePort67();
    ASSERT_GE(taken, 0) << std::strerror(errno);
    ordvane::CRecoveryDhcpServer owner;
    ModalScript script;
    EXPECT_FALSE(RunOpening(owner, script, {true, IDOK}));
    ASSERT_EQ(script.MessageBoxes().size(), 1u);
    const auto& box = script.MessageBoxes().front();
    EXPECT_EQ(box.text.rfind("DHCP server init failed", 0), 0u) << box.text;
    EXPECT_NE(box.text.find("Address already in use"), std::string::npos) << box.text;
    EXPECT_EQ(box.caption, AfxGetAppName());
    EXPECT_EQ(box.type, MB_OK);
    EXPECT_FALSE(owner.IsEnabled());  // nothing listens, so the server is off
    EXPECT_FALSE(owner.Server().IsOpen());

    // The next opening shows the box clear; OK with it checked retries, and succeeds once the
    // port is free.
    close(taken);
    EXPECT_FALSE(RunOpening(owner, script, {true, IDOK}));
    EXPECT_EQ(script.MessageBoxes().size(), 1u);
    EXPECT_TRUE(owner.IsEnabled());
    EXPECT_TRUE(owner.Server().IsOpen());
}

}  // namespace
