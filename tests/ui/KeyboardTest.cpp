// The main window from the keyboard: Enter and the rows' menu (right click, Menu key,
// Shift+F10) reach Configure for the selected row, whose dialog opens with the focus in its
// first field; Wink and Copy from the same menu; after a refusal or no answer the dialog comes
// back with what was typed.

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <string>

#include "modlist/ModuleColumns.h"
#include "platform/framework/CButton.h"
#include "platform/framework/CEdit.h"
#include "res/ids/Resource.h"
#include "tests/ui/MainWindowFixture.h"

using ordvane::framework::PressKey;
using ordvane::framework::PumpEvents;
using ordvane::testing::MainWindowTest;
using ordvane::testing::TestableScanDlg;

namespace {

enum class Way { Enter, KeypadEnter, MenuKey, ShiftF10, RightClick };

// Asks for the rows' menu the way a user does and returns it.
QMenu* OpenRowMenu(CListCtrl& list, Way way) {
    auto* view = static_cast<QAbstractItemView*>(list.GetWidget());
    if (way == Way::ShiftF10) {
        QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
    } else {
        // The Menu key arrives as a context-menu event from the keyboard, as the platform sends.
        const QPoint at =
            way == Way::RightClick ? view->visualRect(view->currentIndex()).center() : QPoint(0, 0);
        QContextMenuEvent event(
            way == Way::RightClick ? QContextMenuEvent::Mouse : QContextMenuEvent::Keyboard, at,
            view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
    }
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

void Choose(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            menu->close();
            action->trigger();
            PumpEvents();
            return;
        }
    }
    ADD_FAILURE() << "no menu item " << text.toStdString();
}

void SelectRow(CListCtrl& list, int row) {
    list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetFocus();
    PumpEvents();
}

}  // namespace

TEST_F(MainWindowTest, KeysAndTheRowsMenuOpenConfigureForTheSelectedRow) {
    struct Case {
        Way way;
        bool rowSelected;
        bool opensDialog;
    };
    const Case cases[] = {{Way::Enter, true, true},      {Way::KeypadEnter, true, true},
                          {Way::MenuKey, true, true},    {Way::ShiftF10, true, true},
                          {Way::RightClick, true, true}, {Way::Enter, false, false},
                          {Way::MenuKey, false, false}};
    RunWindow([&](TestableScanDlg& window) {
        ordvane::CModuleListCtrl& list = window.ModuleList();
        for (const Case& c : cases) {
            SCOPED_TRACE(static_cast<int>(c.way));
            for (int row = 0; row < list.GetItemCount(); ++row) {
                list.SetItemState(row, 0, LVIS_SELECTED);
            }
            std::string expectedCaption;
            if (c.rowSelected) {
                SelectRow(list, 1);
                expectedCaption = "Configure: " + list.GetItemText(1, ordvane::kColumnMac).Str();
            } else {
                list.SetFocus();
            }
            std::string caption;
            int focusedControl = 0;
            m_script->OnDialog([&](CDialog& shown) {
                if (&shown == &window) {
                    return;
                }
                CString text;
                shown.GetWindowText(text);
                caption = text.Str();
                QWidget* focused = shown.GetWidget()->focusWidget();
                while (focused != nullptr && CWnd::FromWidget(focused)->GetDlgCtrlID() <= 0) {
                    focused = focused->parentWidget();
                }
                focusedControl = focused != nullptr ? CWnd::FromWidget(focused)->GetDlgCtrlID() : 0;
            });
            if (c.way == Way::Enter || c.way == Way::KeypadEnter) {
                PressKey(window, Qt::Key_Enter,
                         c.way == Way::KeypadEnter ? Qt::KeypadModifier : Qt::NoModifier);
                PumpEvents();
            } else {
                QMenu* menu = OpenRowMenu(list, c.way);
                ASSERT_NE(menu, nullptr);
                Choose(menu, QStringLiteral("&Configure..."));
            }
            EXPECT_EQ(caption, expectedCaption);
            if (c.opensDialog) {
                EXPECT_EQ(focusedControl, IDC_IP_ADDRESS) << "the first field";
            }
        }
    });
}

TEST_F(MainWindowTest, TheRowsMenuCopiesAndWinks) {
    RunWindow([&](TestableScanDlg& window) {
        ordvane::CModuleListCtrl& list = window.ModuleList();
        SelectRow(list, 1);  // 10.0.0.9, whose service winks
        const std::string mac = list.GetItemText(1, ordvane::kColumnMac).Str();
        Choose(OpenRowMenu(list, Way::MenuKey), QStringLiteral("C&opy"));
        const std::string copied = QGuiApplication::clipboard()->text().toStdString();
        EXPECT_NE(copied.find(mac), std::string::npos) << copied;

        Choose(OpenRowMenu(list, Way::ShiftF10), QStringLiteral("&Wink"));
        EXPECT_TRUE(m_sim->WaitForLines("wink mac=" + mac, 1)) << m_sim->Describe();
    });
}

// After "Invalid password", and after no answer, the dialog comes back for the same module with
// everything typed except the passwords, and the focus in Password.
TEST_F(MainWindowTest, ARefusedOrUnansweredConfigureReopensWithWhatWasTyped) {
    struct Case {
        int row;  // 10.0.0.10 takes "secret"; 10.0.0.9 has no password
        bool stopModules;
        const char* message;
    };
    const Case cases[] = {{2, false, "Invalid password"},
                          {1, true, "did not answer the configuration request"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        RunWindow([&](TestableScanDlg& window) {
            ordvane::CModuleListCtrl& list = window.ModuleList();
            const std::string mac = list.GetItemText(c.row, ordvane::kColumnMac).Str();
            int opened = 0;
            std::string hostnameAgain;
            std::string passwordAgain;
            int focusedAgain = 0;
            int dhcpOnAgain = 0;
            m_script->OnDialog([&](CDialog& shown) {
                if (&shown == &window) {
                    return;
                }
                ++opened;
                auto& hostname = *static_cast<CEdit*>(shown.GetDlgItem(IDC_HOSTNAME));
                auto& password = *static_cast<CEdit*>(shown.GetDlgItem(IDC_PASSWORD));
                auto& dhcpOn = *static_cast<CButton*>(shown.GetDlgItem(IDC_DHCP_ON));
                if (opened == 1) {
                    hostname.SetWindowText("typed7");
                    ordvane::framework::PressButton(shown, IDC_DHCP_ON);
                    if (!password.IsReadOnly()) {
                        ordvane::framework::TypeText(password, "wrong");
                    }
                    if (c.stopModules) {
                        m_sim->Stop();
                    }
                    ordvane::framework::PressButton(shown, IDOK);
                    return;
                }
                CString text;
                hostname.GetWindowText(text);
                hostnameAgain = text.Str();
                password.GetWindowText(text);
                passwordAgain = text.Str();
                dhcpOnAgain = dhcpOn.GetCheck();
                QWidget* focused = shown.GetWidget()->focusWidget();
                focusedAgain = focused != nullptr ? CWnd::FromWidget(focused)->GetDlgCtrlID() : 0;
            });
            SelectRow(list, c.row);
            PressKey(window, Qt::Key_Return);
            ASSERT_TRUE(ordvane::framework::PumpEventsUntil([&] { return opened >= 2; }, 15000))
                << m_sim->Describe();
            EXPECT_NE(m_script->MessageBoxes().back().text.find(c.message), std::string::npos)
                << m_script->MessageBoxes().back().text;
            EXPECT_EQ(hostnameAgain, "typed7");
            EXPECT_EQ(dhcpOnAgain, BST_CHECKED);
            EXPECT_EQ(passwordAgain, "");
            if (c.row == 2) {
                EXPECT_EQ(focusedAgain, IDC_PASSWORD);
            }
        });
        TearDown();
        SetUp();
    }
}
