// The main window as a technician meets it: Set on a generated module that was left as it
// is, the word when a module does not answer, F1 and the right click on the table for the
// About box, and typing to find a row.

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <string>

#include "config/KnownModules.h"
#include "modlist/ModuleColumns.h"
#include "modsvc/ModuleService.h"
#include "platform/framework/CEdit.h"
#include "res/ids/Resource.h"
#include "sim/FleetGenerator.h"
#include "tests/ui/MainWindowFixture.h"

using ordvane::framework::ModalScript;
using ordvane::framework::PressButton;
using ordvane::framework::PressKey;
using ordvane::framework::PumpEvents;
using ordvane::framework::PumpEventsUntil;
using ordvane::framework::TypeText;
using ordvane::testing::MainWindowTest;
using ordvane::testing::TestableScanDlg;

namespace {

void DoubleClickRow(CListCtrl& list, int row) {
    CRect rect;
    ASSERT_TRUE(list.GetItemRect(row, &rect, 0));
    list.SendMessage(WM_LBUTTONDBLCLK, 0,
                     MAKELPARAM(static_cast<WORD>(rect.left + 20),
                                static_cast<WORD>((rect.top + rect.bottom) / 2)));
}

std::string SelectedIp(CListCtrl& list) {
    POSITION position = list.GetFirstSelectedItemPosition();
    return position == nullptr ? std::string()
                               : list.GetItemText(list.GetNextSelectedItem(position), 0).Str();
}

}  // namespace

TEST_F(MainWindowTest, SetOnAGeneratedModuleLeftAsItIsReachesTheModule) {
    constexpr int kModules = 12;
    StartGeneratedFleet(kModules);
    int sent = 0;
    RunWindow([&](TestableScanDlg& window) {
        CListCtrl& list = window.ModuleList();
        for (int row = 0; row < list.GetItemCount(); ++row) {
            ModalScript user;
            bool hostnameShown = false;
            user.OnDialog([&](CDialog& dialog) {
                CEdit& hostname = *static_cast<CEdit*>(dialog.GetDlgItem(IDC_HOSTNAME));
                hostnameShown = hostname.IsWindowEnabled() != FALSE;
                auto& password = *static_cast<CEdit*>(dialog.GetDlgItem(IDC_PASSWORD));
                if (!password.IsReadOnly()) {
                    TypeText(password, ordvane::sim::kGeneratedPassword);
                }
                PressButton(dialog, IDOK);
            });
            // A password in clear needs the user's yes; every other row says no.
            const int consent = row % 2 == 0 ? IDYES : IDNO;
            user.OnMessageBox([consent](const auto&) { return consent; });
            DoubleClickRow(list, row);
            ASSERT_EQ(user.Dialogs().size(), 1u);
            EXPECT_EQ(user.Dialogs()[0].result, IDOK) << "row " << row;
            const std::string mac = list.GetItemText(row, ordvane::kColumnMac).Str();
            const bool asked = !user.MessageBoxes().empty();
            if (asked) {
                EXPECT_EQ(user.MessageBoxes()[0].text,
                          mac +
                              " takes its password in plain text: anyone on the network can "
                              "read it on the way.\n\nSend the password in plain text anyway?");
                EXPECT_EQ(user.MessageBoxes()[0].type, UINT{MB_ICONEXCLAMATION | MB_YESNO});
            }
            if (asked && consent == IDNO) {
                EXPECT_FALSE(
                    m_sim->WaitForLines("configure mac=" + mac, 1, std::chrono::milliseconds(300)));
                continue;
            }
            sent += hostnameShown ? 1 : 0;
            EXPECT_TRUE(m_sim->WaitForLines("configure mac=" + mac, 1) ||
                        !m_sim->LinesStartingWith("reject mac=" + mac).empty())
                << m_sim->Describe();
        }
    });
    EXPECT_GT(sent, kModules / 4) << "most generated modules report a hostname";
}

// This user's window or ordvane-cli saw module 02 ask for hashed passwords; now it asks for
// plain text. Its password is refused outright, while module 01, to which no password goes,
// is configured without a question.
TEST_F(MainWindowTest, APasswordNeverGoesInClearToAModuleOnceSeenAskingForHashedOnes) {
    const std::string folder = std::string(std::getenv("XDG_STATE_HOME")) + "/ordvane";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    std::ofstream(folder + "/known-modules") << "0A-51-4D-00-00-02 hashed\n";
    const struct {
        const char* mac;
        const char* password;
        std::string box;
    } cases[] = {
        {"0A-51-4D-00-00-02", "secret", ordvane::PasswordDowngradeRefusal("0A-51-4D-00-00-02")},
        {"0A-51-4D-00-00-01", "", ""},
    };
    RunWindow([&](TestableScanDlg& window) {
        CListCtrl& list = window.ModuleList();
        for (const auto& c : cases) {
            int row = 0;
            while (row < list.GetItemCount() &&
                   list.GetItemText(row, ordvane::kColumnMac).Str() != c.mac) {
                ++row;
            }
            ModalScript user;
            user.OnDialog([&](CDialog& dialog) {
                auto& password = *static_cast<CEdit*>(dialog.GetDlgItem(IDC_PASSWORD));
                TypeText(password, c.password);
                PressButton(dialog, IDOK);
            });
            DoubleClickRow(list, row);
            ASSERT_EQ(user.MessageBoxes().size(), c.box.empty() ? 0u : 1u) << c.mac;
            if (!c.box.empty()) {
                EXPECT_EQ(user.MessageBoxes()[0].text, c.box);
            }
            EXPECT_EQ(m_sim->WaitForLines(std::string("configure mac=") + c.mac, 1,
                                          std::chrono::milliseconds(2500)),
                      c.box.empty())
                << m_sim->Describe();
        }
    });
}

TEST_F(MainWindowTest, NoAnswerNamesTheModuleOfTheLastRequest) {
    const BYTE second[6] = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x02};
    const BYTE third[6] = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x03};
    struct Case {
        const BYTE* mac;  // nullptr: no request sent yet
        ordvane::SentCommand command;
        std::string expected;
    };
    const std::string advice = "\nCheck that it is powered and connected, then press Scan.";
    const Case cases[] = {
        {nullptr, ordvane::SentCommand::kConfigure, "A module did not answer in time."},
        {second, ordvane::SentCommand::kConfigure,
         "Module 0A-51-4D-00-00-02 (10.0.0.10) did not answer the configuration request." + advice},
        {third, ordvane::SentCommand::kWink,
         "Module 0A-51-4D-00-00-03 (9.0.0.1) did not answer the wink request." + advice},
    };
    RunWindow([&](TestableScanDlg& window) {
        for (const Case& c : cases) {
            if (c.mac != nullptr) {
                window.ModuleList().NoteCommandSent(ordvane::MacAddress::FromBytes(c.mac),
                                                    c.command);
            }
            const std::size_t before = m_script->MessageBoxes().size();
            window.PostMessage(WM_MODULE_EVENT, 0, ZEVA_EVENT_NO_ANSWER);
            ASSERT_TRUE(
                PumpEventsUntil([&] { return m_script->MessageBoxes().size() > before; }, 2000));
            const auto& box = m_script->MessageBoxes().back();
            EXPECT_EQ(box.text, c.expected);
            EXPECT_EQ(box.caption, "Warning");
            EXPECT_EQ(box.type, MB_ICONEXCLAMATION | MB_OK);
        }
        EXPECT_EQ(window.ModuleList().GetItemCount(), 3) << "the table keeps its rows";
    });
}

TEST_F(MainWindowTest, F1AndARightClickOnTheTableLeadToTheAboutBox) {
    RunWindow([&](TestableScanDlg& window) {
        window.ModuleList().SetFocus();
        PressKey(window, Qt::Key_F1);

        auto* view = static_cast<QAbstractItemView*>(window.ModuleList().GetWidget());
        QWidget* viewport = view->viewport();
        const QPoint inside(10, 10);
        QContextMenuEvent click(QContextMenuEvent::Mouse, inside, viewport->mapToGlobal(inside));
        QApplication::sendEvent(viewport, &click);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QAction* about = nullptr;
        for (QAction* action : menu->actions()) {
            about = action->text() == QStringLiteral("&About...") ? action : about;
        }
        ASSERT_NE(about, nullptr);
        menu->close();
        about->trigger();
        PumpEvents();
    });
    const auto& dialogs = m_script->Dialogs();
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(dialogs[0].templateId, static_cast<UINT>(IDD_ABOUTBOX)) << "F1";
    EXPECT_EQ(dialogs[1].templateId, static_cast<UINT>(IDD_ABOUTBOX)) << "the table's menu";
}

TEST_F(MainWindowTest, TypingSelectsTheFirstRowWhoseFirstColumnStartsWithIt) {
    struct Case {
        int clickedColumn;  // a cell of the last row clicked first; -1 none
        const char* typed;  // typed in one go, after the previous search timed out
        const char* selected;
    };
    // Rows in address order: 9.0.0.1, 10.0.0.9, 10.0.0.10. Whatever column was clicked, the
    // search looks at the first one (the MAC column would match "0A-...").
    const Case cases[] = {{-1, "1", "10.0.0.9"},
                          {-1, "10.0.0.1", "10.0.0.10"},
                          {-1, "9", "9.0.0.1"},
                          {-1, "10.0.0.9", "10.0.0.9"},
                          {-1, "7", "10.0.0.9"},
                          {-1, "11", "10.0.0.9"},
                          {ordvane::kColumnMac, "9", "9.0.0.1"},
                          {ordvane::kColumnType, "1", "10.0.0.9"}};
    RunWindow([&](TestableScanDlg& window) {
        CListCtrl& list = window.ModuleList();
        list.SetFocus();
        auto* view = static_cast<QAbstractItemView*>(list.GetWidget());
        for (const Case& c : cases) {
            if (c.clickedColumn >= 0) {
                const QModelIndex cell = view->model()->index(2, c.clickedColumn);
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(cell).center());
                PumpEvents();
            }
            QTest::keyClicks(view, QString::fromLatin1(c.typed));
            PumpEvents();
            EXPECT_EQ(SelectedIp(list), c.selected) << c.typed;
            QTest::qWait(QApplication::keyboardInputInterval() + 100);
        }
    });
}
