// The dialog framework: templates to pixels, message maps, posted messages across threads,
// scripted modal runs and message boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/framework/Afx.h"
#include "res/ids/Resource.h"
#include "tests/support/ModalTestHooks.h"

using ordvane::framework::ModalScript;
using ordvane::framework::PressButton;
using ordvane::framework::PressKey;
using ordvane::framework::PumpEvents;
using ordvane::framework::PumpEventsUntil;

namespace {

constexpr UINT WM_TEST_PING = WM_USER + 7;

// A dialog on the Advanced Settings template with handlers for the routes under test.
class RecordingDialog : public CDialog {
public:
    RecordingDialog() : CDialog(IDD_ADVANCED_SETTINGS) {}

    int m_checkClicks = 0;
    int m_pings = 0;
    std::vector<std::thread::id> m_pingThreads;
    std::vector<UINT> m_systemCommands;
    bool m_initialised = false;
    bool m_destroyed = false;
    HWND m_handleAtInit = nullptr;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_initialised = true;
        m_handleAtInit = m_hWnd;
        return TRUE;
    }
    void OnEnableClicked() { ++m_checkClicks; }
    LRESULT OnPing(WPARAM wParam, LPARAM lParam) {
        ++m_pings;
        m_pingThreads.push_back(std::this_thread::get_id());
        return static_cast<LRESULT>(wParam) + lParam;
    }
    void OnSysCommand(UINT id, LPARAM lParam) {
        m_systemCommands.push_back(id);
        CDialog::OnSysCommand(id, lParam);
    }
    void OnDestroy() {
        m_destroyed = true;
        CDialog::OnDestroy();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingDialog, CDialog)
ON_BN_CLICKED(IDC_ENABLE_DHCP_SERVER, OnEnableClicked)
ON_MESSAGE(WM_TEST_PING, OnPing)
ON_WM_SYSCOMMAND()
ON_WM_DESTROY()
END_MESSAGE_MAP()

// A class below RecordingDialog whose own map is searched first, then its base's.
class DerivedDialog : public RecordingDialog {
public:
    int m_ownPings = 0;

protected:
    LRESULT OnOwnPing(WPARAM, LPARAM) {
        ++m_ownPings;
        return 99;
    }
    void OnCancel() override { EndDialog(77); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedDialog, RecordingDialog)
ON_MESSAGE(WM_TEST_PING + 1, OnOwnPing)
END_MESSAGE_MAP()

CRect ClientRectOfControl(CWnd& dialog, int id) {
    CWnd* control = dialog.GetDlgItem(id);
    CRect rect;
    control->GetWindowRect(&rect);
    dialog.ScreenToClient(&rect);
    return rect;
}

}  // namespace

TEST(DialogTemplateTest, DialogUnitsBecomePixelsFromTheTemplateFontsBaseUnits) {
    EXPECT_EQ(MulDiv(431, 6, 4), 647);  // 646.5 rounds away from zero
    EXPECT_EQ(MulDiv(-3, 6, 4), -5);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(DialogUnitsToPixelsX(4), 6);
    EXPECT_EQ(DialogUnitsToPixelsY(8), 13);
    // A larger font resolution makes larger base units, as the dialog manager's: 8 by 16 at 120.
    EXPECT_EQ(DialogUnitsToPixelsX(4, 120), 8);
    EXPECT_EQ(DialogUnitsToPixelsY(8, 120), 16);

    class MainTemplateDialog : public CDialog {
    public:
        MainTemplateDialog() : CDialog(IDD_ORDVANE_DIALOG) {}
    } dialog;
    ModalScript script;
    CRect client;
    CRect list;
    CRect scan;
    bool fileVisible = true;
    bool fileEnabled = true;
    CString caption;
    script.OnDialog([&](CDialog& shown) {
        shown.GetClientRect(&client);
        list = ClientRectOfControl(shown, IDC_MODULE_LIST);
        scan = ClientRectOfControl(shown, IDC_SCAN);
        fileVisible = shown.GetDlgItem(IDC_FILE)->IsWindowVisible() != FALSE;
        fileEnabled = shown.GetDlgItem(IDC_FILE)->IsWindowEnabled() != FALSE;
        shown.GetWindowText(caption);
        shown.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(client, CRect(0, 0, 647, 301));
    EXPECT_EQ(list, CRect(11, 11, 11 + 620, 11 + 250));
    EXPECT_EQ(scan, CRect(465, 268, 465 + 75, 268 + 23));
    EXPECT_FALSE(fileVisible);
    EXPECT_FALSE(fileEnabled);
    EXPECT_EQ(caption, "Application name");
}

TEST(DialogTemplateTest, EveryTemplateOfTheProgramIsThereWithItsControls) {
    for (UINT id : {IDD_ABOUTBOX, IDD_ORDVANE_DIALOG, IDD_ETHERNET_CONFIG, IDD_ADVANCED_SETTINGS}) {
        const DialogTemplate* dialogTemplate = FindDialogTemplate(id);
        ASSERT_NE(dialogTemplate, nullptr) << id;
        EXPECT_FALSE(dialogTemplate->controls.empty());
    }
    EXPECT_EQ(FindDialogTemplate(999), nullptr);
    CString about;
    EXPECT_TRUE(AfxLoadString(IDS_ABOUTBOX, about));
    EXPECT_EQ(about, "&About...");
    EXPECT_FALSE(AfxLoadString(4242, about));
    HICON large = LoadIconResource(IDR_MAINFRAME, 32);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(LoadIconResource(IDR_MAINFRAME, 32), large) << "icons are shared";
    EXPECT_EQ(
        reinterpret_cast<HICON>(LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME),
                                          IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR | LR_SHARED)),
        LoadIconResource(IDR_MAINFRAME, 16));
    EXPECT_EQ(LoadIconResource(4242, 32), nullptr);
}

// A dialog without minimise and maximise boxes asks the window manager for none and does not
// take either state when a window manager offers them anyway; the main window takes both.
TEST(DialogTemplateTest, OnlyWindowsWithTheBoxesMinimiseOrMaximise) {
    struct Case {
        UINT templateId;
        bool boxes;
    };
    for (const Case test : {Case{IDD_ETHERNET_CONFIG, false}, Case{IDD_ABOUTBOX, false},
                            Case{IDD_ADVANCED_SETTINGS, false}, Case{IDD_ORDVANE_DIALOG, true}}) {
        SCOPED_TRACE(test.templateId);
        CDialog dialog(test.templateId);
        ModalScript script;
        script.OnDialog([&](CDialog& shown) {
            QWidget* window = shown.GetWidget();
            EXPECT_EQ(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint), test.boxes);
            EXPECT_EQ(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint), test.boxes);
            for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
                window->setWindowState(state);
                PumpEvents();
                EXPECT_EQ(window->windowState().testFlag(state), test.boxes) << state;
                window->setWindowState(Qt::WindowNoState);
                PumpEvents();
            }
            shown.EndDialog(IDOK);
        });
        dialog.DoModal();
    }
}

TEST(MessageMapTest, ControlNotificationsAndMessagesReachTheirHandlersThroughTheMapChain) {
    DerivedDialog dialog;
    ModalScript script;
    LRESULT pingResult = 0;
    LRESULT ownPingResult = 0;
    LRESULT unmappedResult = -1;
    script.OnDialog([&](CDialog& shown) {
        EXPECT_TRUE(PressButton(shown, IDC_ENABLE_DHCP_SERVER));
        EXPECT_TRUE(PressButton(shown, IDC_ENABLE_DHCP_SERVER));
        pingResult = shown.SendMessage(WM_TEST_PING, 40, 2);
        ownPingResult = shown.SendMessage(WM_TEST_PING + 1);
        unmappedResult = shown.SendMessage(WM_TEST_PING + 2);
        EXPECT_TRUE(PressButton(shown, IDCANCEL));  // virtual OnCancel of the derived class
    });
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_TRUE(dialog.m_initialised);
    EXPECT_EQ(dialog.m_checkClicks, 2);
    EXPECT_EQ(pingResult, 42);
    EXPECT_EQ(ownPingResult, 99);
    EXPECT_EQ(unmappedResult, 0);
    EXPECT_TRUE(dialog.m_destroyed);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(MessageMapTest, CloseBoxEscapeAndEnterFollowTheDialogManager) {
    {
        RecordingDialog dialog;
        ModalScript script;
        script.OnDialog([](CDialog& shown) { shown.GetWidget()->close(); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        ASSERT_EQ(dialog.m_systemCommands.size(), 1U);
        EXPECT_EQ(dialog.m_systemCommands[0], SC_CLOSE);
    }
    {
        RecordingDialog dialog;
        ModalScript script;
        script.OnDialog([](CDialog& shown) { PressKey(shown, Qt::Key_Escape); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    {
        RecordingDialog dialog;
        ModalScript script;
        int defaultId = 0;
        script.OnDialog([&](CDialog& shown) {
            defaultId = shown.GetDefaultId();
            shown.GetDlgItem(IDC_ENABLE_DHCP_SERVER)->SetFocus();
            PressKey(shown, Qt::Key_Return);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(defaultId, IDOK);
    }
}

TEST(MessageMapTest, SystemMenuCarriesAppendedItemsAndSendsTheirCommands) {
    RecordingDialog dialog;
    ModalScript script;
    script.OnDialog([](CDialog& shown) {
        CMenu* menu = shown.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        menu->AppendMenu(MF_SEPARATOR);
        menu->AppendMenu(MF_STRING, IDM_ABOUTBOX, "&About...");
        CString text;
        menu->GetMenuString(IDM_ABOUTBOX, text, MF_BYCOMMAND);
        EXPECT_EQ(text, "&About...");
        QMenu* popup = ordvane::framework::OpenSystemMenu(shown);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->actions().size(), 3) << "Close, then the separator and the new item";
        QAction* about = nullptr;
        for (QAction* action : popup->actions()) {
            if (action->text() == QStringLiteral("&About...")) {
                about = action;
            }
        }
        ASSERT_NE(about, nullptr);
        popup->close();
        about->trigger();

        // A right click on the background opens the same menu; one on a control does not.
        QWidget* window = shown.GetWidget();
        QContextMenuEvent onBackground(QContextMenuEvent::Mouse, QPoint(2, 2),
                                       window->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(window, &onBackground);
        auto* shownMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(shownMenu, nullptr);
        EXPECT_EQ(shownMenu->actions().size(), 3);
        shownMenu->close();

        // From the keyboard: Shift+F10 with the focus on a button (which has no menu of its
        // own), and the Menu key's context menu event, open it too.
        shown.GetDlgItem(IDOK)->SetFocus();
        PressKey(shown, Qt::Key_F10, Qt::ShiftModifier);
        shownMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(shownMenu, nullptr) << "Shift+F10";
        shownMenu->close();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1),
                                  window->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(window->focusWidget(), &menuKey);
        shownMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(shownMenu, nullptr) << "Menu key";
        shownMenu->close();
        shown.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(dialog.m_systemCommands.size(), 1U);
    EXPECT_EQ(dialog.m_systemCommands[0], static_cast<UINT>(IDM_ABOUTBOX));
}

TEST(PostMessageTest, MessagesPostedFromOtherThreadsArriveOnTheUserInterfaceThreadInOrder) {
    RecordingDialog dialog;
    ModalScript script;
    script.OnDialog([&](CDialog& shown) {
        HWND window = shown.m_hWnd;
        std::vector<std::thread> posters;
        for (int thread = 0; thread < 4; ++thread) {
            posters.emplace_back([window]() {
                for (int i = 0; i < 50; ++i) {
                    ::PostMessage(window, WM_TEST_PING, 1, 0);
                }
            });
        }
        for (std::thread& poster : posters) {
            poster.join();
        }
        EXPECT_EQ(dialog.m_pings, 0) << "posted messages wait for the event loop";
        PumpEvents();
        shown.EndDialog(IDOK);
    });
    dialog.DoModal();
    EXPECT_EQ(dialog.m_pings, 200);
    for (const std::thread::id& thread : dialog.m_pingThreads) {
        EXPECT_EQ(thread, std::this_thread::get_id());
    }
}

TEST(PostMessageTest, NothingIsDeliveredToAWindowThatIsGone) {
    RecordingDialog dialog;
    ModalScript script;
    std::atomic<bool> stop{false};
    std::thread poster;
    script.OnDialog([&](CDialog& shown) {
        HWND window = shown.m_hWnd;
        poster = std::thread([window, &stop]() {
            while (!stop.load()) {
                ::PostMessage(window, WM_TEST_PING, 0, 0);
                std::this_thread::yield();
            }
        });
        EXPECT_TRUE(PumpEventsUntil([&]() { return dialog.m_pings > 0; }, 5000));
        shown.EndDialog(IDOK);
    });
    dialog.DoModal();
    const int pingsWhileOpen = dialog.m_pings;
    PumpEvents();
    stop.store(true);
    poster.join();
    PumpEvents();
    EXPECT_EQ(dialog.m_pings, pingsWhileOpen);
    EXPECT_FALSE(::IsWindow(dialog.m_handleAtInit));
    EXPECT_TRUE(::PostMessage(dialog.m_handleAtInit, WM_TEST_PING, 0, 0));
    PumpEvents();
    EXPECT_EQ(dialog.m_pings, pingsWhileOpen);
    EXPECT_FALSE(::PostMessage(nullptr, WM_TEST_PING, 0, 0));
}

TEST(ModalScriptTest, MessageBoxesAreRecordedAndAnsweredWithoutBlocking) {
    ModalScript script;
    script.OnMessageBox([](const ordvane::framework::MessageBoxRecord& box) {
        return (box.type & MB_TYPEMASK) == MB_YESNO ? IDNO : 0;
    });
    EXPECT_EQ(AfxMessageBox("Plain"), IDOK);
    EXPECT_EQ(::MessageBox(nullptr, "Question?", "Asking", MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(script.MessageBoxes().size(), 2U);
    EXPECT_EQ(script.MessageBoxes()[0].text, "Plain");
    EXPECT_EQ(script.MessageBoxes()[0].caption, "framework_tests");
    EXPECT_EQ(script.MessageBoxes()[0].type, MB_OK);
    EXPECT_EQ(script.MessageBoxes()[1].caption, "Asking");
    EXPECT_EQ(script.MessageBoxes()[1].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(script.MessageBoxes()[1].answer, IDNO);
}

TEST(ModalScriptTest, NestedDialogsReachTheScriptAndUnfinishedOnesEndAsCancel) {
    RecordingDialog outer;
    ModalScript script;
    INT_PTR innerResult = 0;
    script.OnDialog([&](CDialog& shown) {
        if (&shown == &outer) {
            RecordingDialog inner;
            innerResult = inner.DoModal();  // the script leaves it open
            shown.EndDialog(5);
        }
    });
    EXPECT_EQ(outer.DoModal(), 5);
    EXPECT_EQ(innerResult, IDCANCEL);
    ASSERT_EQ(script.Dialogs().size(), 2U);
    EXPECT_EQ(script.Dialogs()[0].result, IDCANCEL);
    EXPECT_EQ(script.Dialogs()[1].result, 5);
    EXPECT_EQ(script.Dialogs()[1].caption, "Advanced Settings");
}

TEST(ModalScriptTest, EndDialogDuringInitialisationSkipsTheModalRun) {
    class EndsAtOnce : public CDialog {
    public:
        EndsAtOnce() : CDialog(IDD_ABOUTBOX) {}
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            EndDialog(IDCANCEL);
            return TRUE;
        }
    } dialog;
    ModalScript script;
    bool scriptRan = false;
    script.OnDialog([&](CDialog&) { scriptRan = true; });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(scriptRan);
    class Missing : public CDialog {
    public:
        Missing() : CDialog(4242) {}
    } missing;
    EXPECT_EQ(missing.DoModal(), -1);
}
