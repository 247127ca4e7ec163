#pragma once
// The Ethernet configuration dialog (template 103): one module's addresses, hostname, DHCP
// setting, current password and optionally a new one. The Configure command sets the input
// members, runs it modally and reads the output members after IDOK. "Set" refuses a hostname
// with characters other than letters and digits, and an IP address whose last octet is 255.

#include <cstddef>
#include <string_view>

#include "platform/CString.h"
#include "platform/Utf8Text.h"
#include "platform/framework/CButton.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CEdit.h"
#include "platform/framework/CIPAddressCtrl.h"

namespace ordvane {

class CEthernetConfigDlg : public CDialog {
public:
    // The longest text each password edit and each text buffer holds, in characters as the
    // edits count them.
    static constexpr int kMaxTextLength = 29;
    // A text buffer holds kMaxTextLength characters of UTF-8 and a terminator; 117 bytes, so
    // that every such text also fits the 128-byte fields of the configure request.
    static constexpr std::size_t kTextBufferSize = kMaxTextLength * kMaxUtf8BytesPerCharacter + 1;
    using TextBuffer = char[kTextBufferSize];

    // Copies at most kMaxTextLength characters, never part of one, and terminates.
    static void CopyToTextBuffer(TextBuffer& buffer, std::string_view text);

    explicit CEthernetConfigDlg(CWnd* parent = nullptr);
    ~CEthernetConfigDlg() override;

    int m_passwordEnabled = 0;   // in: 0 makes the Password edit read-only
    TextBuffer m_newPassword;    // out, UTF-8
    TextBuffer m_password;       // out, UTF-8
    TextBuffer m_hostname;       // in and out, UTF-8
    DWORD m_subnetMask = 0;      // in and out, first octet most significant
    DWORD m_ipAddress = 0;       // in and out
    DWORD m_gateway = 0;         // in and out
    DWORD m_primaryDns = 0;      // in and out
    DWORD m_secondaryDns = 0;    // in and out
    BYTE m_hostnameKnown = 0;    // in: 1 = m_hostname holds the module's hostname
    BYTE m_subnetMaskKnown = 0;  // in: 1 = the value beside it was reported
    BYTE m_ipAddressKnown = 0;
    BYTE m_gatewayKnown = 0;
    BYTE m_primaryDnsKnown = 0;
    BYTE m_secondaryDnsKnown = 0;
    CString m_caption;  // in: the window caption
    // in: TRUE opens the dialog with the focus in Password (it reopens with what the user typed
    // after the module refused the password or did not answer).
    BOOL m_focusPassword = FALSE;

    CEdit m_hostnameEdit;               // 1015
    CIPAddressCtrl m_secondaryDnsCtrl;  // 1014
    CIPAddressCtrl m_primaryDnsCtrl;    // 1007
    CEdit m_newPasswordEdit;            // 1011
    CEdit m_confirmPasswordEdit;        // 1016
    CButton m_removePasswordCheck;      // 1017
    CEdit m_passwordEdit;               // 1010
    CIPAddressCtrl m_subnetMaskCtrl;    // 1005
    CIPAddressCtrl m_ipAddressCtrl;     // 1004
    CIPAddressCtrl m_gatewayCtrl;       // 1006
    CString m_newPasswordText;
    CString m_passwordText;
    int m_dhcpChoice;      // in and out: 0 = "On", 1 = "Off"
    int m_changePassword;  // in and out: 1 = "Change password" checked
    // out: 1 = "Remove password" checked; the new password is then sent empty.
    int m_removePassword = 0;
    CString m_confirmPasswordText;
    CString m_hostnameText;
    HICON m_hIcon;

protected:
    void DoDataExchange(CDataExchange* dataExchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    int OnCreate(LPCREATESTRUCT createStruct);
    void OnDestroy();
    void OnChangePassword();
    void OnRemovePassword();

    DECLARE_MESSAGE_MAP()

private:
    void ShowKnownAddress(CIPAddressCtrl& control, BYTE known, DWORD value);
    // New password and Confirm take typing while "Change password" is ticked and "Remove
    // password" is not; "Remove password" is offered while "Change password" is ticked.
    void UpdateNewPasswordFields();
    // True when the new password may be sent: typed twice alike, or removal chosen; otherwise
    // says why and puts the focus where the fix goes.
    bool CheckNewPassword();
    // The first field in tab order that takes typing; nullptr when none does.
    CWnd* FirstEditableField();
};

}  // namespace ordvane
