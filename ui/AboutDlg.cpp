#include "ui/AboutDlg.h"
#include "platform/framework/Translate.h"

#include "platform/framework/CDataExchange.h"
#include "res/ids/Resource.h"
#include "res/strings/ProgramTitle.h"
#include "version/CVFXVersionInfo.h"
#include "version/CVFXVersionRecord.h"

namespace ordvane {

namespace {

constexpr DWORD kUnicodeCodePage = 1200;
constexpr DWORD kUnitedStatesEnglish = 1033;

}  // namespace

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}

void CAboutDlg::DoDataExchange(CDataExchange* dataExchange) {
    CDialog::DoDataExchange(dataExchange);
    DDX_Text(dataExchange, IDC_VERSION_TEXT, m_strVersion);
    DDX_Text(dataExchange, IDC_COPYRIGHT_TEXT, m_strCopyright);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CVFXVersionRecord record;
    CVFXVersionInfo reader(kUnicodeCodePage, kUnitedStatesEnglish);
    if (reader.Read(record, nullptr)) {
        CString productVersion = record.m_strProductVersion;
        productVersion.Remove(' ');
        m_strVersion = FillIn(translate("CAboutDlg", "Version: %1"), {productVersion.Str()});
        m_strVersion.Replace(',', '.');
        m_strCopyright.Format("%s %s", static_cast<LPCSTR>(record.m_strLegalCopyright), "");
    }

    SetWindowText(FillIn(translate("CAboutDlg", "About %1"), {kProgramTitle}));
    UpdateData(FALSE);
    return TRUE;
}

}  // namespace ordvane
