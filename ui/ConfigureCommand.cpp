// The Configure command: a double click on a row of the module table opens the Ethernet
// configuration dialog for that module and, on "Set", sends the configure request.
#include "ui/ConfigureCommand.h"

#include "config/ConfigureDialogValues.h"
#include "config/ConfigureRequestBuilder.h"
#include "config/KnownModules.h"
#include "journal/ConfigureChange.h"
#include "journal/PendingChanges.h"
#include "modlist/CModuleListCtrl.h"
#include "modlist/ModuleColumns.h"
#include "modsvc/ModuleService.h"
#include "platform/AddressText.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Translate.h"
#include "ui/EthernetConfigDlg.h"

namespace ordvane {

namespace {

// The hit test looks at this x so that a double click anywhere along a row, in any column,
// finds the row.
constexpr int kHitTestX = 2;

void LoadDialogInput(CEthernetConfigDlg& dialog, const ConfigureDialogInput& input) {
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

// The window's configure requests whose outcome has not come yet. A request still open when
// the program ends is written as "no-outcome".
PendingChanges& OpenConfigureRequests() {
    static PendingChanges requests;
    return requests;
}

ConfigureDialogOutput ReadDialogOutput(const CEthernetConfigDlg& dialog) {
    ConfigureDialogOutput output;
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

// Puts what the user typed last time over the module's values; fields the module did not
// report stay empty and disabled.
void LoadTypedInput(CEthernetConfigDlg& dialog, const ConfigureDialogOutput& typed) {
    dialog.m_ipAddress = typed.ipAddress;
    dialog.m_subnetMask = typed.subnetMask;
    dialog.m_gateway = typed.gateway;
    dialog.m_primaryDns = typed.primaryDns;
    dialog.m_secondaryDns = typed.secondaryDns;
    CEthernetConfigDlg::CopyToTextBuffer(dialog.m_hostname, typed.hostname);
    dialog.m_dhcpChoice = typed.dhcpChoice;
    dialog.m_changePassword = typed.changePassword;
    dialog.m_focusPassword = TRUE;
}

// A password goes in clear only to a module never seen asking for hashed passwords, and only
// once the user has been told who can read it and said yes.
bool ConfirmPasswordSending(const ModuleRecord& module, const ConfigureDialogOutput& values) {
    const bool passwordGiven =
        !values.password.empty() || (values.changePassword == 1 && !values.newPassword.empty());
    const std::string mac = module.AddressingMac().Text();
    switch (CheckPasswordSending(ProgramKnownModules(), module, passwordGiven)) {
        case PasswordSending::kAllowed:
            break;
        case PasswordSending::kRefusedDowngrade:
            // The texts of PasswordDowngradeRefusal and PlainPasswordRisk, translated.
            AfxMessageBox(
                FillIn(
                    translate(
                        "CEthernetConfigDlg",
                        "%1 asked for hashed passwords before and now asks for its password in "
                        "plain text; another device may be answering in its name. Nothing was "
                        "sent. After a real firmware change, forget it with \"ordvane-cli forget "
                        "%1\"."),
                    {mac}),
                MB_ICONEXCLAMATION | MB_OK);
            return false;
        case PasswordSending::kNeedsConsent: {
            const CString question =
                FillIn(translate("CEthernetConfigDlg",
                                 "%1 takes its password in plain text: anyone on the network "
                                 "can read it on the way.\n\nSend the password in plain text "
                                 "anyway?"),
                       {mac});
            if (AfxMessageBox(question, MB_ICONEXCLAMATION | MB_YESNO) != IDYES) {
                return false;
            }
            break;
        }
    }
    // Saved now, so that a command line run meanwhile knows what this window has seen. A file
    // that cannot be written costs only the memory of this run, which the window still has.
    static_cast<void>(SaveProgramKnownModules());
    return true;
}

// Sends the request; its outcome closes the journal's line (JournalConfigureOutcome).
void SendJournaledConfigure(CModuleListCtrl& moduleList, JournalCommand command,
                            const ModuleRecord& module, const ConfigureDialogOutput& values,
                            ZEVA_ConfigureRequestType request) {
    moduleList.NoteCommandSent(MacAddress::FromBytes(request.macId), SentCommand::kConfigure);
    OpenConfigureRequests().Hold(ConfigureChange(command, module, values, request));
    ZEVA_SendConfigure(&request);
}

}  // namespace

std::optional<ConfigureOverrides> AskRecoveryValues(const ModuleRecord& module) {
    CEthernetConfigDlg dialog;
    dialog.m_caption =
        FillIn(translate("CEthernetConfigDlg", "Configure: %1"), {module.AddressingMac().Text()});
    LoadDialogInput(dialog, PrefillFromModule(module));
    dialog.m_dhcpChoice = 1;  // the module leaves DHCP mode
    if (dialog.DoModal() != IDOK) {
        return std::nullopt;
    }
    const ConfigureDialogOutput typed = ReadDialogOutput(dialog);
    ConfigureOverrides overrides;
    overrides.ipAddress = typed.ipAddress;
    overrides.subnetMask = typed.subnetMask;
    overrides.gateway = typed.gateway;
    overrides.primaryDns = typed.primaryDns;
    overrides.secondaryDns = typed.secondaryDns;
    overrides.hostname = typed.hostname;
    overrides.dhcpChoice = 1;
    if (!typed.password.empty()) {
        overrides.password = typed.password;
    }
    if (typed.changePassword == 1) {
        overrides.newPassword = typed.newPassword;
    }
    return overrides;
}

bool SendRecoveryConfigure(CModuleListCtrl& moduleList, const ModuleRecord& module,
                           const ConfigureDialogOutput& values,
                           const ZEVA_ConfigureRequestType& request) {
    if (!ConfirmPasswordSending(module, values)) {
        return false;
    }
    SendJournaledConfigure(moduleList, JournalCommand::kRecover, module, values, request);
    return true;
}

void RunConfigureCommand(CModuleListCtrl& moduleList, CPoint point) {
    RunConfigureCommandKeepingTyped(moduleList, point, nullptr);
}

std::optional<TypedConfiguration> RunConfigureCommandKeepingTyped(CModuleListCtrl& moduleList,
                                                                  CPoint point,
                                                                  const TypedConfiguration* typed) {
    const int row = moduleList.HitTest(CPoint(kHitTestX, point.y));
    if (row < 0) {
        return std::nullopt;
    }
    const ModuleRecord* rowModule = moduleList.GetRowModule(row);
    if (rowModule == nullptr) {
        return std::nullopt;
    }
    // A copy: module events handled while the dialog is open may clear the fleet.
    const ModuleRecord module = *rowModule;
    const MacAddress mac = module.AddressingMac();
    CEthernetConfigDlg dialog;
    dialog.m_caption = FillIn(translate("CEthernetConfigDlg", "Configure: %1"), {mac.Text()});
    LoadDialogInput(dialog, PrefillFromModule(module));
    if (typed != nullptr && typed->mac == mac) {
        LoadTypedInput(dialog, typed->values);
    }
    if (dialog.DoModal() != IDOK) {
        return std::nullopt;
    }

    TypedConfiguration sent{mac, ReadDialogOutput(dialog)};
    ZEVA_ConfigureRequestType request;
    if (!ConfirmPasswordSending(module, sent.values) ||
        !BuildConfigureRequest(module, sent.values, request)) {
        return std::nullopt;
    }
    SendJournaledConfigure(moduleList, JournalCommand::kConfigure, module, sent.values, request);
    sent.values.password.clear();
    sent.values.newPassword.clear();
    return sent;
}

void JournalConfigureOutcome(const CModuleListCtrl& moduleList, long eventCode) {
    const std::optional<MacAddress> configured = moduleList.GetFleet().ConfiguredMac();
    if (!configured) {
        return;
    }
    BYTE queued[6] = {};
    switch (eventCode) {
        case ZEVA_EVENT_RESCAN:
            OpenConfigureRequests().Finish(configured->data(), "accepted");
            break;
        case ZEVA_EVENT_INVALID_PASSWORD:
            if (ZEVA_GetInvPswdMacId(queued) == 1 && MacAddress::FromBytes(queued) == *configured) {
                OpenConfigureRequests().Finish(configured->data(), "refused-password");
            }
            break;
        case ZEVA_EVENT_NO_ANSWER:
        case ZEVA_EVENT_MAC_CONFLICT:
            OpenConfigureRequests().Finish(
                configured->data(), eventCode == ZEVA_EVENT_NO_ANSWER ? "no-answer" : "not-sent");
            break;
        default:
            break;
    }
}

}  // namespace ordvane
