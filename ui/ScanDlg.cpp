#include "ui/ScanDlg.h"

#include <cstdlib>
#include <string>

#include "app/DllVersion.h"
#include "config/ConfigureCommand.h"
#include "config/KnownModules.h"
#include "config/WinkCommand.h"
#include "modlist/ModuleColumns.h"
#include "modsvc/ModuleService.h"
#include "platform/GetTickCount.h"
#include "res/ids/Resource.h"
#include "res/strings/ProgramTitle.h"
#include "ui/AboutDlg.h"
#include "ui/AdvancedOptionsCommand.h"
#include "ui/MainWindowLayoutControls.h"
#include "ui/ModuleListCopy.h"
#include "ui/NoAnswerMessage.h"
#include "version/CVFXVersionInfo.h"
#include "version/CVFXVersionRecord.h"

namespace {

// The main window that the library's callback posts to. A window handle is a serial number
// that is never reused, so a post that races with the window's end is simply dropped.
std::atomic<HWND> g_moduleEventWindow{nullptr};

}  // namespace

BEGIN_MESSAGE_MAP(CScanDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_SCAN, OnScan)
ON_WM_SIZE()
ON_WM_SIZING()
ON_BN_CLICKED(IDC_ADVANCED_OPTIONS, OnAdvancedOptions)
ON_BN_CLICKED(IDC_WINK, OnWink)
ON_BN_CLICKED(IDC_FILE, OnFile)
ON_MESSAGE(WM_MODULE_EVENT, OnModuleEvent)
ON_MESSAGE(WM_HELP, OnHelp)
ON_MESSAGE(WM_SHOW_MODULE_COUNT, OnShowModuleCount)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CScanDlg::CScanDlg(CWnd* parent)
    : CDialog(IDD_ORDVANE_DIALOG, parent),
      m_hIcon(LoadIconResource(IDR_MAINFRAME, GetSystemMetrics(SM_CXICON))) {}

CScanDlg::~CScanDlg() {
    // Whatever path ended the window, the callback must not find it any more.
    HWND self = m_hWnd;
    g_moduleEventWindow.compare_exchange_strong(self, nullptr);
}

void CScanDlg::ModuleEventCallback(int eventCode) {
    if (HWND window = g_moduleEventWindow.load()) {
        ::PostMessage(window, WM_MODULE_EVENT, 0, static_cast<LPARAM>(eventCode));
    }
}

void CScanDlg::DoDataExchange(CDataExchange* dataExchange) {
    CDialog::DoDataExchange(dataExchange);
    DDX_Control(dataExchange, IDC_WINK, m_winkButton);
    DDX_Control(dataExchange, IDC_ADVANCED_OPTIONS, m_advancedButton);
    DDX_Control(dataExchange, IDC_MODULE_LIST, m_moduleList);
}

CString CScanDlg::CaptionVersion(const CString& productVersion) {
    CString version = productVersion;
    version.Remove(' ');
    version.Replace(',', '.');
    const int lastDot = version.ReverseFind('.');
    return lastDot >= 0 ? version.Left(lastDot) : CString();
}

BOOL CScanDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        CString aboutMenu;
        if (AfxLoadString(IDS_ABOUTBOX, aboutMenu) && !aboutMenu.IsEmpty()) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(static_cast<HICON>(LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME),
                                         IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR | LR_SHARED)),
            FALSE);

    // The reader keeps the thread in its language's locale until OnInitDialog returns, so the
    // library check, its message and the library's start all run under it.
    CVFXVersionRecord versionRecord;
    CVFXVersionInfo versionInfo(1200, 1033);
    const bool versionRead = versionInfo.Read(versionRecord, nullptr);

    std::srand(GetTickCount());

    const CString version =
        versionRead ? CaptionVersion(versionRecord.m_strProductVersion) : CString();
    CString caption;
    caption.Format("%s v%s", kProgramTitle, static_cast<LPCSTR>(version));
    SetWindowText(caption);
    m_captionTitle = caption;

    m_winkButton.EnableWindow(FALSE);
    m_winkButton.ShowWindow(SW_HIDE);

    CDllVersion libraryVersion;
    if (!libraryVersion.IsLoadedZevaAccepted()) {
        MessageBox("Incorrect DLL version", "Warning", MB_ICONEXCLAMATION | MB_OK);
        CDialog::OnCancel();
        return TRUE;
    }

    LayoutControls(ordvane::LayoutMode::Capture);
    LayoutControls(ordvane::LayoutMode::Apply);
    ApplyMinimumWindowSize(*this);

    m_moduleList.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    m_moduleList.CreateColumns(ordvane::kModuleColumnList);
    m_moduleList.SetDoubleClickCommand(RunConfigureCommand);
    ordvane::InstallModuleListCopy(m_moduleList, ordvane::kModuleColumnList);

    g_moduleEventWindow.store(m_hWnd);
    ZEVA_RegisterCallBack(&CScanDlg::ModuleEventCallback);
    ZEVA_Start();
    m_moduleList.ClearModules();
    ScheduleModuleCount();
    ZEVA_SendModuleScan();

    m_dhcpServer.SetEnabled(false);
    return TRUE;
}

void CScanDlg::OnCancel() {}

void CScanDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        ShowAboutBox();
    } else if (id == SC_CLOSE) {
        OnOK();
    } else {
        CDialog::OnSysCommand(id, lParam);
    }
}

void CScanDlg::ShowAboutBox() {
    CAboutDlg aboutDialog;
    aboutDialog.DoModal();
}

void CScanDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    CRect client;
    GetClientRect(&client);
    const int x = (client.Width() - iconWidth + 1) / 2;
    const int y = (client.Height() - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CScanDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void CScanDlg::OnScan() {
    // What the last scan taught goes to the file shared with the command line; a failure only
    // costs the memory across runs.
    std::string error;
    ordvane::SaveProgramKnownModules(error);
    m_moduleList.ClearModules();
    ScheduleModuleCount();
    ZEVA_SendModuleScan();
}

LRESULT CScanDlg::OnHelp(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    ShowAboutBox();
    return TRUE;
}

void CScanDlg::ScheduleModuleCount() {
    if (!m_moduleCountScheduled) {
        m_moduleCountScheduled = true;
        PostMessage(WM_SHOW_MODULE_COUNT);
    }
}

LRESULT CScanDlg::OnShowModuleCount(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    m_moduleCountScheduled = false;
    const int rows = m_moduleList.GetItemCount();
    CString caption;
    caption.Format("%s - %d %s", static_cast<LPCSTR>(m_captionTitle), rows,
                   rows == 1 ? "module" : "modules");
    SetWindowText(caption);
    return 0;
}

void CScanDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    if (GetWindow(GW_CHILD) != nullptr) {
        LayoutControls(ordvane::LayoutMode::Apply);
    }
    // A window manager's frame is known only once the window is shown.
    ApplyMinimumWindowSize(*this);
}

void CScanDlg::OnSizing(UINT side, LPRECT rect) {
    CDialog::OnSizing(side, rect);
    ClampSizing(side, rect);
}

void CScanDlg::LayoutControls(ordvane::LayoutMode mode) {
    LayoutMainWindowControls(*this, m_layout, mode);
}

void CScanDlg::OnAdvancedOptions() {
    RunAdvancedOptions(m_dhcpServer);
    ShowDhcpServerState(*this, m_dhcpServer.IsEnabled());
}

void CScanDlg::OnWink() {
    RunWinkCommand(m_moduleList);
}

void CScanDlg::OnFile() {}

void CScanDlg::OnDestroy() {
    // From here on the callback posts nothing, and the recovery server's worker ends before
    // any of the window's members go away.
    g_moduleEventWindow.store(nullptr);
    m_dhcpServer.SetEnabled(false);
    std::string error;
    ordvane::SaveProgramKnownModules(error);
    CDialog::OnDestroy();
}

bool CScanDlg::RemoveQueuedMacIfLastConfigured() {
    BYTE queuedMac[6] = {};
    if (ZEVA_GetInvPswdMacId(queuedMac) != 1 || !m_moduleList.MatchesConfiguredMac(queuedMac)) {
        return false;
    }
    ZEVA_RemoveFirstInvPswdMacId();
    return true;
}

LRESULT CScanDlg::OnModuleEvent(WPARAM /*wParam*/, LPARAM lParam) {
    switch (lParam) {
        case ZEVA_EVENT_RESPONSE: {
            ZEVA_ModuleScanResponseType response{};
            if (ZEVA_GetResponse(&response) == 0) {
                return 0;
            }
            ordvane::ProgramKnownModules().Remember(response);
            m_moduleList.AddModule(response);
            ScheduleModuleCount();
            return 0;
        }
        case ZEVA_EVENT_RESCAN:
            RemoveQueuedMacIfLastConfigured();
            m_moduleList.ClearModules();
            ScheduleModuleCount();
            ZEVA_SendModuleScan();
            return 0;
        case ZEVA_EVENT_INVALID_PASSWORD:
            if (RemoveQueuedMacIfLastConfigured()) {
                MessageBox("Invalid password", "Warning", MB_ICONEXCLAMATION | MB_OK);
            }
            return 0;
        case ZEVA_EVENT_MAC_CONFLICT:
            // The library sent nothing: a second device answers in that module's name.
            MessageBox(kMacClaimedTwiceMessage, "Warning", MB_ICONEXCLAMATION | MB_OK);
            return 0;
        case ZEVA_EVENT_PASSWORD_DOWNGRADE:
            MessageBox(kPasswordDowngradeMessage, "Warning", MB_ICONEXCLAMATION | MB_OK);
            return 0;
        case ZEVA_EVENT_NO_ANSWER:
            MessageBox(ordvane::NoAnswerMessage(m_moduleList).c_str(), "Warning",
                       MB_ICONEXCLAMATION | MB_OK);
            return 0;
        default:
            return 0;
    }
}
