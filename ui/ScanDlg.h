#pragma once
// The main window: a resizable modal dialog (template 102) with the module table and the
// command buttons. It starts the module-service library, sends the first scan, turns the
// library's events into table updates and warnings, and hands the commands on.

#include <atomic>
#include <cstdint>

#include "dhcp/CDhcpServer.h"
#include "dhcp/CRecoveryDhcpServer.h"
#include "modlist/CModuleListCtrl.h"
#include "platform/framework/Afx.h"
#include "ui/MainWindowLayout.h"

// Posted by the library's callback: wParam 0, lParam the library's event code.
inline constexpr UINT WM_MODULE_EVENT = WM_USER + 1;
// Posted to itself once the table's size changed, so that a burst of answers renames the
// caption once.
inline constexpr UINT WM_SHOW_MODULE_COUNT = WM_USER + 0x13;

// Shown when the library refuses a configure or wink because two devices answered for the MAC.
inline constexpr const char* kPasswordDowngradeMessage =
    "Nothing was sent: this module asked for hashed passwords before and now asks for its "
    "password in plain text. Another device may be answering in its name.";
inline constexpr const char* kMacClaimedTwiceMessage =
    "Two devices claim this module's MAC address, so nothing was sent. Remove the other device "
    "and scan again.";

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

    // The recovery DHCP server with its switch and worker; it stops its worker itself before
    // it goes away, so its place among the members does not matter.
    CRecoveryDhcpServer m_dhcpServer;

protected:
    CButton m_winkButton;
    CButton m_advancedButton;
    CModuleListCtrl m_moduleList;
    HICON m_hIcon;
    // The controls' places captured from the template, applied on every size change.
    ordvane::MainWindowLayout m_layout;

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

    // Captures the controls' places from the template once, then keeps the table stretched and
    // the buttons anchored to the bottom edge on every size change.
    void LayoutControls(ordvane::LayoutMode mode);

    DECLARE_MESSAGE_MAP()

private:
    void ShowAboutBox();
    // Drops the head of the library's invalid-password queue when it is the module that was sent
    // the last configure request; true when it did.
    bool RemoveQueuedMacIfLastConfigured();
    void ScheduleModuleCount();

    // "Ordvane v1.4.0", to which the caption adds the number of modules listed.
    CString m_captionTitle;
    bool m_moduleCountScheduled = false;
};
