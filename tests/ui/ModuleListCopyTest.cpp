// Ctrl+C in the main window copies the module table as tab-separated text with the heading
// line: the selected rows, or every row when none is selected.

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <string>

#include "tests/support/HostileModuleTexts.h"
#include "tests/ui/MainWindowFixture.h"

using ordvane::testing::MainWindowTest;
using ordvane::testing::TestableScanDlg;

namespace {

constexpr const char* kHeadingLine = "IP\tSN\tGW\tDHCP\tVersion\tType\tMAC\n";

std::string CopyWithKeys(CListCtrl& list) {
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(list.GetWidget(), Qt::Key_C, Qt::ControlModifier);
    return QGuiApplication::clipboard()->text().toStdString();
}

std::string RowLine(CListCtrl& list, int row) {
    std::string line;
    for (int column = 0; column < 7; ++column) {
        line += (column == 0 ? "" : "\t") + list.GetItemText(row, column).Str();
    }
    return line + "\n";
}

TEST_F(MainWindowTest, CtrlCCopiesTheSelectedRowsOrAllWithTheHeadingLine) {
    std::string all;
    std::string selected;
    std::string expectedAll;
    std::string expectedSelected;
    RunWindow([&](TestableScanDlg& window) {
        CListCtrl& list = window.ModuleList();
        list.GetWidget()->setFocus();
        all = CopyWithKeys(list);
        expectedAll = kHeadingLine + RowLine(list, 0) + RowLine(list, 1) + RowLine(list, 2);
        // The table selects one row at a time.
        list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
        selected = CopyWithKeys(list);
        expectedSelected = kHeadingLine + RowLine(list, 2);
    });
    EXPECT_EQ(all, expectedAll);
    EXPECT_EQ(selected, expectedSelected);
    EXPECT_NE(all.find("\t0A-51-4D-00-00-02\n"), std::string::npos) << all;
}

// Module types come from the network: one a spreadsheet would take for a formula gets a single
// quote in front, and control characters show as \xNN, so no row splits and no escape is
// pasted.
TEST_F(MainWindowTest, CopiedCellsCannotAttackTheSpreadsheetTheyArePastedInto) {
    using ordvane::testing::kHostileModuleTexts;
    StartFleet(ordvane::testing::HostileFleet(), static_cast<int>(kHostileModuleTexts.size()));
    std::string copied;
    RunWindow([&](TestableScanDlg& window) {
        window.ModuleList().GetWidget()->setFocus();
        copied = CopyWithKeys(window.ModuleList());
    });
    for (std::size_t index = 0; index < kHostileModuleTexts.size(); ++index) {
        const std::string cell = std::string("\t") + kHostileModuleTexts[index].copiedCell + "\t" +
                                 ordvane::testing::HostileModuleMac(index) + "\n";
        EXPECT_NE(copied.find(cell), std::string::npos) << cell << " in\n" << copied;
    }
    EXPECT_EQ(copied.find('\x1B'), std::string::npos);
}

}  // namespace
