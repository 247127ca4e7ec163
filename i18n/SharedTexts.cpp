// Not compiled: the window's texts that are defined as constants in code without Qt (shared
// with the command line), listed here with the context the window looks them up in, so that the
// catalogues' extraction finds them. tests/ui/TranslationTest.cpp checks that each constant has
// its German translation, so a constant changed without this list is noticed.

QT_TRANSLATE_NOOP("SharedText", "Illegal hostname! Only a-z, A-Z and 0-9 allowed.")
QT_TRANSLATE_NOOP("SharedText", "Last digit of IP address can not be 255.")
QT_TRANSLATE_NOOP("SharedText", "Device does not support wink.")
QT_TRANSLATE_NOOP("SharedText", "DHCP server init failed")
QT_TRANSLATE_NOOP("ModuleColumns", "IP")
QT_TRANSLATE_NOOP("ModuleColumns", "SN")
QT_TRANSLATE_NOOP("ModuleColumns", "GW")
QT_TRANSLATE_NOOP("ModuleColumns", "DHCP")
QT_TRANSLATE_NOOP("ModuleColumns", "Version")
QT_TRANSLATE_NOOP("ModuleColumns", "Type")
QT_TRANSLATE_NOOP("ModuleColumns", "MAC")
QT_TRANSLATE_NOOP("CScanDlg",
                  "Two devices claim this module's MAC address, so nothing was sent. Remove the "
                  "other device and scan again.")
QT_TRANSLATE_NOOP("SharedText", " - recovery DHCP server on")
QT_TRANSLATE_NOOP("SharedText",
                  "only members of the group ordvane may open port 67; ask an administrator to "
                  "run \"sudo adduser %1 ordvane\", then log out and in again")
QT_TRANSLATE_NOOP("CScanDlg",
                  "Nothing was sent: this module asked for hashed passwords before and now asks "
                  "for its password in plain text. Another device may be answering in its name.")
