#include "ui/AdvancedOptionsCommand.h"
#include "platform/framework/Translate.h"

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

void RunAdvancedOptions(CRecoveryDhcpServer& server) {
    CAdvancedSettingsDlg dialog;
    dialog.m_enableDhcp = server.IsEnabled() ? 1 : 0;
    dialog.DoModal();
    const bool wanted = dialog.m_enableDhcp != 0;
    if (wanted == server.IsEnabled()) {
        return;
    }
    if (!server.SetEnabled(wanted)) {
        ShowDhcpServerInitFailed(server.Server().FailureReason());
    }
}
