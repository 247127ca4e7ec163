// What a screen reader reads, through Qt's accessibility interfaces (the tree the desktop's
// accessibility bus is fed from): the main window and the configuration dialog as modal
// dialogs, the table named "Modules" with described headings and each row's warnings, and the
// dialog's fields named by their labels.

#include <QAccessible>
#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/framework/CEdit.h"
#include "res/ids/Resource.h"
#include "tests/ui/MainWindowFixture.h"

using ordvane::framework::PressKey;
using ordvane::framework::PumpEvents;
using ordvane::testing::MainWindowTest;
using ordvane::testing::TestableScanDlg;

namespace {

struct Read {
    QAccessible::Role role;
    std::string name;
    std::string description;  // "*": any non-empty text
};

// The first interface under root (root included) that has this role and name.
QAccessibleInterface* Find(QAccessibleInterface* root, QAccessible::Role role,
                           const std::string& name) {
    if (root == nullptr) {
        return nullptr;
    }
    if (root->role() == role && root->text(QAccessible::Name).toStdString() == name) {
        return root;
    }
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface* found = Find(root->child(i), role, name)) {
            return found;
        }
    }
    return nullptr;
}

void ExpectRead(QWidget* window, const Read expected[], std::size_t count) {
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->role(), QAccessible::Dialog);
    EXPECT_TRUE(root->state().modal);
    for (std::size_t i = 0; i < count; ++i) {
        const Read& read = expected[i];
        SCOPED_TRACE(read.name);
        QAccessibleInterface* found = Find(root, read.role, read.name);
        ASSERT_NE(found, nullptr) << "role " << read.role;
        const std::string description = found->text(QAccessible::Description).toStdString();
        if (read.description == "*") {
            EXPECT_FALSE(description.empty());
        } else {
            EXPECT_EQ(description, read.description);
        }
    }
}

// Each column's cells name their heading, as a reader announces it when moving between columns.
void ExpectColumnHeadings(QWidget* window, const std::vector<std::string>& headings) {
    QAccessibleInterface* table =
        Find(QAccessible::queryAccessibleInterface(window), QAccessible::Table, "Modules");
    ASSERT_NE(table, nullptr);
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    ASSERT_EQ(cells->columnCount(), static_cast<int>(headings.size()));
    for (int column = 0; column < cells->columnCount(); ++column) {
        QAccessibleInterface* cell = cells->cellAt(0, column);
        ASSERT_NE(cell, nullptr);
        const QList<QAccessibleInterface*> heading =
            cell->tableCellInterface()->columnHeaderCells();
        ASSERT_EQ(heading.size(), 1) << column;
        EXPECT_EQ(heading.front()->text(QAccessible::Name).toStdString(),
                  headings[static_cast<std::size_t>(column)]);
    }
}

}  // namespace

TEST_F(MainWindowTest, ScreenReadersReadTheWindowAndTheConfigurationDialog) {
    // Nothing is on this computer's networks in the test fleet, so every row has a warning.
    const Read window[] = {
        {QAccessible::Table, "Modules", ""},
        {QAccessible::ColumnHeader, "SN", "Subnet mask"},
        {QAccessible::ColumnHeader, "GW", "Default gateway"},
        {QAccessible::Cell, "10.0.0.9", "*"},
        {QAccessible::Button, "Scan", ""},
    };
    const Read dialog[] = {
        {QAccessible::Grouping, "IP address:", ""},
        {QAccessible::EditableText, "IP address:", "Part 1 of 4"},
        {QAccessible::Grouping, "Secondary DNS:", ""},
        {QAccessible::EditableText, "Hostname:", ""},
        {QAccessible::EditableText, "Password:", ""},
        {QAccessible::EditableText, "New password:", ""},
        {QAccessible::EditableText, "Confirm:", ""},
        {QAccessible::RadioButton, "On", ""},
        {QAccessible::RadioButton, "Off", ""},
        {QAccessible::CheckBox, "Change password", ""},
    };
    RunWindow([&](TestableScanDlg& shown) {
        QWidget* widget = shown.GetWidget();
        ExpectRead(widget, window, std::size(window));
        ExpectColumnHeadings(widget, {"IP", "SN", "GW", "DHCP", "Version", "Type", "MAC"});

        bool dialogRead = false;
        m_script->OnDialog([&](CDialog& configuration) {
            if (&configuration != &shown) {
                ExpectRead(configuration.GetWidget(), dialog, std::size(dialog));
                dialogRead = true;
            }
        });
        shown.ModuleList().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        shown.ModuleList().SetFocus();
        PressKey(shown, Qt::Key_Return);
        PumpEvents();
        EXPECT_TRUE(dialogRead);
    });
}
