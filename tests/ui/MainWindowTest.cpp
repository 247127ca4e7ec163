// The main window with the real library and the emulator: caption and system menu, the first
// scan, Scan, the library's events, Escape and the close box, the minimized icon, the layout.

#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QWidget>
#include <cstring>
#include <string>

#include "modlist/ModuleColumns.h"
#include "modsvc/ModuleService.h"
#include "res/ids/Resource.h"
#include "tests/ui/MainWindowFixture.h"

using ordvane::CScanDlg;

using ordvane::framework::MessageBoxRecord;
using ordvane::framework::PressButton;
using ordvane::framework::PressKey;
using ordvane::framework::PumpEvents;
using ordvane::framework::PumpEventsUntil;
using ordvane::testing::MainWindowTest;
using ordvane::testing::TestableScanDlg;

namespace {

std::string RowText(CListCtrl& list, int row, int column) {
    return list.GetItemText(row, column).Str();
}

}  // namespace

TEST(CaptionVersionTest, KeepsTheProductVersionUpToItsLastPart) {
    EXPECT_EQ(CScanDlg::CaptionVersion("1, 4, 0, 0"), "1.4.0");
    EXPECT_EQ(CScanDlg::CaptionVersion("2.10.3.7"), "2.10.3");
    EXPECT_EQ(CScanDlg::CaptionVersion(" 1 ,2"), "1");
    EXPECT_EQ(CScanDlg::CaptionVersion("14"), "");
    EXPECT_EQ(CScanDlg::CaptionVersion(""), "");
}

TEST_F(MainWindowTest, OpensWithTheVersionCaptionTheAboutItemAndNoWinkOrFileButton) {
    CString caption;
    UINT lastItem = 0;
    UINT separator = 1;
    CString aboutText;
    bool winkVisible = true;
    bool winkEnabled = true;
    bool fileVisible = true;
    const INT_PTR result = RunWindow([&](TestableScanDlg& window) {
        // The caption says that the scan runs until its answers are due.
        window.GetWindowText(caption);
        EXPECT_EQ(caption, "Ordvane v1.5.0 - scanning, 3 modules");
        PumpEventsUntil(
            [&] {
                window.GetWindowText(caption);
                return caption.Str().find("scanning") == std::string::npos;
            },
            2 * kScanMilliseconds);
        CMenu* menu = window.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = menu->GetMenuItemCount();
        lastItem = menu->GetMenuItemID(count - 1);
        separator = menu->GetMenuState(static_cast<UINT>(count - 2), MF_BYPOSITION);
        menu->GetMenuString(IDM_ABOUTBOX, aboutText, MF_BYCOMMAND);
        winkVisible = window.GetDlgItem(IDC_WINK)->IsWindowVisible() != FALSE;
        winkEnabled = window.GetDlgItem(IDC_WINK)->IsWindowEnabled() != FALSE;
        fileVisible = window.GetDlgItem(IDC_FILE)->IsWindowVisible() != FALSE;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(caption, "Ordvane v1.5.0 - 3 modules");
    EXPECT_EQ(lastItem, static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_NE(separator & MF_SEPARATOR, 0U);
    EXPECT_EQ(aboutText, "&About...");
    EXPECT_FALSE(winkVisible);
    EXPECT_FALSE(winkEnabled);
    EXPECT_FALSE(fileVisible);
    EXPECT_TRUE(m_script->MessageBoxes().empty());
}

TEST_F(MainWindowTest, TheFirstScanListsTheFleetInAddressOrder) {
    RunWindow([&](TestableScanDlg& window) {
        CListCtrl& list = window.ModuleList();
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(RowText(list, 0, 0), "9.0.0.1");
        EXPECT_EQ(RowText(list, 1, 0), "10.0.0.9");
        EXPECT_EQ(RowText(list, 2, 0), "10.0.0.10");
        EXPECT_EQ(RowText(list, 2, 1), "255.255.255.0");
        EXPECT_EQ(RowText(list, 2, 3), "On");
        EXPECT_EQ(RowText(list, 2, 5), "QM-200");
        EXPECT_EQ(RowText(list, 2, 6), "0A-51-4D-00-00-02");

        // A picture of the window listing the fleet, for the eye.
        list.FlushPendingChanges();
        PumpEvents();
        const QImage picture = window.GetWidget()->grab().toImage();
        EXPECT_FALSE(picture.isNull());
        QDir().mkpath(QStringLiteral(ORDVANE_SCREENSHOT_DIR));
        EXPECT_TRUE(picture.save(QStringLiteral(ORDVANE_SCREENSHOT_DIR "/main-window.png")));
    });
}

TEST_F(MainWindowTest, ScanEmptiesTheTableAndListsTheFleetAgain) {
    RunWindow([&](TestableScanDlg& window) {
        ASSERT_TRUE(PressButton(window, IDC_SCAN));
        EXPECT_EQ(window.ModuleList().GetItemCount(), 0) << "emptied before the scan goes out";
        EXPECT_TRUE(WaitForRows(window, 3));
        // Two presses in a row: each empties the table; duplicates of late answers are dropped.
        ASSERT_TRUE(PressButton(window, IDC_SCAN));
        ASSERT_TRUE(PressButton(window, IDC_SCAN));
        EXPECT_TRUE(WaitForRows(window, 3));
        PumpEventsUntil([] { return false; }, 300);
        EXPECT_EQ(window.ModuleList().GetItemCount(), 3);
    });
}

TEST_F(MainWindowTest, ResponseEventWithNothingQueuedChangesNothing) {
    RunWindow([&](TestableScanDlg& window) {
        PumpEventsUntil([] { return false; }, 300);  // late repeats of the scan settle
        window.SendMessage(WM_MODULE_EVENT, 0, ZEVA_EVENT_RESPONSE);
        window.SendMessage(WM_MODULE_EVENT, 0, 42);
        EXPECT_EQ(window.ModuleList().GetItemCount(), 3);
        EXPECT_EQ(window.ModuleList().GetModuleCount(), 3);
    });
}

TEST_F(MainWindowTest, RescanEventEmptiesTheTableAndScansAgainEvenWithAnEmptyQueue) {
    RunWindow([&](TestableScanDlg& window) {
        window.SendMessage(WM_MODULE_EVENT, 0, ZEVA_EVENT_RESCAN);
        EXPECT_EQ(window.ModuleList().GetItemCount(), 0);
        EXPECT_TRUE(WaitForRows(window, 3));
    });
    EXPECT_TRUE(m_script->MessageBoxes().empty());
}

TEST_F(MainWindowTest, InvalidPasswordForTheLastConfiguredModuleWarnsOnceAndLeavesTheQueue) {
    RunWindow([&](TestableScanDlg& window) {
        const BYTE target[6] = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x02};
        window.ModuleList().NoteCommandSent(ordvane::MacAddress::FromBytes(target),
                                            ordvane::SentCommand::kConfigure);
        ConfigureWithWrongPassword(window, "0A-51-4D-00-00-02");
        EXPECT_TRUE(PumpEventsUntil([&] { return !m_script->MessageBoxes().empty(); }, 10000));
        PumpEventsUntil([] { return false; }, 300);
        BYTE queued[6] = {};
        EXPECT_NE(ZEVA_GetInvPswdMacId(queued), 1) << "the entry was removed";
        EXPECT_EQ(window.ModuleList().GetItemCount(), 3) << "the table keeps its rows";
    });
    ASSERT_EQ(m_script->MessageBoxes().size(), 1U);
    const MessageBoxRecord& box = m_script->MessageBoxes()[0];
    EXPECT_EQ(box.text, "Invalid password");
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.type, MB_ICONEXCLAMATION | MB_OK);
}

TEST_F(MainWindowTest, InvalidPasswordForAnotherModuleShowsNothingAndStaysQueued) {
    RunWindow([&](TestableScanDlg& window) {
        BYTE queued[6] = {};
        // Before any configure request no module is the last configured one.
        ConfigureWithWrongPassword(window, "0A-51-4D-00-00-02");
        ASSERT_TRUE(PumpEventsUntil([&] { return ZEVA_GetInvPswdMacId(queued) == 1; }, 10000));
        PumpEventsUntil([] { return false; }, 300);
        const BYTE other[6] = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x01};
        window.ModuleList().NoteCommandSent(ordvane::MacAddress::FromBytes(other),
                                            ordvane::SentCommand::kConfigure);
        window.SendMessage(WM_MODULE_EVENT, 0, ZEVA_EVENT_INVALID_PASSWORD);
        std::memset(queued, 0, sizeof queued);
        ASSERT_EQ(ZEVA_GetInvPswdMacId(queued), 1) << "still queued";
        EXPECT_EQ(queued[5], 0x02);

        // A rescan meets the same entry again and leaves it, as it is not the configured one.
        window.SendMessage(WM_MODULE_EVENT, 0, ZEVA_EVENT_RESCAN);
        EXPECT_EQ(ZEVA_GetInvPswdMacId(queued), 1);
        EXPECT_TRUE(WaitForRows(window, 3));
    });
    EXPECT_TRUE(m_script->MessageBoxes().empty());
}

TEST_F(MainWindowTest, MacConflictEventSaysTwoDevicesClaimTheMacAndKeepsTheRows) {
    RunWindow([&](TestableScanDlg& window) {
        EXPECT_TRUE(WaitForRows(window, 3));
        window.SendMessage(WM_MODULE_EVENT, 0, ZEVA_EVENT_MAC_CONFLICT);
        EXPECT_EQ(window.ModuleList().GetItemCount(), 3);
    });
    ASSERT_EQ(m_script->MessageBoxes().size(), 1U);
    EXPECT_EQ(m_script->MessageBoxes()[0].text, kMacClaimedTwiceMessage);
    EXPECT_EQ(m_script->MessageBoxes()[0].type, MB_ICONEXCLAMATION | MB_OK);
}

TEST_F(MainWindowTest, EscapeLeavesTheWindowOpenAndTheCloseBoxEndsItLikeExit) {
    bool openAfterEscape = false;
    const INT_PTR result = RunWindow([&](TestableScanDlg& window) {
        PressKey(window, Qt::Key_Escape);
        openAfterEscape = window.IsModalRunning() != FALSE;
        window.GetWidget()->close();
    });
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(result, IDOK);
    // The window is gone: the callback finds nothing to post to.
    CScanDlg::ModuleEventCallback(ZEVA_EVENT_RESPONSE);
    PumpEvents();
}

TEST_F(MainWindowTest, MinimizedWindowShowsTheCentredIconAndDragsWithIt) {
    RunWindow([&](TestableScanDlg& window) {
        EXPECT_EQ(reinterpret_cast<HICON>(window.SendMessage(WM_QUERYDRAGICON)), window.Icon());
        window.ShowWindow(SW_MINIMIZE);
        PumpEvents();
        ASSERT_TRUE(window.IsIconic());
        QWidget* widget = window.GetWidget();
        // What the window paints itself (its controls would cover the middle).
        QImage picture(widget->size(), QImage::Format_ARGB32);
        picture.fill(Qt::black);
        widget->render(&picture, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        const QImage icon = IconFromHandle(window.Icon()).pixmap(32, 32).toImage();
        const int x = (widget->width() - 32 + 1) / 2;
        const int y = (widget->height() - 32 + 1) / 2;
        EXPECT_EQ(picture.pixelColor(x + 16, y + 16).rgb(), icon.pixelColor(16, 16).rgb());
        EXPECT_EQ(picture.pixelColor(x + 3, y + 3).rgb(), icon.pixelColor(3, 3).rgb());
        window.ShowWindow(SW_RESTORE);
        PumpEvents();
    });
}

TEST_F(MainWindowTest, ResizingStretchesTheTableAndKeepsTheButtonsOnTheBottomEdge) {
    RunWindow([&](TestableScanDlg& window) {
        auto placeOf = [&window](int id) {
            CRect rect;
            window.GetDlgItem(id)->GetWindowRect(&rect);
            window.ScreenToClient(&rect);
            return rect;
        };
        const CRect list = placeOf(IDC_MODULE_LIST);
        const CRect scan = placeOf(IDC_SCAN);
        const CRect advanced = placeOf(IDC_ADVANCED_OPTIONS);
        CRect before;
        window.GetWindowRect(&before);
        window.MoveWindow(before.left, before.top, before.Width() + 100, before.Height() + 40);
        PumpEvents();
        EXPECT_EQ(placeOf(IDC_MODULE_LIST),
                  CRect(list.left, list.top, list.right + 100, list.bottom + 40));
        EXPECT_EQ(placeOf(IDC_SCAN),
                  CRect(scan.left + 100, scan.top + 40, scan.right + 100, scan.bottom + 40));
        EXPECT_EQ(placeOf(IDC_ADVANCED_OPTIONS),
                  CRect(advanced.left, advanced.top + 40, advanced.right, advanced.bottom + 40));

        // The minimum window size, from the edge being dragged.
        RECT leftDrag{300, 100, 400, 150};
        window.SendMessage(WM_SIZING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&leftDrag));
        EXPECT_EQ(CRect(leftDrag), CRect(206, 100, 400, 230));
        RECT cornerDrag{300, 100, 350, 120};
        window.SendMessage(WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&cornerDrag));
        EXPECT_EQ(CRect(cornerDrag), CRect(156, -10, 350, 120));
        RECT bottomRight{300, 100, 350, 120};
        window.SendMessage(WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&bottomRight));
        EXPECT_EQ(CRect(bottomRight), CRect(300, 100, 494, 230));
    });
}

TEST_F(MainWindowTest, EnterOutsideAButtonRunsTheFirstDefaultButtonScan) {
    RunWindow([&](TestableScanDlg& window) {
        EXPECT_EQ(window.GetDefaultId(), IDC_SCAN);
        window.ModuleList().SetFocus();
        PressKey(window, Qt::Key_Return);
        EXPECT_EQ(window.ModuleList().GetItemCount(), 0) << "Scan emptied the table";
        EXPECT_TRUE(WaitForRows(window, 3));
    });
}

TEST_F(MainWindowTest, TheWindowCannotBeMadeSmallerThanItsMinimumSize) {
    RunWindow([&](TestableScanDlg& window) {
        QWidget* widget = window.GetWidget();
        // Wider than 194 pixels: Advanced Options (15 + 113), a 15-pixel gap, Scan, its gap and
        // Exit (75 + 15 + 75 + 17) stay whole; 130 pixels high is room enough for them.
        const QSize frame = widget->frameGeometry().size() - widget->size();
        EXPECT_EQ(widget->minimumSize(), QSize(325, 130 - frame.height()));
        window.MoveWindow(0, 0, 120, 90);
        PumpEvents();
        CRect rect;
        window.GetWindowRect(&rect);
        EXPECT_EQ(rect.Width(), 325 + frame.width());
        EXPECT_EQ(rect.Height(), 130);
    });
}

TEST_F(MainWindowTest, TheAboutItemAndAdvancedOptionsOpenTheirDialogsOverTheWindow) {
    RunWindow([&](TestableScanDlg& window) {
        window.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        EXPECT_TRUE(PressButton(window, IDC_ADVANCED_OPTIONS));  // left open: ends as Cancel
        EXPECT_FALSE(window.m_dhcpServer.IsEnabled()) << "Cancel switches nothing on";
        EXPECT_TRUE(window.IsModalRunning());
    });
    ASSERT_EQ(m_script->Dialogs().size(), 3U);
    EXPECT_EQ(m_script->Dialogs()[0].templateId, static_cast<UINT>(IDD_ABOUTBOX));
    EXPECT_EQ(m_script->Dialogs()[0].caption, "About Ordvane");
    EXPECT_EQ(m_script->Dialogs()[1].templateId, static_cast<UINT>(IDD_ADVANCED_SETTINGS));
    EXPECT_EQ(m_script->Dialogs()[1].result, IDCANCEL);
    EXPECT_EQ(m_script->Dialogs()[2].templateId, static_cast<UINT>(IDD_ORDVANE_DIALOG));
}

// When nothing answered, the caption says so and names where the scan went.
TEST_F(MainWindowTest, TheCaptionNamesWhereTheScanWentWhenNothingAnswered) {
    // UDP port 9 (discard) on loopback: nothing answers there.
    ordvane::testing::PointLibraryAt(9);
    m_fleetRows = 0;
    RunWindow([&](TestableScanDlg& window) {
        const std::string expected = "Ordvane v1.5.0 - no module answered on 127.0.0.1:9";
        CString caption;
        EXPECT_TRUE(PumpEventsUntil(
            [&] {
                window.GetWindowText(caption);
                return caption == expected.c_str();
            },
            2 * kScanMilliseconds))
            << caption.Str();
    });
}

// Version and Type fit their texts after the first scan; a rescan keeps the selected module
// selected; column widths, sort and the window's size come back at the next start.
TEST_F(MainWindowTest, TheWindowKeepsItsSelectionColumnsSortAndSize) {
    const char* const longType = "QM-240 Fieldbus Gateway Extended";
    m_script.reset();
    m_sim.reset();
    StartFleet(std::string("mac,service,type,ip,mask,gateway,dhcp,hostname,hashed,password\n"
                           "0A-51-4D-00-00-01,2.0,QM-100,10.0.0.9,255.255.255.0,10.0.0.254,0,a,0,\n"
                           "0A-51-4D-00-00-02,2.0,") +
                   longType + ",10.0.0.10,255.255.255.0,10.0.0.254,0,b,0,\n",
               2);
    RunWindow([&](TestableScanDlg& window) {
        ordvane::CModuleListCtrl& list = window.ModuleList();
        const QFontMetrics metrics(list.GetWidget()->font());
        EXPECT_GT(list.GetColumnWidth(ordvane::kColumnType), metrics.horizontalAdvance(longType));

        list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        const CString selectedMac = list.GetItemText(1, ordvane::kColumnMac);
        EXPECT_TRUE(PressButton(window, IDC_SCAN));
        ASSERT_TRUE(WaitForRows(window, 2));
        ASSERT_EQ(list.GetSelectedRow(), 1);
        EXPECT_EQ(list.GetItemText(1, ordvane::kColumnMac), selectedMac);

        list.SetColumnWidth(ordvane::kColumnIp, 123);
        list.SortColumn(ordvane::kColumnType, FALSE);
        window.MoveWindow(40, 30, 700, 300);
    });
    RunWindow([&](TestableScanDlg& window) {
        ordvane::CModuleListCtrl& list = window.ModuleList();
        EXPECT_EQ(list.GetColumnWidth(ordvane::kColumnIp), 123);
        EXPECT_EQ(list.GetSortColumn(), ordvane::kColumnType);
        EXPECT_FALSE(list.IsSortAscending());
        EXPECT_EQ(RowText(list, 0, ordvane::kColumnType), longType);
        CRect rect;
        window.GetWindowRect(&rect);
        EXPECT_EQ(rect.Width(), 700);
        EXPECT_EQ(rect.Height(), 300);
    });
}
