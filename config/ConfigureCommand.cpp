// The Configure command: a double click on a row of the module table opens the Ethernet
// configuration dialog for that module and, on "Set", sends the configure request.
#include "config/ConfigureCommand.h"

#include "config/ConfigureDialogValues.h"
#include "config/ConfigureRequestBuilder.h"
#include "config/KnownModules.h"
#include "config/ModuleLookup.h"
#include "config/RowMacAddress.h"
#include "modlist/CModuleListCtrl.h"
#include "modlist/ModuleColumns.h"
#include "modsvc/ModuleService.h"
#include "platform/AddressText.h"
#include "platform/framework/MessageBox.h"
#include "ui/EthernetConfigDlg.h"

namespace {

// The hit test looks at this x so that a double click anywhere along a row, in any column,
// finds the row.
constexpr int kHitTestX = 2;

void LoadDialogInput(CEthernetConfigDlg& dialog, const ordvane::ConfigureDialogInput& input) {
    dialog.m_ipAddressKnown = input.ipAddressKnown;
    dialog.m_subnetMaskKnown = input.subnetMaskKnown;
    dialog.m_gatewayKnown = input.gatewayKnown;
    dialog.m_primaryDnsKnown = input.primaryDnsKnown;
    dialog.m_secondaryDnsKnown = input.secondaryDnsKnown;
    dialog.m_ipAddress = input.ipAddress;
    dialog.m_subnetMask = input.subnetMask;
    dialog.m_gateway = input.gateway;
    dialog.m_primaryDns = input.primaryDns;
    dialog.m_secondaryDns = input.secondaryDns;
    dialog.m_hostnameKnown = input.hostnameKnown;
    CEthernetConfigDlg::CopyToTextBuffer(dialog.m_hostname, input.hostname);
    dialog.m_dhcpChoice = input.dhcpChoice;
    dialog.m_passwordEnabled = input.passwordEnabled;
}

ordvane::ConfigureDialogOutput ReadDialogOutput(const CEthernetConfigDlg& dialog) {
    ordvane::ConfigureDialogOutput output;
    output.ipAddress = dialog.m_ipAddress;
    output.subnetMask = dialog.m_subnetMask;
    output.gateway = dialog.m_gateway;
    output.primaryDns = dialog.m_primaryDns;
    output.secondaryDns = dialog.m_secondaryDns;
    output.dhcpChoice = dialog.m_dhcpChoice;
    output.password = dialog.m_password;
    output.newPassword = dialog.m_newPassword;
    output.changePassword = dialog.m_changePassword;
    output.hostname = dialog.m_hostname;
    return output;
}

// A password goes in clear only to a module never seen asking for hashed passwords, and only
// once the user has been told who can read it and said yes.
bool ConfirmPasswordSending(const ZEVA_ModuleScanResponseType& module,
                            const ordvane::ConfigureDialogOutput& values) {
    const bool passwordGiven =
        !values.password.empty() || (values.changePassword == 1 && !values.newPassword.empty());
    const std::string mac = ordvane::FormatMacAddress(module.macId);
    switch (ordvane::CheckPasswordSending(ordvane::ProgramKnownModules(), module, passwordGiven)) {
        case ordvane::PasswordSending::kAllowed:
            break;
        case ordvane::PasswordSending::kRefusedDowngrade:
            AfxMessageBox(ordvane::PasswordDowngradeRefusal(mac).c_str(),
                          MB_ICONEXCLAMATION | MB_OK);
            return false;
        case ordvane::PasswordSending::kNeedsConsent: {
            const std::string question =
                ordvane::PlainPasswordRisk(mac) + "\n\nSend the password in plain text anyway?";
            if (AfxMessageBox(question.c_str(), MB_ICONEXCLAMATION | MB_YESNO) != IDYES) {
                return false;
            }
            break;
        }
    }
    // Saved now, so that a command line run meanwhile knows what this window has seen.
    std::string error;
    ordvane::SaveProgramKnownModules(error);
    return true;
}

}  // namespace

void RunConfigureCommand(CModuleListCtrl& moduleList, CPoint point) {
    const int row = moduleList.HitTest(CPoint(kHitTestX, point.y));
    if (row < 0) {
        return;
    }
    CEthernetConfigDlg dialog;
    dialog.m_caption = CString("Configure: ") + moduleList.GetItemText(row, ordvane::kColumnMac);

    ordvane::MacAddress mac{};
    if (!ordvane::ReadRowMacAddress(moduleList, row, mac)) {
        return;
    }
    // A copy: module events handled while the dialog is open may clear the stored records.
    ZEVA_ModuleScanResponseType module;
    if (!ordvane::FindFirstModuleWithMac(moduleList, mac, module)) {
        return;
    }
    LoadDialogInput(dialog, ordvane::PrefillFromModule(module));
    if (dialog.DoModal() != IDOK) {
        return;
    }

    const ordvane::ConfigureDialogOutput values = ReadDialogOutput(dialog);
    if (!ConfirmPasswordSending(module, values)) {
        return;
    }
    ZEVA_ConfigureRequestType request;
    if (!ordvane::BuildConfigureRequest(module, values, request)) {
        return;
    }
    moduleList.SetConfiguredMac(request.macId);
    ZEVA_SendConfigure(&request);
}
