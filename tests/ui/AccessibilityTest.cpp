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

}  // namespace

TEST_F(MainWindowTest, ScreenReadersReadTheWindowAndTheConfigurationDialog) {
    // Nothing is on this computer's networks in the test fleet, so every row has a warning.
    const Read window[] = {
        {QAccessible::Tree, "Modules", ""},
        {QAccessible::ColumnHeader, "SN", "Subnet mask"},
        {QAccessible::ColumnHeader, "GW", "Default gateway"},
        {QAccessible::TreeItem, "10.0.0.9", "*"},
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
