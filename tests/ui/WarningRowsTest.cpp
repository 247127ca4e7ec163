// The main window's warning rows with emulated fleets that provoke each warning: the rows
// concerned are drawn on the warning background and explain themselves in their tooltips, the
// other rows stay plain, and every row keeps the texts of its module's answer.
//
// The modules' addresses are made from this host's own networks (the host-side check of the
// window reads them too), so that only the modules meant to be off this host's networks are.

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>
#include <string>
#include <vector>

#include "modlist/ModuleColumns.h"
#include "tests/ui/HostNetworkFleet.h"
#include "tests/ui/MainWindowFixture.h"

using ordvane::framework::PumpEvents;
using ordvane::framework::PumpEventsUntil;
using ordvane::testing::MainWindowTest;
using ordvane::testing::TestableScanDlg;

namespace {

using ordvane::testing::HostNetworkFleet;

// What a row shows for a warning, read the way the view reads it.
struct ShownRow {
    bool warningBackground = false;
    std::string toolTip;
};

class WarningRowsTest : public MainWindowTest {
protected:
    void SetUp() override {
        if (!m_fleet.HasHostNetwork()) {
            GTEST_SKIP() << "this host has no IPv4 network with room for modules besides "
                            "loopback: every module would be off its networks";
        }
        ASSERT_FALSE(m_fleet.OffNetwork().empty());
    }

    std::string OnNetwork(std::uint32_t number) const { return m_fleet.OnNetwork(number); }
    std::string Mask() const { return m_fleet.Mask(); }
    static std::string Line(const std::string& mac, const std::string& ip, const std::string& mask,
                            const std::string& reportMac = "1") {
        return HostNetworkFleet::Line(mac, ip, mask, "QM-100", "0", reportMac);
    }
    static constexpr const char* kHeader = HostNetworkFleet::kHeader;

    static int RowOfMac(CListCtrl& list, const std::string& mac) {
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (list.GetItemText(row, 6).Str() == mac) {
                return row;
            }
        }
        return -1;
    }

    static ShownRow Shown(CListCtrl& list, int row) {
        list.FlushPendingChanges();
        auto* view = qobject_cast<QAbstractItemView*>(list.GetWidget());
        ShownRow shown;
        if (view == nullptr || row < 0) {
            return shown;
        }
        // Every cell of the row, not only the first, carries the row's background and tooltip.
        const QModelIndex lastCell = view->model()->index(row, 6);
        shown.warningBackground = view->model()->data(lastCell, Qt::BackgroundRole).isValid();
        shown.toolTip = view->model()->data(lastCell, Qt::ToolTipRole).toString().toStdString();
        EXPECT_EQ(list.GetItemWarning(row) != FALSE, shown.warningBackground);
        return shown;
    }

    // Every row shows exactly the texts of the stored answer with its MAC address.
    static void ExpectAnswerTexts(ordvane::CModuleListCtrl& list) {
        for (int module = 0; module < list.GetModuleCount(); ++module) {
            const ordvane::ModuleRecord* response = list.GetModuleAt(module);
            if (!ordvane::HasModuleRow(*response)) {
                continue;
            }
            const ordvane::ModuleColumnTexts texts = ordvane::FormatModuleColumns(*response);
            const int row = RowOfMac(list, texts[6]);
            ASSERT_GE(row, 0) << texts[6];
            for (int column = 0; column < 7; ++column) {
                EXPECT_EQ(list.GetItemText(row, column).Str(),
                          texts[static_cast<std::size_t>(column)]);
            }
        }
    }

    HostNetworkFleet m_fleet;
};

TEST_F(WarningRowsTest, TwoModulesOnOneAddressAreBothMarkedAndAModuleWithoutMacStillCounts) {
    const std::string shared = OnNetwork(21);
    // The fourth module reports no MAC: it has no row but uses the address too.
    StartFleet(std::string(kHeader) + Line("0A-51-4D-00-00-11", shared, Mask()) +
                   Line("0A-51-4D-00-00-12", shared, Mask()) +
                   Line("0A-51-4D-00-00-13", OnNetwork(22), Mask()) +
                   Line("0A-51-4D-00-00-14", shared, Mask(), "0"),
               3);
    RunWindow([&](TestableScanDlg& window) {
        ordvane::CModuleListCtrl& list = window.ModuleList();
        ASSERT_TRUE(PumpEventsUntil([&] { return list.GetModuleCount() == 4; }, 10000));
        const ShownRow first = Shown(list, RowOfMac(list, "0A-51-4D-00-00-11"));
        const ShownRow second = Shown(list, RowOfMac(list, "0A-51-4D-00-00-12"));
        const ShownRow plain = Shown(list, RowOfMac(list, "0A-51-4D-00-00-13"));
        EXPECT_TRUE(first.warningBackground);
        EXPECT_TRUE(second.warningBackground);
        // The others are named in the order their answers came in.
        const std::string opening =
            "The IP address " + shared + " is also used by 2 other modules: ";
        for (const auto& [shown, other] :
             {std::pair{first, "0A-51-4D-00-00-12"}, std::pair{second, "0A-51-4D-00-00-11"}}) {
            EXPECT_EQ(shown.toolTip.rfind(opening, 0), 0U) << shown.toolTip;
            EXPECT_NE(shown.toolTip.find(other), std::string::npos) << shown.toolTip;
            EXPECT_NE(shown.toolTip.find("a module without MAC"), std::string::npos);
            EXPECT_EQ(shown.toolTip.size(), opening.size() + 17 + 2 + 20 + 1) << shown.toolTip;
        }
        EXPECT_FALSE(plain.warningBackground);
        EXPECT_EQ(plain.toolTip, "");
        ExpectAnswerTexts(list);
    });
}

TEST_F(WarningRowsTest, MacsEndingInOneByteShareARecoveryAddressWhateverTheSortOrder) {
    StartFleet(std::string(kHeader) + Line("0A-51-4D-00-01-21", OnNetwork(31), Mask()) +
                   Line("0A-51-4D-00-02-21", OnNetwork(32), Mask()) +
                   Line("0A-51-4D-00-00-22", OnNetwork(33), Mask()),
               3);
    RunWindow([&](TestableScanDlg& window) {
        ordvane::CModuleListCtrl& list = window.ModuleList();
        // The marks travel with their rows when the table is sorted by another column.
        const std::pair<int, BOOL> orders[] = {{6, TRUE}, {6, FALSE}, {0, TRUE}};
        for (const auto& [column, ascending] : orders) {
            list.SortColumn(column, ascending);
            const ShownRow first = Shown(list, RowOfMac(list, "0A-51-4D-00-01-21"));
            const ShownRow second = Shown(list, RowOfMac(list, "0A-51-4D-00-02-21"));
            const ShownRow plain = Shown(list, RowOfMac(list, "0A-51-4D-00-00-22"));
            EXPECT_TRUE(first.warningBackground);
            EXPECT_TRUE(second.warningBackground);
            EXPECT_EQ(first.toolTip,
                      "The recovery DHCP server would give the same address 10.200.1.33 to 1 "
                      "other module: 0A-51-4D-00-02-21.");
            EXPECT_FALSE(plain.warningBackground);
            EXPECT_EQ(plain.toolTip, "");
        }
        ExpectAnswerTexts(list);
    });
}

TEST_F(WarningRowsTest, AModuleOnNoneOfTheHostsNetworksIsMarkedAndTheTooltipShowsOnHover) {
    StartFleet(std::string(kHeader) +
                   Line("0A-51-4D-00-00-41", m_fleet.OffNetwork(), "255.255.255.0") +
                   Line("0A-51-4D-00-00-42", OnNetwork(42), Mask()) +
                   Line("0A-51-4D-00-00-43", OnNetwork(43), Mask()),
               3);
    RunWindow([&](TestableScanDlg& window) {
        ordvane::CModuleListCtrl& list = window.ModuleList();
        const int offRow = RowOfMac(list, "0A-51-4D-00-00-41");
        const ShownRow off = Shown(list, offRow);
        EXPECT_TRUE(off.warningBackground);
        EXPECT_EQ(off.toolTip.rfind("The IP address " + m_fleet.OffNetwork() +
                                        " is on none of this computer's networks (",
                                    0),
                  0U)
            << off.toolTip;
        EXPECT_FALSE(Shown(list, RowOfMac(list, "0A-51-4D-00-00-42")).warningBackground);
        EXPECT_FALSE(Shown(list, RowOfMac(list, "0A-51-4D-00-00-43")).warningBackground);
        ExpectAnswerTexts(list);

        // The view itself asks for the tooltip when the pointer rests on the row.
        auto* view = qobject_cast<QAbstractItemView*>(list.GetWidget());
        ASSERT_NE(view, nullptr);
        PumpEvents();
        const QPoint point = view->visualRect(view->model()->index(offRow, 1)).center();
        QHelpEvent hover(QEvent::ToolTip, point, view->viewport()->mapToGlobal(point));
        QCoreApplication::sendEvent(view->viewport(), &hover);
        EXPECT_EQ(QToolTip::text().toStdString(), off.toolTip);
        QToolTip::hideText();
    });
}

}  // namespace
