#pragma once
// Resource ids: dialog templates, strings, the icon, the system-menu command and control ids.
// Control ids are per dialog; the same number can name different controls in two dialogs.

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_ORDVANE_DIALOG 102
#define IDD_ETHERNET_CONFIG 103
#define IDD_ADVANCED_SETTINGS 134

// Strings.
#define IDS_ABOUTBOX 101

// Icons.
#define IDR_MAINFRAME 128

// The About item of the main window's system menu.
#define IDM_ABOUTBOX 0x0010

// Main window (template 102).
#define IDC_SCAN 1000
#define IDC_ADVANCED_OPTIONS 1001
#define IDC_MODULE_LIST 1002
#define IDC_WINK 1003
#define IDC_FILE 1004

// Commands of the module table's menu (main window). The range up to 32790 is kept for the
// menu's further commands.
#define ID_MODULE_CONFIGURE 32771
#define ID_MODULE_WINK 32772
#define ID_MODULE_COPY 32773
#define ID_MODULE_ABOUT 32774
#define ID_MODULE_RECOVER 32775

// Ethernet configuration (template 103).
#define IDC_IP_ADDRESS 1004
#define IDC_SUBNET_MASK 1005
#define IDC_DEFAULT_GATEWAY 1006
#define IDC_PRIMARY_DNS 1007
#define IDC_DHCP_ON 1008
#define IDC_DHCP_OFF 1009
#define IDC_PASSWORD 1010
#define IDC_NEW_PASSWORD 1011
#define IDC_DHCP_GROUP 1012
#define IDC_CHANGE_PASSWORD 1013
#define IDC_SECONDARY_DNS 1014
#define IDC_HOSTNAME 1015
#define IDC_CONFIRM_PASSWORD 1016
#define IDC_REMOVE_PASSWORD 1017

// Advanced settings (template 134).
#define IDC_ENABLE_DHCP_SERVER 1019
#define IDC_DHCP_SERVER_ACTIVITY 1020

// About box (template 100).
#define IDC_VERSION_TEXT 1014
#define IDC_COPYRIGHT_TEXT 1023
