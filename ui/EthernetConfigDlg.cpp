#include "ui/EthernetConfigDlg.h"

#include <cstring>

#include "config/ConfigureValidation.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/MessageMap.h"
#include "platform/framework/Resources.h"
#include "platform/framework/Translate.h"
#include "res/ids/Resource.h"

namespace ordvane {

BEGIN_MESSAGE_MAP(CEthernetConfigDlg, CDialog)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_CHANGE_PASSWORD, OnChangePassword)
ON_BN_CLICKED(IDC_REMOVE_PASSWORD, OnRemovePassword)
END_MESSAGE_MAP()

CEthernetConfigDlg::CEthernetConfigDlg(CWnd* parent)
    : CDialog(IDD_ETHERNET_CONFIG, parent),
      m_newPassword{},
      m_password{},
      m_hostname{},
      m_dhcpChoice(-1),
      m_changePassword(0),
      m_hIcon(LoadIconResource(IDR_MAINFRAME, GetSystemMetrics(SM_CXICON))) {}

CEthernetConfigDlg::~CEthernetConfigDlg() = default;

void CEthernetConfigDlg::CopyToTextBuffer(TextBuffer& buffer, std::string_view text) {
    const std::string_view kept = Utf8CharacterPrefix(text, kMaxTextLength);
    std::memset(buffer, 0, sizeof buffer);
    std::memcpy(buffer, kept.data(), kept.size());
}

void CEthernetConfigDlg::DoDataExchange(CDataExchange* dataExchange) {
    CDialog::DoDataExchange(dataExchange);
    DDX_Control(dataExchange, IDC_HOSTNAME, m_hostnameEdit);
    DDX_Control(dataExchange, IDC_SECONDARY_DNS, m_secondaryDnsCtrl);
    DDX_Control(dataExchange, IDC_PRIMARY_DNS, m_primaryDnsCtrl);
    DDX_Control(dataExchange, IDC_NEW_PASSWORD, m_newPasswordEdit);
    DDX_Control(dataExchange, IDC_PASSWORD, m_passwordEdit);
    DDX_Control(dataExchange, IDC_SUBNET_MASK, m_subnetMaskCtrl);
    DDX_Control(dataExchange, IDC_IP_ADDRESS, m_ipAddressCtrl);
    DDX_Control(dataExchange, IDC_DEFAULT_GATEWAY, m_gatewayCtrl);
    DDX_Control(dataExchange, IDC_CONFIRM_PASSWORD, m_confirmPasswordEdit);
    DDX_Control(dataExchange, IDC_REMOVE_PASSWORD, m_removePasswordCheck);
    DDX_Text(dataExchange, IDC_NEW_PASSWORD, m_newPasswordText);
    DDV_MaxChars(dataExchange, m_newPasswordText, kMaxTextLength);
    DDX_Text(dataExchange, IDC_CONFIRM_PASSWORD, m_confirmPasswordText);
    DDV_MaxChars(dataExchange, m_confirmPasswordText, kMaxTextLength);
    DDX_Text(dataExchange, IDC_PASSWORD, m_passwordText);
    DDV_MaxChars(dataExchange, m_passwordText, kMaxTextLength);
    DDX_Radio(dataExchange, IDC_DHCP_ON, m_dhcpChoice);
    DDX_Check(dataExchange, IDC_CHANGE_PASSWORD, m_changePassword);
    DDX_Check(dataExchange, IDC_REMOVE_PASSWORD, m_removePassword);
    DDX_Text(dataExchange, IDC_HOSTNAME, m_hostnameText);
}

int CEthernetConfigDlg::OnCreate(LPCREATESTRUCT createStruct) {
    return CDialog::OnCreate(createStruct);
}

BOOL CEthernetConfigDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(LoadIconResource(IDR_MAINFRAME, GetSystemMetrics(SM_CXSMICON)), FALSE);
    SetWindowText(m_caption);

    if (m_hostnameKnown == 1) {
        m_hostnameEdit.SetWindowText(m_hostname);
    } else {
        m_hostnameEdit.EnableWindow(FALSE);
    }
    ShowKnownAddress(m_subnetMaskCtrl, m_subnetMaskKnown, m_subnetMask);
    ShowKnownAddress(m_ipAddressCtrl, m_ipAddressKnown, m_ipAddress);
    ShowKnownAddress(m_gatewayCtrl, m_gatewayKnown, m_gateway);
    ShowKnownAddress(m_primaryDnsCtrl, m_primaryDnsKnown, m_primaryDns);
    ShowKnownAddress(m_secondaryDnsCtrl, m_secondaryDnsKnown, m_secondaryDns);

    if (m_passwordEnabled == 0) {
        m_passwordEdit.SetReadOnly(TRUE);
    }
    UpdateNewPasswordFields();
    // The focus starts in the first field the user can type into, so that Enter right after
    // opening does not send the form untouched; on a second try, in Password.
    if (m_focusPassword && !m_passwordEdit.IsReadOnly()) {
        m_passwordEdit.SetFocus();
        return FALSE;
    }
    if (CWnd* first = FirstEditableField()) {
        first->SetFocus();
        return FALSE;
    }
    return TRUE;
}

CWnd* CEthernetConfigDlg::FirstEditableField() {
    CWnd* const fields[] = {&m_ipAddressCtrl,  &m_subnetMaskCtrl,   &m_gatewayCtrl,
                            &m_primaryDnsCtrl, &m_secondaryDnsCtrl, &m_hostnameEdit};
    for (CWnd* field : fields) {
        if (field->IsWindowEnabled()) {
            return field;
        }
    }
    return m_passwordEdit.IsReadOnly() ? nullptr : &m_passwordEdit;
}

void CEthernetConfigDlg::ShowKnownAddress(CIPAddressCtrl& control, BYTE known, DWORD value) {
    if (known == 1) {
        control.SetAddress(value);
    } else {
        control.ClearAddress();
        control.EnableWindow(FALSE);
    }
}

void CEthernetConfigDlg::OnChangePassword() {
    UpdateData(TRUE);
    UpdateNewPasswordFields();
}

void CEthernetConfigDlg::OnRemovePassword() {
    UpdateData(TRUE);
    UpdateNewPasswordFields();
}

void CEthernetConfigDlg::UpdateNewPasswordFields() {
    // The edits keep their texts either way; only whether they may be typed into follows the
    // boxes.
    const bool changing = m_changePassword == 1;
    const BOOL readOnly = changing && m_removePassword != 1 ? FALSE : TRUE;
    m_newPasswordEdit.SetReadOnly(readOnly);
    m_confirmPasswordEdit.SetReadOnly(readOnly);
    m_removePasswordCheck.EnableWindow(changing ? TRUE : FALSE);
}

bool CEthernetConfigDlg::CheckNewPassword() {
    if (m_changePassword != 1 || m_removePassword == 1) {
        return true;
    }
    if (m_newPasswordText.IsEmpty()) {
        MessageBox(translate("CEthernetConfigDlg",
                             "Type the new password in both fields, or tick \"Remove "
                             "password\" to remove the module's password."),
                   nullptr, MB_OK);
        m_newPasswordEdit.SetFocus();
        return false;
    }
    if (m_newPasswordText != m_confirmPasswordText) {
        MessageBox(translate("CEthernetConfigDlg",
                             "The two new passwords differ. Type the same new password "
                             "in both fields."),
                   nullptr, MB_OK);
        m_confirmPasswordEdit.SetFocus();
        return false;
    }
    return true;
}

void CEthernetConfigDlg::OnOK() {
    // A failed exchange has said why and left some members stale; checking or sending those
    // would judge text the user no longer sees.
    if (!UpdateData(TRUE)) {
        return;
    }
    // m_hostname still holds what the module reported until the dialog closes.
    const std::string_view reportedHostname = m_hostnameKnown == 1 ? m_hostname : "";
    if (!IsAcceptableHostname(m_hostnameText.Str(), reportedHostname)) {
        MessageBox(translate("SharedText", kIllegalHostnameMessage), nullptr, MB_OK);
        return;
    }
    m_ipAddressCtrl.GetAddress(m_ipAddress);
    if (HasLastOctet255(m_ipAddress)) {
        MessageBox(translate("SharedText", kLastOctet255Message), nullptr, MB_OK);
        return;
    }
    if (!CheckNewPassword()) {
        return;
    }
    CDialog::OnOK();
}

void CEthernetConfigDlg::OnDestroy() {
    m_subnetMaskCtrl.GetAddress(m_subnetMask);
    m_ipAddressCtrl.GetAddress(m_ipAddress);
    m_gatewayCtrl.GetAddress(m_gateway);
    m_primaryDnsCtrl.GetAddress(m_primaryDns);
    m_secondaryDnsCtrl.GetAddress(m_secondaryDns);
    CopyToTextBuffer(m_password, m_passwordText.Str());
    // Removal sends the new password empty, whatever the edits still hold.
    CopyToTextBuffer(m_newPassword, m_removePassword == 1 ? "" : m_newPasswordText.Str());
    CopyToTextBuffer(m_hostname, m_hostnameText.Str());
    CWnd::OnDestroy();
}

}  // namespace ordvane
