// "Recover this module" from the rows' menu: offered only for a module in DHCP mode without an
// address, and run end to end against the emulator's DHCP client on a real link (this test's
// own network namespace, 10.200.1.1/24, joined by a veth pair to a peer namespace where the
// module asks for a lease; root only, skipped otherwise).
#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "modlist/ModuleColumns.h"
#include "platform/framework/CButton.h"
#include "platform/framework/CIPAddressCtrl.h"
#include "res/ids/Resource.h"
#include "tests/support/NetworkNamespaces.h"
#include "tests/support/ShellCommand.h"
#include "tests/ui/MainWindowFixture.h"

using ordvane::framework::PressButton;
using ordvane::framework::PumpEvents;
using ordvane::framework::PumpEventsUntil;
using ordvane::testing::MainWindowTest;
using ordvane::testing::TestableScanDlg;

namespace {

const QString kRecover = QStringLiteral("&Recover this module");

// Selects the row and opens the rows' menu on it with a right click.
QMenu* OpenMenuOnRow(CListCtrl& list, int row) {
    list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    PumpEvents();
    auto* view = static_cast<QAbstractItemView*>(list.GetWidget());
    const QPoint at = view->visualRect(view->currentIndex()).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &click);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

int RowOf(CListCtrl& list, const std::string& mac) {
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (list.GetItemText(row, ordvane::kColumnMac).Str() == mac) {
            return row;
        }
    }
    return -1;
}

}  // namespace

namespace {

constexpr const char* kModuleMac = "0A-51-4D-00-00-2A";

class RecoverThisModule : public MainWindowTest {
protected:
    void SetUp() override {
        ORDVANE_ENTER_FRESH_NAMESPACE_OR_SKIP();
        MainWindowTest::SetUp();
        ASSERT_TRUE(m_link.Create("0a:51:4d:00:00:2a"));
    }
    void TearDown() override {
        if (m_moduleStack.joinable()) {
            m_moduleStack.join();
        }
        MainWindowTest::TearDown();
    }

    // The module in DHCP mode without an address, asking for a lease every 200 ms on the
    // peer's end; a thread of the test puts the leased address on that card, as the module's
    // own IP stack would. The window scans through the veth only.
    void StartModule() {
        m_fleetFile = ::testing::TempDir() + "ui_recover_" + std::to_string(::getpid()) + ".csv";
        m_sim.reset();
        {
            std::ofstream fleet(m_fleetFile);
            fleet << "mac,dhcp,hostname\n" << kModuleMac << ",1,lost\n";
        }
        m_sim = std::make_unique<ordvane::testing::SimProcess>(
            std::vector<std::string>{"--fleet", m_fleetFile, "--address", "0.0.0.0", "--port",
                                     "47470", "--dhcp-client", m_link.PeerInterface(),
                                     "--dhcp-retry-ms", "200"},
            std::vector<std::string>{"ip", "netns", "exec", m_link.Name()});
        ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();
        unsetenv("ZEVA_TARGETS");
        setenv("ZEVA_INTERFACES", m_link.LocalInterface().c_str(), 1);
        m_fleetRows = 0;
        m_moduleStack = std::thread([this] {
            if (m_sim->WaitForLines(std::string("lease mac=") + kModuleMac, 1,
                                    std::chrono::seconds(30))) {
                ordvane::testing::RunCommand("ip -n " + m_link.Name() +
                                             " addr add 10.200.1.42/24 brd + dev " +
                                             m_link.PeerInterface());
            }
        });
    }

    ordvane::testing::PeerNamespace m_link;
    std::thread m_moduleStack;
};

}  // namespace

TEST_F(RecoverThisModule, EndsVerifiedWithTheServerOffAfterwards) {
    StartModule();
    bool serverOnDuring = false;
    bool serverOnAfter = true;
    TestableScanDlg* main = nullptr;
    m_script->OnDialog([&](CDialog& shown) {
        if (auto* window = dynamic_cast<TestableScanDlg*>(&shown)) {
            main = window;
            ordvane::CModuleListCtrl& list = window->ModuleList();
            // The module in DHCP mode has no address yet: its row may come with a later scan.
            ASSERT_TRUE(PumpEventsUntil([&] { return RowOf(list, kModuleMac) >= 0; }, 10000));
            QMenu* menu = OpenMenuOnRow(list, RowOf(list, kModuleMac));
            ASSERT_NE(menu, nullptr);
            QAction* recover = FindAction(menu, kRecover);
            ASSERT_NE(recover, nullptr);
            menu->close();
            recover->trigger();
            PumpEventsUntil([&] { return !m_script->MessageBoxes().empty(); }, 40000);
            serverOnAfter = window->m_dhcpServer.IsEnabled();
            PressButton(*window, IDOK);
            return;
        }
        // The configuration dialog, once the module answers at its recovery address: the server
        // serves it meanwhile.
        serverOnDuring = main != nullptr && main->m_dhcpServer.IsEnabled();
        static_cast<CIPAddressCtrl*>(shown.GetDlgItem(IDC_IP_ADDRESS))->SetAddress(192, 168, 5, 20);
        EXPECT_EQ(static_cast<CButton*>(shown.GetDlgItem(IDC_DHCP_OFF))->GetCheck(), BST_CHECKED);
        PressButton(shown, IDOK);
    });
    TestableScanDlg window;
    window.DoModal();
    EXPECT_TRUE(serverOnDuring);
    EXPECT_FALSE(serverOnAfter);
    ASSERT_EQ(m_script->MessageBoxes().size(), 1U);
    EXPECT_EQ(m_script->MessageBoxes()[0].text,
              std::string("Recovered: ") + kModuleMac + " answers at 192.168.5.20 with DHCP off.");
    EXPECT_TRUE(m_sim->WaitForLines(std::string("configure mac=") + kModuleMac, 1))
        << m_sim->Describe();
}

// After the test above, whose library started in its namespace: loopback works there too.
TEST_F(MainWindowTest, OnlyAModuleInDhcpModeWithoutAnAddressOffersRecovery) {
    struct Case {
        const char* mac;
        bool offered;
    };
    const Case cases[] = {{"0A-51-4D-00-00-11", true},  {"0A-51-4D-00-00-12", true},
                          {"0A-51-4D-00-00-13", true},  {"0A-51-4D-00-00-14", false},
                          {"0A-51-4D-00-00-15", false}, {"0A-51-4D-00-00-16", false}};
    StartFleet(
        "mac,ip,dhcp\n"
        "0A-51-4D-00-00-11,,1\n"              // N/A
        "0A-51-4D-00-00-12,0.0.0.0,1\n"       // no lease yet
        "0A-51-4D-00-00-13,169.254.7.1,1\n"   // its own link-local fallback
        "0A-51-4D-00-00-14,10.0.0.9,1\n"      // leased: reachable
        "0A-51-4D-00-00-15,,0\n"              // static
        "0A-51-4D-00-00-16,169.254.7.2,0\n",  // static
        6);
    RunWindow([&](TestableScanDlg& window) {
        ordvane::CModuleListCtrl& list = window.ModuleList();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.mac);
            const int row = RowOf(list, c.mac);
            ASSERT_GE(row, 0);
            QMenu* menu = OpenMenuOnRow(list, row);
            ASSERT_NE(menu, nullptr);
            EXPECT_EQ(FindAction(menu, kRecover) != nullptr, c.offered);
            menu->close();
            PumpEvents();
        }
    });
}
