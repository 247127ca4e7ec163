#include "ui/AdvancedOptionsCommand.h"
#include "platform/framework/Translate.h"

#include <net/if.h>

#include "dhcp/Port67Helper.h"
#include "platform/AddressText.h"
#include "platform/framework/MessageBox.h"

namespace ordvane {

std::string DhcpServerReasonText(const std::string& reason) {
    // The reason comes from the server in English; the advice to join the group, which a user
    // can act on, in the user's language.
    std::string shown = reason;
    if (const std::string advice = NotInGroupAdvice(); shown.find(advice) != std::string::npos) {
        shown.replace(shown.find(advice), advice.size(),
                      FillIn(translate("SharedText", kNotInGroupAdvice), {Port67UserName()}).Str());
    }
    return shown;
}

void ShowDhcpServerInitFailed(const std::string& reason) {
    std::string text = translate("SharedText", kDhcpServerInitFailedMessage).Str();
    if (!reason.empty()) {
        text += "\n\n";
        text += DhcpServerReasonText(reason);
    }
    AfxMessageBox(text.c_str(), MB_OK, 0);
}

void ShowDhcpServerState(CWnd& window, bool running) {
    CString caption;
    window.GetWindowText(caption);
    std::string text = static_cast<LPCSTR>(caption);
    const std::string mark = translate("SharedText", kDhcpServerRunningMark).Str();
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
               : translate("AdvancedOptions", "a card").Str();
}

}  // namespace

std::string OtherDhcpServerWarning(const CDhcpServer::Address& otherServer, int interfaceIndex) {
    const std::string server =
        std::to_string(otherServer[0]) + "." + std::to_string(otherServer[1]) + "." +
        std::to_string(otherServer[2]) + "." + std::to_string(otherServer[3]);
    return FillIn(translate("AdvancedOptions",
                            "Warning: another DHCP server (%1) serves %2. To answer only the "
                            "module to recover, use ordvane-cli recover or recovery-server "
                            "--only."),
                  {server, InterfaceName(interfaceIndex)})
        .Str();
}

std::string CardWithoutAddressWarning(int interfaceIndex) {
    return FillIn(translate("AdvancedOptions",
                            "Warning: a lease left %1, which has no IPv4 "
                            "address: the module cannot renew it. Give the card "
                            "10.200.1.1/24."),
                  {InterfaceName(interfaceIndex)})
        .Str();
}

std::string DescribeDhcpServerActivity(bool running, const CDhcpServer::Activity& activity) {
    if (!running) {
        return {};
    }
    const std::string leases = std::to_string(activity.leases);
    std::string text =
        activity.hasLastLease
            ? FillIn(translate("AdvancedOptions", "Leases given: %1, the last to %2."),
                     {leases, FormatMacAddress(activity.lastLeaseMac.data())})
                  .Str()
            : FillIn(translate("AdvancedOptions", "Leases given: %1."), {leases}).Str();
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
    if (const Status switched = server.SetEnabled(wanted); !switched) {
        ShowDhcpServerInitFailed(switched.Reason());
    }
}

}  // namespace ordvane
