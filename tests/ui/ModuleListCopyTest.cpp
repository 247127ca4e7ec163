// Ctrl+C in the main window copies the module table as tab-separated text with the heading
// line: the selected rows, or every row when none is selected.

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <string>

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

}  // namespace
