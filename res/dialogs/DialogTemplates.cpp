// The dialog templates of the program: every control with its id, class, text, styles and
// rectangle in dialog units, in template (tab) order.

#include <array>

#include "platform/framework/DialogTemplate.h"
#include "res/ids/Resource.h"

// Marks a text for the translation catalogues (their extraction tool knows this name); the
// window framework looks each text up in the user's language when it builds the dialog.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr const char* kFont = "MS Sans Serif";

constexpr std::array kMainWindowControls = {
    DialogControlTemplate{IDC_SCAN, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "&Scan"),
                          kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 310, 165, 50, 14},
    DialogControlTemplate{IDOK, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "E&xit"),
                          kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 370, 165, 50, 14},
    DialogControlTemplate{IDC_MODULE_LIST, ControlClass::ListView, "",
                          kChild | LVS_REPORT | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP, 0, 7, 7,
                          413, 154},
    DialogControlTemplate{IDC_ADVANCED_OPTIONS, ControlClass::Button,
                          QT_TRANSLATE_NOOP("Dialog", "&Advanced Options"),
                          kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 10, 165, 75, 14},
    DialogControlTemplate{IDC_WINK, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "&Wink"),
                          kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 250, 165, 50, 14},
    // Hidden and disabled: the File command has no visible trigger.
    DialogControlTemplate{IDC_FILE, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "File"),
                          WS_CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED, 0, 191, 165, 50,
                          14},
};

constexpr std::array kEthernetConfigControls = {
    DialogControlTemplate{IDOK, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "&Set"),
                          kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 194, 217, 50, 14},
    DialogControlTemplate{IDCANCEL, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "Cancel"),
                          kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 250, 217, 50, 14},
    DialogControlTemplate{IDC_STATIC, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "&IP address:"), kChild | SS_LEFT, 0, 12, 17,
                          36, 8},
    DialogControlTemplate{IDC_IP_ADDRESS, ControlClass::IpAddress, "", kChild | WS_TABSTOP, 0, 71,
                          15, 100, 15},
    DialogControlTemplate{IDC_STATIC, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "S&ubnet mask:"), kChild | SS_LEFT, 0, 11, 40,
                          44, 8},
    DialogControlTemplate{IDC_SUBNET_MASK, ControlClass::IpAddress, "", kChild | WS_TABSTOP, 0, 71,
                          38, 100, 15},
    DialogControlTemplate{IDC_STATIC, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "Default &gateway:"), kChild | SS_LEFT, 0, 11,
                          63, 54, 8},
    DialogControlTemplate{IDC_DEFAULT_GATEWAY, ControlClass::IpAddress, "", kChild | WS_TABSTOP, 0,
                          71, 61, 100, 15},
    DialogControlTemplate{IDC_STATIC, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "P&rimary DNS:"), kChild | SS_LEFT, 0, 10, 86,
                          43, 8},
    DialogControlTemplate{IDC_PRIMARY_DNS, ControlClass::IpAddress, "", kChild | WS_TABSTOP, 0, 71,
                          84, 100, 15},
    DialogControlTemplate{IDC_STATIC, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "Secon&dary DNS:"), kChild | SS_LEFT, 0, 10,
                          109, 54, 8},
    DialogControlTemplate{IDC_SECONDARY_DNS, ControlClass::IpAddress, "", kChild | WS_TABSTOP, 0,
                          71, 107, 100, 15},
    DialogControlTemplate{IDC_STATIC, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "&Hostname:"), kChild | SS_LEFT, 0, 10, 132,
                          35, 8},
    DialogControlTemplate{IDC_HOSTNAME, ControlClass::Edit, "",
                          kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 71, 130,
                          100, 14},
    DialogControlTemplate{IDC_STATIC, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "&Password:"), kChild | SS_LEFT, 0, 10, 155,
                          34, 8},
    DialogControlTemplate{IDC_PASSWORD, ControlClass::Edit, "",
                          kChild | ES_LEFT | ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                          0, 71, 152, 100, 14},
    DialogControlTemplate{IDC_STATIC, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "&New password:"), kChild | SS_LEFT, 0, 10,
                          178, 50, 8},
    DialogControlTemplate{IDC_NEW_PASSWORD, ControlClass::Edit, "",
                          kChild | ES_LEFT | ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                          0, 71, 174, 100, 14},
    // The new password once more, so that a typing error cannot lock the user out.
    DialogControlTemplate{IDC_STATIC, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "Confir&m:"), kChild | SS_LEFT, 0, 10, 199,
                          50, 8},
    DialogControlTemplate{IDC_CONFIRM_PASSWORD, ControlClass::Edit, "",
                          kChild | ES_LEFT | ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                          0, 71, 196, 100, 14},
    DialogControlTemplate{IDC_DHCP_GROUP, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "DHCP"),
                          kChild | BS_GROUPBOX, 0, 190, 15, 91, 52},
    DialogControlTemplate{IDC_DHCP_ON, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "&On"),
                          kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 200, 30, 25, 10},
    DialogControlTemplate{IDC_DHCP_OFF, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "O&ff"),
                          kChild | BS_AUTORADIOBUTTON, 0, 200, 48, 25, 10},
    DialogControlTemplate{IDC_CHANGE_PASSWORD, ControlClass::Button,
                          QT_TRANSLATE_NOOP("Dialog", "&Change password"),
                          kChild | BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 0, 190, 155, 73, 10},
    // An empty new password is sent only when this is ticked.
    DialogControlTemplate{
        IDC_REMOVE_PASSWORD, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "Remo&ve password"),
        kChild | BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, 0, 190, 176, 100, 10},
    DialogControlTemplate{IDC_STATIC, ControlClass::Button,
                          QT_TRANSLATE_NOOP("Dialog", "Ethernet configuration"),
                          kChild | BS_GROUPBOX, 0, 5, 5, 295, 208},
};

constexpr std::array kAdvancedSettingsControls = {
    DialogControlTemplate{IDOK, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "OK"),
                          kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 5, 130, 50, 14},
    DialogControlTemplate{IDCANCEL, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "Cancel"),
                          kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 130, 130, 50, 14},
    // What the running server has answered and found on its links (empty while it is off).
    DialogControlTemplate{IDC_DHCP_SERVER_ACTIVITY, ControlClass::Static, "",
                          kChild | SS_LEFT | SS_NOPREFIX, 0, 5, 70, 175, 55},
    DialogControlTemplate{IDC_STATIC, ControlClass::Button,
                          QT_TRANSLATE_NOOP("Dialog", "Internal DHCP server"), kChild | BS_GROUPBOX,
                          0, 5, 5, 175, 60},
    DialogControlTemplate{
        IDC_STATIC, ControlClass::Static,
        QT_TRANSLATE_NOOP("Dialog",
                          "Warning! Internal DHCP server should only be used to recover modules "
                          "that have been set to DHCP by mistake."),
        kChild | SS_LEFT, 0, 10, 15, 165, 30},
    DialogControlTemplate{IDC_ENABLE_DHCP_SERVER, ControlClass::Button,
                          QT_TRANSLATE_NOOP("Dialog", "&Enable internal DHCP server"),
                          kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 50, 165, 10},
};

constexpr std::array kAboutControls = {
    DialogControlTemplate{IDC_STATIC, ControlClass::Static, "#128", kChild | SS_ICON, 0, 11, 17, 20,
                          20},
    DialogControlTemplate{IDC_VERSION_TEXT, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "Application"),
                          kChild | SS_LEFT | SS_NOPREFIX, 0, 40, 10, 119, 8},
    DialogControlTemplate{IDC_COPYRIGHT_TEXT, ControlClass::Static,
                          QT_TRANSLATE_NOOP("Dialog", "Copyright (C) 2026"), kChild | SS_LEFT, 0,
                          40, 25, 167, 8},
    DialogControlTemplate{IDOK, ControlClass::Button, QT_TRANSLATE_NOOP("Dialog", "OK"),
                          kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 178, 7, 50, 14},
};

constexpr DWORD kModalDialogStyle = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

const DialogTemplate kTemplates[] = {
    {IDD_ORDVANE_DIALOG, QT_TRANSLATE_NOOP("Dialog", "Application name"),
     DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
         WS_MAXIMIZEBOX,
     WS_EX_APPWINDOW, 431, 185, kFont, 8, kMainWindowControls},
    {IDD_ETHERNET_CONFIG, QT_TRANSLATE_NOOP("Dialog", "Dialog"), kModalDialogStyle, 0, 307, 236,
     kFont, 8, kEthernetConfigControls},
    {IDD_ADVANCED_SETTINGS, QT_TRANSLATE_NOOP("Dialog", "Advanced Settings"), kModalDialogStyle, 0,
     186, 150, kFont, 8, kAdvancedSettingsControls},
    {IDD_ABOUTBOX, QT_TRANSLATE_NOOP("Dialog", "About"), kModalDialogStyle, 0, 235, 55, kFont, 8,
     kAboutControls},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(UINT id) {
    for (const DialogTemplate& dialogTemplate : kTemplates) {
        if (dialogTemplate.id == id) {
            return &dialogTemplate;
        }
    }
    return nullptr;
}
