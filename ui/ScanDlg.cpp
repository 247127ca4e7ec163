#include "ui/ScanDlg.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/DllVersion.h"
#include "config/KnownModules.h"
#include "modlist/ModuleColumns.h"
#include "modsvc/ModuleRecord.h"
#include "modsvc/ModuleService.h"
#include "platform/AddressText.h"
#include "platform/GetTickCount.h"
#include "platform/framework/Accessibility.h"
#include "platform/framework/Translate.h"
#include "res/ids/Resource.h"
#include "res/strings/ProgramTitle.h"
#include "ui/AboutDlg.h"
#include "ui/AdvancedOptionsCommand.h"
#include "ui/MainWindowLayoutControls.h"
#include "ui/MainWindowSettings.h"
#include "ui/ModuleListCopy.h"
#include "ui/NoAnswerMessage.h"
#include "ui/RecoveryFailureText.h"
#include "ui/WinkCommand.h"
#include "version/CVFXVersionInfo.h"
#include "version/CVFXVersionRecord.h"
#include "zeva/ScanDestinations.h"

namespace ordvane {

namespace {

// The main window that the library's callback posts to. A window handle is a serial number
// that is never reused, so a post that races with the window's end is simply dropped.
std::atomic<HWND> g_moduleEventWindow{nullptr};

// How often a running recovery looks at its clock, and how long it may take.
constexpr int kRecoveryTurnMilliseconds = 100;
constexpr std::chrono::seconds kRecoveryLimit{120};

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
ON_MESSAGE(WM_SCAN_DUE, OnScanDue)
ON_MESSAGE(WM_DHCP_SERVER_NOTICE, OnDhcpServerNotice)
ON_WM_DESTROY()
ON_WM_CONTEXTMENU()
ON_COMMAND(ID_MODULE_CONFIGURE, OnModuleConfigure)
ON_COMMAND(ID_MODULE_WINK, OnWink)
ON_COMMAND(ID_MODULE_COPY, OnModuleCopy)
ON_COMMAND(ID_MODULE_ABOUT, OnModuleAbout)
ON_COMMAND(ID_MODULE_RECOVER, OnModuleRecover)
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
        MessageBox(translate("CScanDlg", "Incorrect DLL version"), translate("CScanDlg", "Warning"),
                   MB_ICONEXCLAMATION | MB_OK);
        CDialog::OnCancel();
        return TRUE;
    }

    LayoutControls(LayoutMode::kCapture);
    LayoutControls(LayoutMode::kApply);
    ApplyMinimumWindowSize(*this, m_layout);

    m_moduleList.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    m_moduleList.CreateColumns(kModuleColumnList);
    TranslateColumnHeadings();
    m_moduleList.SetDoubleClickCommand(
        [this](CModuleListCtrl& /*list*/, CPoint point) { ConfigureAt(point, nullptr); });
    InstallModuleListCopy(m_moduleList, kModuleColumnList);
    RestoreSettings();
    framework::SetAccessibleText(m_moduleList, translate("CScanDlg", "Modules"));
    framework::SetColumnDescription(m_moduleList, kColumnSubnetMask,
                                    translate("CScanDlg", "Subnet mask"));
    framework::SetColumnDescription(m_moduleList, kColumnGateway,
                                    translate("CScanDlg", "Default gateway"));

    g_moduleEventWindow.store(m_hWnd);
    ZEVA_RegisterCallBack(&CScanDlg::ModuleEventCallback);
    if (ZEVA_Start() != 0) {
        StartScan();
    } else {
        // Without its socket the library can neither scan nor configure: say so instead of
        // showing an empty table as if no module had answered.
        MessageBox(translate("CScanDlg", "The module service did not start."),
                   translate("CScanDlg", "Warning"), MB_ICONHAND | MB_OK);
    }

    m_dhcpServer.SwitchOff();
    // The worker ends before the window goes away (OnDestroy), so it may post to it.
    HWND self = m_hWnd;
    m_dhcpServer.Server().SetNoticeSink([self](const CDhcpServer::LinkNotice& notice) {
        ::PostMessage(self, WM_DHCP_SERVER_NOTICE, static_cast<WPARAM>(notice.kind),
                      static_cast<LPARAM>(notice.interfaceIndex));
    });
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
    StartScan();
}

void CScanDlg::StartScan() {
    const ModuleRecord* selected = m_moduleList.GetRowModule(m_moduleList.GetSelectedRow());
    if (selected != nullptr) {
        m_reselectMac = selected->AddressingMac();
    } else {
        m_reselectMac.reset();
    }
    // What the last scan taught goes to the file shared with the command line; a failure only
    // costs the memory across runs.
    static_cast<void>(SaveProgramKnownModules());
    m_moduleList.ClearModules();
    m_scanRunning = true;
    const WPARAM number = ++m_scanNumber;
    // Read as the library reads them for this scan.
    std::string destinations;
    for (const auto& card : zeva::CollectScanInterfaces().scanned) {
        destinations += (destinations.empty() ? "" : ", ") + card.name;
    }
    if (const char* targets = std::getenv("ZEVA_TARGETS"); targets != nullptr && *targets != 0) {
        destinations += (destinations.empty() ? "" : ", ") + std::string(targets);
    }
    m_scanDestinations = destinations;
    ScheduleModuleCount();
    ZEVA_SendModuleScan();
    const HWND self = m_hWnd;
    QTimer::singleShot(kScanMilliseconds, GetWidget(),
                       [self, number] { ::PostMessage(self, WM_SCAN_DUE, number, 0); });
}

LRESULT CScanDlg::OnScanDue(WPARAM wParam, LPARAM /*lParam*/) {
    if (wParam == m_scanNumber) {
        m_scanRunning = false;
        ScheduleModuleCount();
    }
    return 0;
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
    FitColumnsAtFirstFill();
    const std::string title = m_captionTitle.Str();
    CString caption;
    if (m_scanRunning) {
        caption =
            FillIn(translate("CScanDlg", "%1 - scanning, %n module(s)", nullptr, rows), {title});
    } else if (rows > 0) {
        caption = FillIn(translate("CScanDlg", "%1 - %n module(s)", nullptr, rows), {title});
    } else if (m_scanDestinations.empty()) {
        caption = FillIn(translate("CScanDlg", "%1 - no network card to scan on"), {title});
    } else {
        caption = FillIn(translate("CScanDlg", "%1 - no module answered on %2"),
                         {title, m_scanDestinations});
    }
    SetWindowText(caption);
    // While the server answers on the network, the caption keeps saying so.
    ShowDhcpServerState(*this, m_dhcpServer.IsEnabled());
    return 0;
}

LRESULT CScanDlg::OnDhcpServerNotice(WPARAM kind, LPARAM interfaceIndex) {
    const int index = static_cast<int>(interfaceIndex);
    const std::string text =
        kind == static_cast<WPARAM>(CDhcpServer::LinkNotice::Kind::kOtherServer)
            ? OtherDhcpServerWarning(m_dhcpServer.Server().CurrentActivity().otherServer, index)
            : CardWithoutAddressWarning(index);
    MessageBox(text.c_str(), translate("CScanDlg", "Warning"), MB_ICONEXCLAMATION | MB_OK);
    return 0;
}

void CScanDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    if (GetWindow(GW_CHILD) != nullptr) {
        LayoutControls(LayoutMode::kApply);
    }
    // A window manager's frame is known only once the window is shown.
    ApplyMinimumWindowSize(*this, m_layout);
}

void CScanDlg::OnSizing(UINT side, LPRECT rect) {
    CDialog::OnSizing(side, rect);
    ClampSizing(side, rect);
}

void CScanDlg::LayoutControls(LayoutMode mode) {
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

void CScanDlg::OnContextMenu(CWnd* window, CPoint point) {
    if (window == nullptr || window->GetSafeHwnd() != m_moduleList.GetSafeHwnd()) {
        CDialog::OnContextMenu(window, point);
        return;
    }
    const int row = m_moduleList.GetSelectedRow();
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: below the selected row, else at the table's corner.
        RECT rect{};
        point = CPoint(0, 0);
        if (row >= 0 && m_moduleList.EnsureVisible(row, FALSE) &&
            m_moduleList.GetItemRect(row, &rect, 0)) {
            point = CPoint(rect.left + (rect.bottom - rect.top), rect.bottom);
        }
        m_moduleList.ClientToScreen(&point);
    }
    const UINT rowCommand = row >= 0 ? MF_STRING : MF_STRING | MF_GRAYED;
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(rowCommand, ID_MODULE_CONFIGURE, translate("CScanDlg", "&Configure..."));
    menu.AppendMenu(rowCommand, ID_MODULE_WINK, translate("CScanDlg", "&Wink"));
    if (row >= 0 && RowNeedsRecovery(m_moduleList, row)) {
        menu.AppendMenu(m_recovery ? MF_STRING | MF_GRAYED : MF_STRING, ID_MODULE_RECOVER,
                        translate("CScanDlg", "&Recover this module"));
    }
    menu.AppendMenu(MF_STRING, ID_MODULE_COPY, translate("CScanDlg", "C&opy\tCtrl+C"));
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, ID_MODULE_ABOUT, translate("CScanDlg", "&About..."));
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CScanDlg::OnModuleConfigure() {
    m_moduleList.RunDoubleClickCommandOnRow(m_moduleList.GetSelectedRow());
}

void CScanDlg::ConfigureAt(CPoint point, const TypedConfiguration* typed) {
    std::optional<TypedConfiguration> sent =
        RunConfigureCommandKeepingTyped(m_moduleList, point, typed);
    if (sent) {
        m_lastTyped = std::move(sent);
    }
}

void CScanDlg::ReopenConfiguration() {
    if (!m_lastTyped) {
        return;
    }
    // The copy stays valid while the dialog replaces m_lastTyped with the new try.
    const TypedConfiguration typed = *m_lastTyped;
    for (int row = 0; row < m_moduleList.GetItemCount(); ++row) {
        const ModuleRecord* module = m_moduleList.GetRowModule(row);
        if (module != nullptr && module->mac == typed.mac) {
            RECT rect{};
            if (m_moduleList.EnsureVisible(row, FALSE) && m_moduleList.GetItemRect(row, &rect, 0)) {
                ConfigureAt(CPoint(rect.left, (rect.top + rect.bottom) / 2), &typed);
            }
            return;
        }
    }
}

void CScanDlg::TranslateColumnHeadings() {
    CHeaderCtrl* header = m_moduleList.GetHeaderCtrl();
    for (int column = 0; header != nullptr && column < m_moduleList.GetColumnCount(); ++column) {
        char heading[64] = {};
        HDITEM item{HDI_TEXT, 0, heading, static_cast<int>(sizeof heading), 0, 0};
        if (!header->GetItem(column, &item)) {
            continue;
        }
        CString shown = translate("ModuleColumns", heading);
        std::string text = shown.Str();
        item.pszText = text.data();
        header->SetItem(column, &item);
    }
}

void CScanDlg::RestoreSettings() {
    const int columns = m_moduleList.GetColumnCount();
    const MainWindowSettings kept = LoadMainWindowSettings(columns);
    if (!kept.columnWidths.empty()) {
        for (int column = 0; column < columns; ++column) {
            m_moduleList.SetColumnWidth(column,
                                        kept.columnWidths[static_cast<std::size_t>(column)]);
        }
        m_columnsFitted = true;
    }
    if (kept.sortColumn) {
        m_moduleList.SortColumn(*kept.sortColumn, kept.sortAscending ? TRUE : FALSE);
    }
    if (!kept.geometry.isEmpty()) {
        GetWidget()->restoreGeometry(kept.geometry);
    }
}

void CScanDlg::SaveSettings() {
    MainWindowSettings kept;
    for (int column = 0; column < m_moduleList.GetColumnCount(); ++column) {
        kept.columnWidths.push_back(m_moduleList.GetColumnWidth(column));
    }
    kept.sortColumn = m_moduleList.GetSortColumn();
    kept.sortAscending = m_moduleList.IsSortAscending() != FALSE;
    kept.geometry = GetWidget()->saveGeometry();
    SaveMainWindowSettings(kept);
}

void CScanDlg::FitColumnsAtFirstFill() {
    if (m_columnsFitted || m_moduleList.GetItemCount() == 0) {
        return;
    }
    // Wider for the texts in view, never narrower while the answers come in.
    for (int column : {kColumnVersion, kColumnType}) {
        const int before = m_moduleList.GetColumnWidth(column);
        m_moduleList.SetColumnWidth(column, LVSCW_AUTOSIZE_USEHEADER);
        if (m_moduleList.GetColumnWidth(column) < before) {
            m_moduleList.SetColumnWidth(column, before);
        }
    }
    // Once the first scan's answers are in, the widths are the user's.
    m_columnsFitted = !m_scanRunning;
}

void CScanDlg::ReselectIfAnswered(const ModuleRecord& response) {
    if (!m_reselectMac || response.mac != m_reselectMac) {
        return;
    }
    const MacAddress mac = *m_reselectMac;
    m_reselectMac.reset();
    if (m_moduleList.GetSelectedRow() >= 0) {
        return;  // the user has chosen another row meanwhile
    }
    for (int row = 0; row < m_moduleList.GetItemCount(); ++row) {
        const ModuleRecord* module = m_moduleList.GetRowModule(row);
        if (module != nullptr && module->mac == mac) {
            m_moduleList.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
            m_moduleList.EnsureVisible(row, FALSE);
            return;
        }
    }
}

void CScanDlg::OnModuleCopy() {
    CopyModuleList(m_moduleList, kModuleColumnList);
}

void CScanDlg::OnModuleAbout() {
    ShowAboutBox();
}

bool CScanDlg::RowNeedsRecovery(const CListCtrl& moduleList, int row) {
    if (moduleList.GetItemText(row, kColumnDhcp).Str() != "On") {
        return false;
    }
    const std::string ip = moduleList.GetItemText(row, kColumnIp).Str();
    return ip == kNotAvailableText || ip == "0.0.0.0" || ip.starts_with("169.254.");
}

void CScanDlg::OnModuleRecover() {
    const int row = m_moduleList.GetSelectedRow();
    const ModuleRecord* module = m_moduleList.GetRowModule(row);
    if (m_recovery || module == nullptr || !RowNeedsRecovery(m_moduleList, row)) {
        return;
    }
    const MacAddress mac = module->AddressingMac();
    // The flow takes the server over for this MAC alone; afterwards it goes back to how the
    // user had it.
    m_serverWasOn = m_dhcpServer.IsEnabled();
    m_recovery = std::make_unique<RecoveryFlow>(RecoveryFlow::Settings{mac, {}, kRecoveryLimit},
                                                m_dhcpServer);
    if (!m_recovery->Start(RecoveryFlow::Clock::now())) {
        EndRecovery();
        return;
    }
    ShowDhcpServerState(*this, true);
    if (m_recoveryTimer == nullptr) {
        m_recoveryTimer = new QTimer(GetWidget());
        QObject::connect(m_recoveryTimer, &QTimer::timeout, GetWidget(),
                         [this] { PollRecovery(); });
    }
    m_recoveryTimer->start(kRecoveryTurnMilliseconds);
}

void CScanDlg::PollRecovery() {
    if (!m_recovery || m_recoveryTurn) {
        return;
    }
    // Stop leaves the result running: the user (switching the server off, cancelling the
    // dialog) or a guard ended the recovery early.
    if (m_recovery->CurrentResult() == RecoveryFlow::Result::kRunning &&
        !m_dhcpServer.IsEnabled()) {
        EndRecovery();
        return;
    }
    m_recoveryTurn = true;
    RecoveryFlow& flow = *m_recovery;
    switch (flow.Poll(RecoveryFlow::Clock::now())) {
        case RecoveryFlow::Action::kWait:
            break;
        case RecoveryFlow::Action::kSendScan:
            ZEVA_SendModuleScan();
            break;
        case RecoveryFlow::Action::kAskForValues:
            if (const auto values = AskRecoveryValues(flow.FoundModule()); !m_recovery) {
                return;  // the window ended meanwhile
            } else if (values) {
                flow.ProvideStaticValues(*values);
            } else {
                flow.Stop();  // cancelled: the server stops, and the recovery with it
            }
            break;
        case RecoveryFlow::Action::kSendConfigure:
            // Known modules and the consent to a plain password, as the Configure command.
            if (const bool sent =
                    SendRecoveryConfigure(m_moduleList, flow.FoundModule(), flow.ConfiguredValues(),
                                          flow.ConfigureRequest());
                !m_recovery) {
                return;  // the window ended while the consent was asked
            } else if (!sent) {
                flow.Stop();
            }
            break;
        case RecoveryFlow::Action::kFinished:
            break;
    }
    if (flow.CurrentResult() != RecoveryFlow::Result::kRunning || !m_dhcpServer.IsEnabled()) {
        EndRecovery();
    }
    m_recoveryTurn = false;
}

void CScanDlg::EndRecovery() {
    if (m_recoveryTimer != nullptr) {
        m_recoveryTimer->stop();
    }
    std::unique_ptr<RecoveryFlow> flow = std::move(m_recovery);
    flow->Stop();
    if (m_serverWasOn) {
        // Whether it came back on is shown at once below.
        static_cast<void>(m_dhcpServer.SwitchOn());
    }
    ShowDhcpServerState(*this, m_dhcpServer.IsEnabled());
    const std::string mac = flow->FoundModule().AddressingMac().Text();
    std::string text;
    UINT icon = MB_ICONEXCLAMATION;
    switch (flow->CurrentResult()) {
        case RecoveryFlow::Result::kVerified:
            text = FillIn(translate("CScanDlg", "Recovered: %1 answers at %2 with DHCP off."),
                          {mac, FormatIpv4(flow->ConfiguredValues().ipAddress)})
                       .Str();
            icon = MB_ICONASTERISK;
            break;
        case RecoveryFlow::Result::kRefusedPassword:
            text = translate("CScanDlg", "Invalid password").Str();
            break;
        case RecoveryFlow::Result::kTimedOut:
            text = translate("CScanDlg",
                             "Recovery ended: the module sent no DHCP request or did "
                             "not answer in time.")
                       .Str();
            break;
        case RecoveryFlow::Result::kRefusedValues:
        case RecoveryFlow::Result::kFailed:
            text = FillIn(translate("CScanDlg", "Recovery ended: %1"),
                          {RecoveryFailureText(flow->FailureKind(), flow->FailureDetail(),
                                               flow->FailureReason())})
                       .Str();
            break;
        case RecoveryFlow::Result::kRunning:
            return;  // ended by the user, who knows
    }
    MessageBox(text.c_str(), translate("CScanDlg", "Recover this module"), icon | MB_OK);
}

bool CScanDlg::FeedRecoveryEvent(long eventCode) {
    if (!m_recovery) {
        return false;
    }
    RecoveryFlow& flow = *m_recovery;
    // Only the outcome of the recovery's own configure request is the flow's.
    const bool recoveryConfigure =
        m_moduleList.GetFleet().ConfiguredMac() == flow.FoundModule().AddressingMac();
    switch (eventCode) {
        case ZEVA_EVENT_RESCAN:
            flow.OnConfigureAccepted(RecoveryFlow::Clock::now());
            return false;  // the table rescans as after any configure
        case ZEVA_EVENT_INVALID_PASSWORD:
            if (recoveryConfigure && RemoveQueuedMacIfLastConfigured()) {
                flow.OnPasswordRefused();
                return true;
            }
            return false;
        case ZEVA_EVENT_NO_ANSWER:
            if (recoveryConfigure) {
                flow.OnConfigureNotDelivered("the module did not answer the configure request");
            }
            return recoveryConfigure;
        case ZEVA_EVENT_MAC_CONFLICT:
            if (recoveryConfigure) {
                flow.OnMacClaimedTwice(RecoveryFlow::Clock::now());
            }
            return recoveryConfigure;
        case ZEVA_EVENT_PASSWORD_DOWNGRADE:
            if (recoveryConfigure) {
                flow.Stop();  // the window's own message says why
            }
            return false;
        default:
            return false;
    }
}

void CScanDlg::OnDestroy() {
    // From here on the callback posts nothing, and the recovery server's worker ends before
    // any of the window's members go away.
    g_moduleEventWindow.store(nullptr);
    if (m_recoveryTimer != nullptr) {
        m_recoveryTimer->stop();
    }
    m_recovery.reset();  // stops the server it serves with
    m_dhcpServer.SwitchOff();
    SaveSettings();
    static_cast<void>(SaveProgramKnownModules());
    CDialog::OnDestroy();
}

bool CScanDlg::RemoveQueuedMacIfLastConfigured() {
    BYTE queuedMac[6] = {};
    if (ZEVA_GetInvPswdMacId(queuedMac) != 1 ||
        m_moduleList.GetFleet().ConfiguredMac() != MacAddress::FromBytes(queuedMac)) {
        return false;
    }
    ZEVA_RemoveFirstInvPswdMacId();
    return true;
}

LRESULT CScanDlg::OnModuleEvent(WPARAM /*wParam*/, LPARAM lParam) {
    JournalConfigureOutcome(m_moduleList, static_cast<long>(lParam));
    if (FeedRecoveryEvent(static_cast<long>(lParam))) {
        return 0;
    }
    switch (lParam) {
        case ZEVA_EVENT_RESPONSE: {
            ZEVA_ModuleScanResponseType answer{};
            if (ZEVA_GetResponse(&answer) == 0) {
                return 0;
            }
            const ModuleRecord response = ToModuleRecord(answer);
            ProgramKnownModules().Remember(response);
            if (m_recovery) {
                m_recovery->OnScanAnswer(response);
            }
            m_moduleList.AddModule(response);
            ReselectIfAnswered(response);
            ScheduleModuleCount();
            return 0;
        }
        case ZEVA_EVENT_RESCAN:
            RemoveQueuedMacIfLastConfigured();
            StartScan();
            return 0;
        case ZEVA_EVENT_INVALID_PASSWORD:
            if (RemoveQueuedMacIfLastConfigured()) {
                MessageBox(translate("CScanDlg", "Invalid password"),
                           translate("CScanDlg", "Warning"), MB_ICONEXCLAMATION | MB_OK);
                ReopenConfiguration();
            }
            return 0;
        case ZEVA_EVENT_MAC_CONFLICT:
            // The library sent nothing: a second device answers in that module's name.
            MessageBox(translate("CScanDlg", kMacClaimedTwiceMessage),
                       translate("CScanDlg", "Warning"), MB_ICONEXCLAMATION | MB_OK);
            return 0;
        case ZEVA_EVENT_PASSWORD_DOWNGRADE:
            MessageBox(translate("CScanDlg", kPasswordDowngradeMessage),
                       translate("CScanDlg", "Warning"), MB_ICONEXCLAMATION | MB_OK);
            return 0;
        case ZEVA_EVENT_NO_ANSWER:
            MessageBox(NoAnswerMessage(m_moduleList).c_str(), translate("CScanDlg", "Warning"),
                       MB_ICONEXCLAMATION | MB_OK);
            if (const auto& last = m_moduleList.GetLastCommand();
                last && last->command == SentCommand::kConfigure) {
                ReopenConfiguration();
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace ordvane
