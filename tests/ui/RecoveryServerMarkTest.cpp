// While the recovery DHCP server runs, the main window's caption says so, also after a scan has
// rewritten the module count; the Advanced Settings dialog says what the server has done. The
// server binds port 67, so the window runs in a network namespace of its own with the emulator
// on its loopback (root only; skipped otherwise).
#include <string>
#include <vector>

#include "platform/framework/CButton.h"
#include "res/ids/Resource.h"
#include "tests/support/NetworkNamespaces.h"
#include "tests/ui/MainWindowFixture.h"

using ordvane::framework::PressButton;
using ordvane::framework::PumpEventsUntil;
using ordvane::testing::TestableScanDlg;

namespace {

class RecoveryServerMark : public ordvane::testing::MainWindowTest {
protected:
    void SetUp() override {
        ORDVANE_ENTER_FRESH_NAMESPACE_OR_SKIP();
        MainWindowTest::SetUp();
    }
};

std::string Caption(CWnd& window) {
    CString caption;
    window.GetWindowText(caption);
    return static_cast<LPCSTR>(caption);
}

TEST_F(RecoveryServerMark, TheCaptionKeepsTheMarkAcrossScans) {
    TestableScanDlg window;
    bool enable = true;
    std::vector<std::string> activities;
    std::vector<std::string> captions;
    // The caption once the posted module count has been shown.
    const auto settledCaption = [&window](const std::string& expected) {
        PumpEventsUntil([&] { return Caption(window) == expected; }, 5000);
        return Caption(window);
    };
    m_script->OnDialog([&](CDialog& shown) {
        if (&shown != &window) {  // Advanced Settings
            CString activity;
            shown.GetDlgItem(IDC_DHCP_SERVER_ACTIVITY)->GetWindowText(activity);
            activities.emplace_back(static_cast<LPCSTR>(activity));
            static_cast<CButton*>(shown.GetDlgItem(IDC_ENABLE_DHCP_SERVER))
                ->SetCheck(enable ? BST_CHECKED : BST_UNCHECKED);
            PressButton(shown, IDOK);
            return;
        }
        const std::string on = "Ordvane v1.5.0 - 3 modules - recovery DHCP server on";
        const std::string off = "Ordvane v1.5.0 - 3 modules";
        ASSERT_TRUE(WaitForRows(window, 3));
        ASSERT_TRUE(PressButton(window, IDC_ADVANCED_OPTIONS));
        captions.push_back(settledCaption(on));
        ASSERT_TRUE(PressButton(window, IDC_SCAN));
        ASSERT_TRUE(WaitForRows(window, 3));
        captions.push_back(settledCaption(on));
        ASSERT_TRUE(PressButton(window, IDC_ADVANCED_OPTIONS));  // open while on: the activity
        enable = false;
        ASSERT_TRUE(PressButton(window, IDC_ADVANCED_OPTIONS));
        ASSERT_TRUE(PressButton(window, IDC_SCAN));
        ASSERT_TRUE(WaitForRows(window, 3));
        captions.push_back(settledCaption(off));
        PressButton(window, IDOK);
    });
    window.DoModal();
    EXPECT_EQ(captions,
              (std::vector<std::string>{"Ordvane v1.5.0 - 3 modules - recovery DHCP server on",
                                        "Ordvane v1.5.0 - 3 modules - recovery DHCP server on",
                                        "Ordvane v1.5.0 - 3 modules"}));
    EXPECT_EQ(activities, (std::vector<std::string>{"", "Leases given: 0.", "Leases given: 0."}));
    EXPECT_TRUE(m_script->MessageBoxes().empty());
}

}  // namespace
