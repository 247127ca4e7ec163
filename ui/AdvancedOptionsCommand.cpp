#include "ui/AdvancedOptionsCommand.h"
#include "platform/framework/Translate.h"

#include <net/if.h>

#include "platform/AddressText.h"
#include "platform/framework/MessageBox.h"

void ShowDhcpServerInitFailed(const std::string& reason) {
    std::string text = ordvane::translate("SharedText", kDhcpServerInitFailedMessage).Str();
    if (!reason.empty()) {
        text += "\n\n";
        text += reason;
    }
    AfxMessageBox(text.c_str(), MB_OK, 0);
}

void ShowDhcpServerState(CWnd& window, bool running) {
    CString caption;
    window.GetWindowText(caption);
    std::string text = static_cast<LPCSTR>(caption);
    const std::string mark = kDhcpServerRunningMark;
    const bool marked = text.size() >= mark.size() &&
                        text.compare(text.size() - mark.size(), mark.size(), mark) == 0;
    if (marked == running) {
        return;
    }
    if (running) {
        text += mark;
    } else {
        text.resize(text.size() - mark.size());
    }
    window.SetWindowText(text.c_str());
}

namespace {

std::string InterfaceName(int index) {
    char name[IF_NAMESIZE] = {};
    return index > 0 && if_indextoname(static_cast<unsigned>(index), name) != nullptr
               ? std::string(name)
               : std::string("a card");
}

}  // namespace

std::string OtherDhcpServerWarning(const CDhcpServer::Address& otherServer, int interfaceIndex) {
    return "Warning: another DHCP server (" + std::to_string(otherServer[0]) + "." +
           std::to_string(otherServer[1]) + "." + std::to_string(otherServer[2]) + "." +
           std::to_string(otherServer[3]) + ") serves " + InterfaceName(interfaceIndex) +
           ". To answer only the module to recover, use ordvane-cli recover or "
           "recovery-server --only.";
}

std::string CardWithoutAddressWarning(int interfaceIndex) {
    return "Warning: a lease left " + InterfaceName(interfaceIndex) +
           ", which has no IPv4 address: the module cannot renew it. Give the card "
           "10.200.1.1/24.";
}

std::string DescribeDhcpServerActivity(bool running, const CDhcpServer::Activity& activity) {
    if (!running) {
        return {};
    }
    std::string text = "Leases given: " + std::to_string(activity.leases);
    if (activity.hasLastLease) {
        text += ", the last to " + ordvane::FormatMacAddress(activity.lastLeaseMac.data());
    }
    text += ".";
    if (activity.otherServerSeen) {
        text += "\n" + OtherDhcpServerWarning(activity.otherServer, activity.otherServerInterface);
    }
    if (activity.cardWithoutAddressInterface != 0) {
        text += "\n" + CardWithoutAddressWarning(activity.cardWithoutAddressInterface);
    }
    return text;
}

void RunAdvancedOptions(CRecoveryDhcpServer& server) {
    CAdvancedSettingsDlg dialog;
    dialog.m_enableDhcp = server.IsEnabled() ? 1 : 0;
    dialog.m_serverActivity =
        DescribeDhcpServerActivity(server.IsEnabled(), server.Server().CurrentActivity());
    dialog.DoModal();
    const bool wanted = dialog.m_enableDhcp != 0;
    if (wanted == server.IsEnabled()) {
        return;
    }
    if (!server.SetEnabled(wanted)) {
        ShowDhcpServerInitFailed(server.Server().FailureReason());
    }
}
