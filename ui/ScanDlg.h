#pragma once
// The main window: a resizable modal dialog (template 102) with the module table and the
// command buttons. It starts the module-service library, sends the first scan, turns the
// library's events into table updates and warnings, and hands the commands on.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dhcp/CDhcpServer.h"
#include "dhcp/CRecoveryDhcpServer.h"
#include "dhcp/RecoveryFlow.h"
#include "modlist/CModuleListCtrl.h"
#include "platform/framework/Afx.h"
#include "ui/ConfigureCommand.h"
#include "ui/MainWindowLayout.h"

// Posted by the library's callback: wParam 0, lParam the library's event code.
inline constexpr UINT WM_MODULE_EVENT = WM_USER + 1;
// Posted to itself once the table's size changed, so that a burst of answers renames the
// caption once.
inline constexpr UINT WM_SHOW_MODULE_COUNT = WM_USER + 0x13;
// Posted to itself when a scan's answers are due (wParam the scan's number), so that the
// caption stops saying that it scans.
inline constexpr UINT WM_SCAN_DUE = WM_USER + 0x14;
// How long after a scan request the caption says that the scan runs: as long as the command
// line's scan listens by default.
inline constexpr int kScanMilliseconds = 3000;
// Posted by the recovery server's worker, once per link and kind, when it finds another DHCP
// server on a link (wParam 0) or sends a lease out of a card without an IPv4 address (wParam
// 1); lParam is the interface's index.
inline constexpr UINT WM_DHCP_SERVER_NOTICE = WM_USER + 0x15;

// Shown when the library refuses a configure or wink because two devices answered for the MAC.
inline constexpr const char* kPasswordDowngradeMessage =
    "Nothing was sent: this module asked for hashed passwords before and now asks for its "
    "password in plain text. Another device may be answering in its name.";
inline constexpr const char* kMacClaimedTwiceMessage =
    "Two devices claim this module's MAC address, so nothing was sent. Remove the other device "
    "and scan again.";

class QTimer;

namespace ordvane {

class CScanDlg : public CDialog {
public:
    explicit CScanDlg(CWnd* parent = nullptr);
    ~CScanDlg() override;

    // The library's callback: posts WM_MODULE_EVENT to the main window, from any thread; posts
    // nothing when no main window exists (before its start, after its destruction).
    static void ModuleEventCallback(int eventCode);

    // The caption's version: ProductVersion without blanks, ',' as '.', up to its last '.'
    // ("1, 4, 0, 0" gives 1.4.0; a text without '.' gives nothing).
    static CString CaptionVersion(const CString& productVersion);

    // Whether the table's row is a module in DHCP mode that has no address to be reached at:
    // DHCP "On" with the IP "N/A" (not reported), 0.0.0.0 (no lease yet) or 169.254.x.x (a
    // client's own link-local fallback when no server answered). Such a row offers "Recover
    // this module".
    static bool RowNeedsRecovery(const CListCtrl& moduleList, int row);

    // The recovery DHCP server with its switch and worker; it stops its worker itself before
    // it goes away, so its place among the members does not matter.
    CRecoveryDhcpServer m_dhcpServer;

protected:
    CButton m_winkButton;
    CButton m_advancedButton;
    CModuleListCtrl m_moduleList;
    HICON m_hIcon;
    // The controls' places captured from the template, applied on every size change.
    MainWindowLayout m_layout;

    void DoDataExchange(CDataExchange* dataExchange) override;
    BOOL OnInitDialog() override;
    // Escape never closes the main window.
    void OnCancel() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnScan();
    void OnSize(UINT type, int cx, int cy);
    void OnSizing(UINT side, LPRECT rect);
    void OnAdvancedOptions();
    void OnWink();
    void OnFile();
    void OnDestroy();
    LRESULT OnModuleEvent(WPARAM wParam, LPARAM lParam);
    // F1: the About box.
    LRESULT OnHelp(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowModuleCount(WPARAM wParam, LPARAM lParam);
    LRESULT OnScanDue(WPARAM wParam, LPARAM lParam);
    // The module table's menu: right click, the Menu key or Shift+F10 on the table. Elsewhere
    // the window's own menu.
    void OnContextMenu(CWnd* window, CPoint point);
    void OnModuleConfigure();
    void OnModuleCopy();
    void OnModuleAbout();
    // "Recover this module": serves DHCP for the selected row's MAC only, asks for the static
    // values once the module answers at its recovery address, configures and verifies it.
    void OnModuleRecover();
    // The recovery server's link notice as a warning box.
    LRESULT OnDhcpServerNotice(WPARAM wParam, LPARAM lParam);

    // Captures the controls' places from the template once, then keeps the table stretched and
    // the buttons anchored to the bottom edge on every size change.
    void LayoutControls(LayoutMode mode);

    DECLARE_MESSAGE_MAP()

private:
    void ShowAboutBox();
    // Drops the head of the library's invalid-password queue when it is the module that was sent
    // the last configure request; true when it did.
    bool RemoveQueuedMacIfLastConfigured();
    void ScheduleModuleCount();
    // Empties the table and sends a scan; the caption says so until its answers are due.
    void StartScan();

    // The Configure command from the table; keeps what was typed for a second try.
    void ConfigureAt(CPoint point, const TypedConfiguration* typed);
    // After "Invalid password" or no answer to a configure: the dialog again for that module,
    // with what the user typed except the passwords.
    void ReopenConfiguration();

    // The table's headings in the user's language; a copied table keeps the English ones,
    // which plan files name their columns by.
    void TranslateColumnHeadings();
    // Restores the table's columns, sort and the window's place from the last run.
    void RestoreSettings();
    void SaveSettings();
    // Sizes Version and Type to their texts while the first scan fills the table, unless the
    // user's widths were kept from the last run.
    void FitColumnsAtFirstFill();
    // After a rescan, selects the row of the module that was selected before, once it answers.
    void ReselectIfAnswered(const ModuleRecord& response);

    // One turn of a running recovery: does what the flow asks, and ends it once finished.
    void PollRecovery();
    // Tells the user how the recovery ended and gives the server back its state from before.
    void EndRecovery();
    // Feeds a library event to a running recovery; true when the event was the recovery's own
    // and needs no further handling.
    bool FeedRecoveryEvent(long eventCode);

    // The running recovery, its ~100 ms clock (a child of the window's widget), whether the
    // server was on for every module before, and a guard against a turn inside a turn while a
    // dialog or message box of the recovery is open.
    std::unique_ptr<RecoveryFlow> m_recovery;
    QTimer* m_recoveryTimer = nullptr;
    bool m_serverWasOn = false;
    bool m_recoveryTurn = false;

    bool m_columnsFitted = false;
    std::optional<MacAddress> m_reselectMac;
    // What the user typed in the last configure sent, passwords excepted.
    std::optional<TypedConfiguration> m_lastTyped;
    // "Ordvane v1.4.0", to which the caption adds the number of modules listed.
    CString m_captionTitle;
    bool m_moduleCountScheduled = false;
    // The number of the last scan sent, whether its answers are still due, and where it went:
    // the cards and the extra targets, named when nothing answered.
    WPARAM m_scanNumber = 0;
    bool m_scanRunning = false;
    std::string m_scanDestinations;
};

}  // namespace ordvane
