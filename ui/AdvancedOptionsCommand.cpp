#include "ui/AdvancedOptionsCommand.h"

#include "platform/framework/MessageBox.h"

void ShowDhcpServerInitFailed(const std::string& reason) {
    std::string text = kDhcpServerInitFailedMessage;
    if (!reason.empty()) {
        text += "\n\n";
        text += reason;
    }
    AfxMessageBox(text.c_str(), MB_OK, 0);
}
