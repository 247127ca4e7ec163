// The Ethernet configuration dialog driven as a user would: what it shows for known and
// unknown values, the two refusals of "Set" and their order, the length limits, and the
// "Change password" box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <string>
#include <vector>

#include "platform/framework/CButton.h"
#include "platform/framework/CEdit.h"
#include "platform/framework/CIPAddressCtrl.h"
#include "platform/framework/CWinApp.h"
#include "res/ids/Resource.h"
#include "tests/dialogs/DialogScript.h"
#include "ui/EthernetConfigDlg.h"

using ordvane::CEthernetConfigDlg;

namespace {

using ordvane::framework::ModalScript;
using ordvane::framework::PressButton;
using ordvane::framework::TypeText;
using ordvane::testing::ControlText;
using ordvane::testing::RunScripted;
using Script = std::function<void(CEthernetConfigDlg&)>;

constexpr const char* kIllegalHostname = "Illegal hostname! Only a-z, A-Z and 0-9 allowed.";
constexpr const char* kLastDigit255 = "Last digit of IP address can not be 255.";

// A module that reported everything.
void FillKnown(CEthernetConfigDlg& dialog) {
    dialog.m_caption = "Configure: 0A-51-4D-00-00-2A";
    dialog.m_ipAddress = 0xC0A8010A;  // 192.168.1.10
    dialog.m_subnetMask = 0xFFFFFF00;
    dialog.m_gateway = 0xC0A80101;
    dialog.m_primaryDns = 0x08080808;
    dialog.m_secondaryDns = 0x08080404;
    dialog.m_ipAddressKnown = 1;
    dialog.m_subnetMaskKnown = 1;
    dialog.m_gatewayKnown = 1;
    dialog.m_primaryDnsKnown = 1;
    dialog.m_secondaryDnsKnown = 1;
    std::strcpy(dialog.m_hostname, "plant7");
    dialog.m_hostnameKnown = 1;
    dialog.m_dhcpChoice = 1;
    dialog.m_passwordEnabled = 1;
}

// A module that reported nothing.
void FillUnknown(CEthernetConfigDlg& dialog) {
    dialog.m_caption = "Configure: 0A-51-4D-00-00-01";
    dialog.m_ipAddress = 0x01020304;  // stale values behind unknown flags
    dialog.m_subnetMask = 0x01020304;
    dialog.m_gateway = 0x01020304;
    dialog.m_primaryDns = 0x01020304;
    dialog.m_secondaryDns = 0x01020304;
    std::strcpy(dialog.m_hostname, "stale");
    dialog.m_dhcpChoice = 1;
    dialog.m_passwordEnabled = 0;
}

CIPAddressCtrl& Address(CEthernetConfigDlg& dialog, int id) {
    return *static_cast<CIPAddressCtrl*>(dialog.GetDlgItem(id));
}

CEdit& Edit(CEthernetConfigDlg& dialog, int id) {
    return *static_cast<CEdit*>(dialog.GetDlgItem(id));
}

void SetText(CEthernetConfigDlg& dialog, int id, const char* text) {
    dialog.GetDlgItem(id)->SetWindowText(text);
}

constexpr int kAddressIds[] = {IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_DEFAULT_GATEWAY,
                               IDC_PRIMARY_DNS, IDC_SECONDARY_DNS};

TEST(EthernetConfigDlg, ShowsKnownValuesWithPasswordWritableAndNewPasswordReadOnly) {
    CEthernetConfigDlg dialog;
    FillKnown(dialog);
    ModalScript script;
    const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [](auto& shown) {
        CString caption;
        shown.GetWindowText(caption);
        EXPECT_EQ(caption.Str(), "Configure: 0A-51-4D-00-00-2A");
        DWORD address = 0;
        Address(shown, IDC_IP_ADDRESS).GetAddress(address);
        EXPECT_EQ(address, 0xC0A8010Au);
        Address(shown, IDC_SECONDARY_DNS).GetAddress(address);
        EXPECT_EQ(address, 0x08080404u);
        for (int id : kAddressIds) {
            EXPECT_TRUE(shown.GetDlgItem(id)->IsWindowEnabled()) << id;
        }
        EXPECT_EQ(ControlText(shown, IDC_HOSTNAME), "plant7");
        EXPECT_FALSE(Edit(shown, IDC_PASSWORD).IsReadOnly());
        EXPECT_TRUE(Edit(shown, IDC_NEW_PASSWORD).IsReadOnly());
        EXPECT_EQ(static_cast<CButton*>(shown.GetDlgItem(IDC_DHCP_OFF))->GetCheck(), BST_CHECKED);
        EXPECT_EQ(static_cast<CButton*>(shown.GetDlgItem(IDC_CHANGE_PASSWORD))->GetCheck(),
                  BST_UNCHECKED);
        TypeText(Edit(shown, IDC_PASSWORD), "secret");
        QDir().mkpath(ORDVANE_SCREENSHOT_DIR);
        shown.GetWidget()->grab().save(ORDVANE_SCREENSHOT_DIR "/ethernet-configuration.png");
        PressButton(shown, IDC_DHCP_ON);
        PressButton(shown, IDOK);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_ipAddress, 0xC0A8010Au);
    EXPECT_EQ(dialog.m_subnetMask, 0xFFFFFF00u);
    EXPECT_EQ(dialog.m_gateway, 0xC0A80101u);
    EXPECT_EQ(dialog.m_primaryDns, 0x08080808u);
    EXPECT_EQ(dialog.m_secondaryDns, 0x08080404u);
    EXPECT_STREQ(dialog.m_hostname, "plant7");
    EXPECT_STREQ(dialog.m_password, "secret");
    EXPECT_STREQ(dialog.m_newPassword, "");
    EXPECT_EQ(dialog.m_dhcpChoice, 0);
    EXPECT_EQ(dialog.m_changePassword, 0);
    EXPECT_TRUE(script.MessageBoxes().empty());
}

TEST(EthernetConfigDlg, UnknownValuesAreEmptyDisabledAndComeBackAsZero) {
    CEthernetConfigDlg dialog;
    FillUnknown(dialog);
    ModalScript script;
    const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [](auto& shown) {
        for (int id : kAddressIds) {
            EXPECT_TRUE(Address(shown, id).IsBlank()) << id;
            EXPECT_FALSE(shown.GetDlgItem(id)->IsWindowEnabled()) << id;
        }
        EXPECT_FALSE(shown.GetDlgItem(IDC_HOSTNAME)->IsWindowEnabled());
        EXPECT_EQ(ControlText(shown, IDC_HOSTNAME), "");
        EXPECT_TRUE(Edit(shown, IDC_PASSWORD).IsReadOnly());
        TypeText(Edit(shown, IDC_PASSWORD), "ignored");
        EXPECT_EQ(ControlText(shown, IDC_PASSWORD), "");
        // The radios and the check box stay usable.
        EXPECT_TRUE(shown.GetDlgItem(IDC_DHCP_ON)->IsWindowEnabled());
        EXPECT_TRUE(shown.GetDlgItem(IDC_CHANGE_PASSWORD)->IsWindowEnabled());
        PressButton(shown, IDOK);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_ipAddress, 0u);
    EXPECT_EQ(dialog.m_subnetMask, 0u);
    EXPECT_EQ(dialog.m_gateway, 0u);
    EXPECT_EQ(dialog.m_primaryDns, 0u);
    EXPECT_EQ(dialog.m_secondaryDns, 0u);
    EXPECT_STREQ(dialog.m_hostname, "");
    EXPECT_STREQ(dialog.m_password, "");
    EXPECT_TRUE(script.MessageBoxes().empty());
}

TEST(EthernetConfigDlg, SetRefusesTheHostnameBeforeTheLastOctetAndStaysOpen) {
    CEthernetConfigDlg dialog;
    FillKnown(dialog);
    ModalScript script;
    const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
        // Both faults: only the hostname message.
        SetText(shown, IDC_HOSTNAME, "plant 7");
        Address(shown, IDC_IP_ADDRESS).SetAddress(10, 0, 0, 255);
        PressButton(shown, IDOK);
        ASSERT_EQ(script.MessageBoxes().size(), 1u);
        EXPECT_TRUE(shown.IsModalRunning());
        EXPECT_EQ(ControlText(shown, IDC_HOSTNAME), "plant 7");  // input left as typed

        for (const char* hostname : {"plant-7", "plant.7", "plant_7"}) {
            SetText(shown, IDC_HOSTNAME, hostname);
            PressButton(shown, IDOK);
            EXPECT_TRUE(shown.IsModalRunning()) << hostname;
        }
        ASSERT_EQ(script.MessageBoxes().size(), 4u);
        for (const auto& box : script.MessageBoxes()) {
            EXPECT_EQ(box.text, kIllegalHostname);
        }

        // An empty hostname passes; now the address is refused.
        SetText(shown, IDC_HOSTNAME, "");
        PressButton(shown, IDOK);
        ASSERT_EQ(script.MessageBoxes().size(), 5u);
        EXPECT_EQ(script.MessageBoxes().back().text, kLastDigit255);
        EXPECT_TRUE(shown.IsModalRunning());

        Address(shown, IDC_IP_ADDRESS).SetAddress(10, 0, 0, 254);
        PressButton(shown, IDOK);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(script.MessageBoxes().size(), 5u);
    for (const auto& box : script.MessageBoxes()) {
        EXPECT_EQ(box.caption, AfxGetAppName());
        EXPECT_EQ(box.type, MB_OK);  // OK button only, no icon
    }
    EXPECT_EQ(dialog.m_ipAddress, 0x0A0000FEu);
    EXPECT_STREQ(dialog.m_hostname, "");
}

TEST(EthernetConfigDlg, AddressesEndingInZeroOrBlankAreAccepted) {
    for (bool blank : {false, true}) {
        CEthernetConfigDlg dialog;
        FillKnown(dialog);
        dialog.m_dhcpChoice = 0;  // the check applies with DHCP on as well
        ModalScript script;
        const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
            if (blank) {
                Address(shown, IDC_IP_ADDRESS).ClearAddress();
            } else {
                Address(shown, IDC_IP_ADDRESS).SetAddress(10, 1, 2, 0);
            }
            PressButton(shown, IDOK);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(script.MessageBoxes().empty());
        EXPECT_EQ(dialog.m_ipAddress, blank ? 0u : 0x0A010200u);
    }
}

TEST(EthernetConfigDlg, LongHostnamePassesAndComesBackCutTo29) {
    CEthernetConfigDlg dialog;
    FillKnown(dialog);
    const std::string typed(40, 'h');
    ModalScript script;
    const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
        SetText(shown, IDC_HOSTNAME, "");
        TypeText(Edit(shown, IDC_HOSTNAME), typed.c_str());
        EXPECT_EQ(ControlText(shown, IDC_HOSTNAME), typed);  // the edit itself has no limit
        PressButton(shown, IDOK);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_TRUE(script.MessageBoxes().empty());
    EXPECT_EQ(std::string(dialog.m_hostname), std::string(29, 'h'));
}

std::string Repeated(const std::string& character, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += character;
    }
    return text;
}

// The edits' limit and the check on "Set" count the same characters, whatever their size in
// UTF-8: 29 of them pass without a message, the hostname is still checked, and "Change
// password" still follows its box.
TEST(EthernetConfigDlg, PasswordEditsTake29CharactersOfAnySize) {
    for (const std::string character : {"p", "\u00e9", "\u20ac", "\U0001F511"}) {
        SCOPED_TRACE(character);
        const std::string typed = Repeated(character, 36);
        const std::string kept = Repeated(character, 29);
        CEthernetConfigDlg dialog;
        FillKnown(dialog);
        ModalScript script;
        const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
            PressButton(shown, IDC_CHANGE_PASSWORD);
            TypeText(Edit(shown, IDC_PASSWORD), typed.c_str());
            TypeText(Edit(shown, IDC_NEW_PASSWORD), typed.c_str());
            TypeText(Edit(shown, IDC_CONFIRM_PASSWORD), typed.c_str());
            EXPECT_EQ(ControlText(shown, IDC_PASSWORD), kept);
            EXPECT_EQ(ControlText(shown, IDC_NEW_PASSWORD), kept);
            SetText(shown, IDC_HOSTNAME, "plant 7");
            PressButton(shown, IDOK);
            EXPECT_TRUE(shown.IsModalRunning());
            PressButton(shown, IDC_CHANGE_PASSWORD);
            EXPECT_TRUE(Edit(shown, IDC_NEW_PASSWORD).IsReadOnly());
            PressButton(shown, IDC_CHANGE_PASSWORD);
            EXPECT_FALSE(Edit(shown, IDC_NEW_PASSWORD).IsReadOnly());
            SetText(shown, IDC_HOSTNAME, "plant7");
            PressButton(shown, IDOK);
        });
        ASSERT_EQ(result, IDOK);
        ASSERT_EQ(script.MessageBoxes().size(), 1u);
        EXPECT_EQ(script.MessageBoxes()[0].text, kIllegalHostname);
        EXPECT_EQ(std::string(dialog.m_password), kept);
        EXPECT_EQ(std::string(dialog.m_newPassword), kept);
        EXPECT_EQ(dialog.m_changePassword, 1);
    }
}

TEST(EthernetConfigDlg, ChangePasswordTogglesTheNewPasswordEditAndKeepsItsText) {
    CEthernetConfigDlg dialog;
    FillKnown(dialog);
    ModalScript script;
    const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
        CEdit& newPassword = Edit(shown, IDC_NEW_PASSWORD);
        PressButton(shown, IDC_CHANGE_PASSWORD);
        EXPECT_FALSE(newPassword.IsReadOnly());
        TypeText(newPassword, "fresh");
        PressButton(shown, IDC_CHANGE_PASSWORD);
        EXPECT_TRUE(newPassword.IsReadOnly());
        EXPECT_EQ(ControlText(shown, IDC_NEW_PASSWORD), "fresh");
        TypeText(newPassword, "more");
        EXPECT_EQ(ControlText(shown, IDC_NEW_PASSWORD), "fresh");
        PressButton(shown, IDC_CHANGE_PASSWORD);
        EXPECT_FALSE(newPassword.IsReadOnly());
        EXPECT_EQ(ControlText(shown, IDC_NEW_PASSWORD), "fresh");
        PressButton(shown, IDC_CHANGE_PASSWORD);  // unchecked again when "Set" is pressed
        PressButton(shown, IDOK);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_changePassword, 0);
    EXPECT_STREQ(dialog.m_newPassword, "fresh");  // handed back, but not to be sent
}

// Keys as a user types them into the window's focused widget: '\t' is Tab, '\b' Shift+Tab,
// '\v' pastes (Ctrl+V).
void TypeKeys(CWnd& window, const std::string& keys) {
    for (const char key : keys) {
        QWidget* focused = window.GetWidget()->focusWidget();
        ASSERT_NE(focused, nullptr) << "no focus before '" << key << "'";
        if (key == '\t') {
            QTest::keyClick(focused, Qt::Key_Tab);
        } else if (key == '\b') {
            QTest::keyClick(focused, Qt::Key_Backtab, Qt::ShiftModifier);
        } else if (key == '\v') {
            QTest::keyClick(focused, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClick(focused, key);
        }
    }
}

std::string ShownAddress(CEthernetConfigDlg& dialog, int id) {
    QStringList fields;
    for (int i = 0; i < 4; ++i) {
        fields << dialog.GetDlgItem(id)
                      ->GetWidget()
                      ->findChild<QLineEdit*>(QStringLiteral("field%1").arg(i))
                      ->text();
    }
    return fields.join(QLatin1Char('.')).toStdString();
}

TEST(EthernetConfigDlg, AddressControlsKeepWhatIsTypedAndSetSendsWhatIsShown) {
    struct Case {
        const char* keys;  // typed from the cleared IP address control
        const char* clipboard;
        const char* shownIp;
        DWORD sentIp;
        DWORD sentMask;
        const char* hostname;
        std::vector<std::string> messages;
    };
    const std::string over255 =
        "300 is not a valid entry. Please specify a value between 0 and 255.";
    const Case cases[] = {
        // The dot right after the jump that three digits make is swallowed.
        {"192.168.1.10", "", "192.168.1.10", 0xC0A8010A, 0xFFFFFF00, "", {}},
        {"1.2.3.4", "", "1.2.3.4", 0x01020304, 0xFFFFFF00, "", {}},
        // One tab stop per control: five presses from the IP address to the hostname.
        {"10.0.0.1\t255.255.0.0\t\t\t\tplant9",
         "",
         "10.0.0.1",
         0x0A000001,
         0xFFFF0000,
         "plant9",
         {}},
        // Shift+Tab from the next control comes back to the first field.
        {"\t\b7.7.7.7", "", "7.7.7.7", 0x07070707, 0xFFFFFF00, "", {}},
        // Over 255: clamped where it is typed, with a message, and "Set" sends what is shown.
        {"300.1.1.1", "", "255.1.1.1", 0xFF010101, 0xFFFFFF00, "", {over255}},
        {"\v", "10.20.30.40", "10.20.30.40", 0x0A141E28, 0xFFFFFF00, "", {}},
        {"\v", " 10.20.300.4\n", "10.20.255.4", 0x0A14FF04, 0xFFFFFF00, "", {over255}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.keys);
        QApplication::clipboard()->setText(QString::fromUtf8(test.clipboard));
        CEthernetConfigDlg dialog;
        FillKnown(dialog);
        ModalScript script;
        const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
            SetText(shown, IDC_HOSTNAME, "");
            Address(shown, IDC_IP_ADDRESS).ClearAddress();
            Address(shown, IDC_IP_ADDRESS).SetFieldFocus(0);
            TypeKeys(shown, test.keys);
            EXPECT_EQ(ShownAddress(shown, IDC_IP_ADDRESS), test.shownIp);
            PressButton(shown, IDOK);
        });
        ASSERT_EQ(result, IDOK);
        EXPECT_EQ(dialog.m_ipAddress, test.sentIp);
        EXPECT_EQ(dialog.m_subnetMask, test.sentMask);
        EXPECT_STREQ(dialog.m_hostname, test.hostname);
        std::vector<std::string> messages;
        for (const auto& box : script.MessageBoxes()) {
            messages.push_back(box.text);
        }
        EXPECT_EQ(messages, test.messages);
    }
}

// A read-only edit is filled with the dialog's face, a writable one with the field colour, and
// the New password edit changes with "Change password".
TEST(EthernetConfigDlg, ReadOnlyEditsLookReadOnly) {
    CEthernetConfigDlg dialog;
    FillKnown(dialog);
    ModalScript script;
    RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
        const QColor face = shown.GetWidget()->palette().color(QPalette::Window);
        const QColor field = shown.GetWidget()->palette().color(QPalette::Base);
        ASSERT_NE(face, field);
        const auto filling = [&](int id) {
            QWidget* edit = shown.GetDlgItem(id)->GetWidget();
            return QColor(edit->grab().toImage().pixel(edit->width() - 5, edit->height() / 2));
        };
        EXPECT_EQ(filling(IDC_PASSWORD), field);
        EXPECT_EQ(filling(IDC_NEW_PASSWORD), face);
        PressButton(shown, IDC_CHANGE_PASSWORD);
        EXPECT_EQ(filling(IDC_NEW_PASSWORD), field);
        PressButton(shown, IDC_CHANGE_PASSWORD);
        EXPECT_EQ(filling(IDC_NEW_PASSWORD), face);
        PressButton(shown, IDCANCEL);
    });
    dialog.m_passwordEnabled = 0;
    RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
        QWidget* edit = shown.GetDlgItem(IDC_PASSWORD)->GetWidget();
        EXPECT_EQ(QColor(edit->grab().toImage().pixel(edit->width() - 5, edit->height() / 2)),
                  shown.GetWidget()->palette().color(QPalette::Window));
        PressButton(shown, IDCANCEL);
    });
}

TEST(EthernetConfigDlg, CancelEndsWithoutValidating) {
    CEthernetConfigDlg dialog;
    FillKnown(dialog);
    ModalScript script;
    const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
        SetText(shown, IDC_HOSTNAME, "not valid!");
        PressButton(shown, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(script.MessageBoxes().empty());
}

}  // namespace

// A new password is sent only when typed twice alike, or empty when "Remove password" is ticked
// (which "Change password" offers); otherwise "Set" says what is wrong and the dialog stays.
TEST(EthernetConfigDlg, ANewPasswordIsTypedTwiceOrItsRemovalChosen) {
    struct Case {
        const char* newPassword;
        const char* confirmation;
        bool remove;
        const char* message;  // nullptr: Set closes the dialog
        const char* sent;
    };
    const Case cases[] = {
        {"fresh1", "fresh1", false, nullptr, "fresh1"},
        {"fresh1", "fresh2", false,
         "The two new passwords differ. Type the same new password in both fields.", nullptr},
        {"", "", false,
         "Type the new password in both fields, or tick \"Remove password\" to remove the "
         "module's password.",
         nullptr},
        {"", "", true, nullptr, ""},
        {"fresh1", "fresh1", true, nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.newPassword << "/" << c.confirmation << c.remove);
        CEthernetConfigDlg dialog;
        FillKnown(dialog);
        ModalScript script;
        const INT_PTR result = RunScripted<CEthernetConfigDlg>(dialog, script, [&](auto& shown) {
            EXPECT_FALSE(shown.GetDlgItem(IDC_REMOVE_PASSWORD)->IsWindowEnabled());
            PressButton(shown, IDC_CHANGE_PASSWORD);
            TypeText(Edit(shown, IDC_NEW_PASSWORD), c.newPassword);
            TypeText(Edit(shown, IDC_CONFIRM_PASSWORD), c.confirmation);
            if (c.remove) {
                PressButton(shown, IDC_REMOVE_PASSWORD);
                EXPECT_TRUE(Edit(shown, IDC_CONFIRM_PASSWORD).IsReadOnly());
            }
            PressButton(shown, IDOK);
        });
        if (c.message != nullptr) {
            EXPECT_EQ(result, IDCANCEL) << "still open after Set";
            ASSERT_EQ(script.MessageBoxes().size(), 1u);
            EXPECT_EQ(script.MessageBoxes()[0].text, c.message);
            continue;
        }
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(script.MessageBoxes().empty());
        EXPECT_EQ(dialog.m_changePassword, 1);
        EXPECT_EQ(std::string(dialog.m_newPassword), c.sent);
    }
}
