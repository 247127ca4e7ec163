// The Configure and Wink commands end to end: the real module table, the real dialog scripted
// as a user, libzeva.so and quillmor-sim over loopback. What reached the modules is read from
// the emulator's output lines.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "journal/JournalReader.h"
#include "modlist/CModuleListCtrl.h"
#include "modlist/ModuleColumns.h"
#include "modsvc/ModuleService.h"
#include "platform/AddressText.h"
#include "platform/framework/CButton.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CEdit.h"
#include "platform/framework/CIPAddressCtrl.h"
#include "platform/framework/CWinApp.h"
#include "res/ids/Resource.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestListDialog.h"
#include "ui/ConfigureCommand.h"
#include "ui/EthernetConfigDlg.h"
#include "ui/WinkCommand.h"

namespace {

using ordvane::framework::ModalScript;
using ordvane::framework::PressButton;
using ordvane::framework::PumpEventsUntil;
using ordvane::framework::TypeText;
using ordvane::testing::ControlText;
using ordvane::testing::SimProcess;

const std::string kLongHostname(40, 'h');

// Plain 01 and hashed 02 for configuring and winking (1.10 and 1.9), plain 03 for the wrong
// password, 04 for Cancel.
const std::string kFleet =
    "mac,service,type,firmware,ip,mask,gateway,dhcp,hostname,dns1,dns2,hashed,password\n"
    "0A-51-4D-00-00-01,1.10,QM-240,2.7.1,10.20.30.40,255.255.255.0,10.20.30.1,0,lineone,"
    "10.20.30.53,10.20.30.54,0,secret\n"
    "0A-51-4D-00-00-02,1.9,,,10.20.31.7,,,,\"" +
    kLongHostname +
    "\",,,1,opensesame\n"
    "0A-51-4D-00-00-03,2.0,,,10.20.32.1,255.255.0.0,,1,three,,,0,right\n"
    "0A-51-4D-00-00-04,2.3,,,10.20.33.1,255.255.0.0,,0,four,,,0,\n";
constexpr int kModuleCount = 4;

std::atomic<int> g_rescanEvents{0};
std::atomic<int> g_invalidPasswordEvents{0};

void CountEvents(int code) {
    if (code == ZEVA_EVENT_RESCAN) {
        ++g_rescanEvents;
    } else if (code == ZEVA_EVENT_INVALID_PASSWORD) {
        ++g_invalidPasswordEvents;
    }
}

using TableDialog = ordvane::testing::TestListDialog<ordvane::CModuleListCtrl>;

class ModuleCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new ordvane::testing::TemporaryFolder;
        const std::string fleetPath = s_folder->Write("fleet.csv", kFleet);
        ASSERT_FALSE(fleetPath.empty());
        s_sim = new SimProcess({"--fleet", fleetPath});
        ASSERT_TRUE(s_sim->WaitReady()) << s_sim->Describe();
        ordvane::testing::PointLibraryAt(*s_sim);
        ZEVA_RegisterCallBack(CountEvents);
        ZEVA_Start();
    }

    static void TearDownTestSuite() {
        delete s_sim;
        s_sim = nullptr;
        delete s_folder;
        s_folder = nullptr;
    }

    void SetUp() override {
        if (s_sim == nullptr) {
            GTEST_SKIP() << "the emulator did not start";
        }
    }

    // Runs body with the module table filled by a fresh scan of the emulated fleet.
    void WithScannedTable(const std::function<void(ordvane::CModuleListCtrl&)>& body) {
        TableDialog dialog;
        ModalScript script;
        script.OnDialog([&](CDialog& shown) {
            if (shown.GetTemplateId() != IDD_ORDVANE_DIALOG) {
                return;
            }
            ASSERT_TRUE(dialog.m_list.CreateColumns(ordvane::kModuleColumnList));
            dialog.m_list.SetDoubleClickCommand(ordvane::RunConfigureCommand);
            ASSERT_TRUE(Scan(dialog.m_list));
            body(dialog.m_list);
            dialog.EndDialog(IDOK);
        });
        dialog.DoModal();
    }

    static bool Scan(ordvane::CModuleListCtrl& list) {
        list.ClearModules();
        ZEVA_SendModuleScan();
        return PumpEventsUntil(
            [&list] {
                ZEVA_ModuleScanResponseType response;
                while (ZEVA_GetResponse(&response) != 0) {
                    list.AddModule(ordvane::ToModuleRecord(response));
                }
                return list.GetItemCount() == kModuleCount;
            },
            10000);
    }

    static int RowOf(ordvane::CModuleListCtrl& list, const char* macText) {
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (list.GetItemText(row, ordvane::kColumnMac) == macText) {
                return row;
            }
        }
        return -1;
    }

    // A double click at the far right of the row, in the last column.
    static void DoubleClickRow(ordvane::CModuleListCtrl& list, int row) {
        CRect rect;
        ASSERT_TRUE(list.GetItemRect(row, &rect, 0));
        list.SendMessage(WM_LBUTTONDBLCLK, 0,
                         MAKELPARAM(static_cast<WORD>(rect.right - 4),
                                    static_cast<WORD>((rect.top + rect.bottom) / 2)));
    }

    static bool ConfiguredMacIs(const ordvane::CModuleListCtrl& list, const char* macText) {
        const std::optional<ordvane::MacAddress> mac = list.GetFleet().ConfiguredMac();
        return mac && mac->Text() == macText;
    }

    static inline SimProcess* s_sim = nullptr;
    static inline ordvane::testing::TemporaryFolder* s_folder = nullptr;
};

CEdit& Edit(CDialog& dialog, int id) {
    return *static_cast<CEdit*>(dialog.GetDlgItem(id));
}

TEST_F(ModuleCommands, ConfiguresAPlainModuleAndTheRescanShowsItsNewAddress) {
    WithScannedTable([&](ordvane::CModuleListCtrl& list) {
        const int rescansBefore = g_rescanEvents.load();
        ModalScript user;
        user.OnDialog([](CDialog& dialog) {
            CString caption;
            dialog.GetWindowText(caption);
            EXPECT_EQ(caption.Str(), "Configure: 0A-51-4D-00-00-01");
            EXPECT_EQ(ControlText(dialog, IDC_HOSTNAME), "lineone");
            EXPECT_FALSE(Edit(dialog, IDC_PASSWORD).IsReadOnly());
            static_cast<CIPAddressCtrl*>(dialog.GetDlgItem(IDC_IP_ADDRESS))
                ->SetAddress(10, 20, 30, 41);
            TypeText(Edit(dialog, IDC_PASSWORD), "secret");
            PressButton(dialog, IDOK);
        });
        DoubleClickRow(list, RowOf(list, "0A-51-4D-00-00-01"));
        ASSERT_EQ(user.Dialogs().size(), 1u);
        EXPECT_EQ(user.Dialogs()[0].result, IDOK);
        EXPECT_TRUE(ConfiguredMacIs(list, "0A-51-4D-00-00-01"));

        ASSERT_TRUE(s_sim->WaitForLines("configure mac=0A-51-4D-00-00-01 ", 1))
            << s_sim->Describe();
        EXPECT_EQ(s_sim->LinesStartingWith("configure mac=0A-51-4D-00-00-01 ")[0],
                  "configure mac=0A-51-4D-00-00-01 ip=10.20.30.41 mask=255.255.255.0 "
                  "gateway=10.20.30.1 dhcp=off dns1=10.20.30.53 dns2=10.20.30.54 "
                  "password=kept hostname=lineone");
        ASSERT_TRUE(PumpEventsUntil([&] { return g_rescanEvents.load() > rescansBefore; }, 10000));
        ASSERT_TRUE(Scan(list));
        const int row = RowOf(list, "0A-51-4D-00-00-01");
        ASSERT_GE(row, 0);
        EXPECT_EQ(list.GetItemText(row, ordvane::kColumnIp), "10.20.30.41");
    });
}

TEST_F(ModuleCommands, ConfiguresAHashedModuleWithUnknownValuesAndANewPassword) {
    WithScannedTable([&](ordvane::CModuleListCtrl& list) {
        ModalScript user;
        user.OnDialog([](CDialog& dialog) {
            EXPECT_EQ(ControlText(dialog, IDC_HOSTNAME), kLongHostname.substr(0, 29));
            for (int id :
                 {IDC_SUBNET_MASK, IDC_DEFAULT_GATEWAY, IDC_PRIMARY_DNS, IDC_SECONDARY_DNS}) {
                EXPECT_FALSE(dialog.GetDlgItem(id)->IsWindowEnabled()) << id;
            }
            EXPECT_EQ(static_cast<CButton*>(dialog.GetDlgItem(IDC_DHCP_OFF))->GetCheck(),
                      BST_CHECKED);  // DHCP not reported: "Off"
            TypeText(Edit(dialog, IDC_PASSWORD), "opensesame");
            PressButton(dialog, IDC_CHANGE_PASSWORD);
            TypeText(Edit(dialog, IDC_NEW_PASSWORD), "fresh1");
            TypeText(Edit(dialog, IDC_CONFIRM_PASSWORD), "fresh1");
            PressButton(dialog, IDOK);
        });
        DoubleClickRow(list, RowOf(list, "0A-51-4D-00-00-02"));
        ASSERT_TRUE(s_sim->WaitForLines("configure mac=0A-51-4D-00-00-02 ", 1))
            << s_sim->Describe();
        EXPECT_EQ(s_sim->LinesStartingWith("configure mac=0A-51-4D-00-00-02 ")[0],
                  "configure mac=0A-51-4D-00-00-02 ip=10.20.31.7 mask=0.0.0.0 gateway=0.0.0.0 "
                  "dhcp=off dns1=0.0.0.0 dns2=0.0.0.0 password=changed hostname=" +
                      kLongHostname.substr(0, 29));
        EXPECT_TRUE(s_sim->LinesStartingWith("reject mac=0A-51-4D-00-00-02").empty());
    });
}

TEST_F(ModuleCommands, AWrongPasswordComesBackAsEventThreeForTheConfiguredModule) {
    WithScannedTable([&](ordvane::CModuleListCtrl& list) {
        const int invalidBefore = g_invalidPasswordEvents.load();
        ModalScript user;
        user.OnDialog([](CDialog& dialog) {
            TypeText(Edit(dialog, IDC_PASSWORD), "wrong");
            PressButton(dialog, IDOK);
        });
        DoubleClickRow(list, RowOf(list, "0A-51-4D-00-00-03"));
        ASSERT_TRUE(s_sim->WaitForLines("reject mac=0A-51-4D-00-00-03 reason=wrong-password", 1))
            << s_sim->Describe();
        ASSERT_TRUE(
            PumpEventsUntil([&] { return g_invalidPasswordEvents.load() > invalidBefore; }, 10000));
        BYTE queued[6] = {};
        ASSERT_EQ(ZEVA_GetInvPswdMacId(queued), 1);
        EXPECT_EQ(list.GetFleet().ConfiguredMac(), ordvane::MacAddress::FromBytes(queued));
        ZEVA_RemoveFirstInvPswdMacId();
    });
}

TEST_F(ModuleCommands, CancelAndClicksBelowTheRowsSendNothing) {
    WithScannedTable([&](ordvane::CModuleListCtrl& list) {
        ModalScript user;
        user.OnDialog([](CDialog& dialog) {
            TypeText(Edit(dialog, IDC_PASSWORD), "anything");
            PressButton(dialog, IDCANCEL);
        });
        const bool hadTarget = list.GetFleet().ConfiguredMac().has_value();
        DoubleClickRow(list, RowOf(list, "0A-51-4D-00-00-04"));
        ASSERT_EQ(user.Dialogs().size(), 1u);
        EXPECT_EQ(user.Dialogs()[0].result, IDCANCEL);
        EXPECT_FALSE(ConfiguredMacIs(list, "0A-51-4D-00-00-04"));
        EXPECT_EQ(list.GetFleet().ConfiguredMac().has_value(), hadTarget);

        // Below the last row: no dialog at all.
        CRect last;
        ASSERT_TRUE(list.GetItemRect(list.GetItemCount() - 1, &last, 0));
        list.SendMessage(WM_LBUTTONDBLCLK, 0,
                         MAKELPARAM(20, static_cast<WORD>(last.bottom + 3 * last.Height())));
        EXPECT_EQ(user.Dialogs().size(), 1u);

        // Nothing reached module 04: a wink to it is the first line that names it.
        list.SetItemState(RowOf(list, "0A-51-4D-00-00-04"), LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
        ordvane::RunWinkCommand(list);
        ASSERT_TRUE(s_sim->WaitForLines("wink mac=0A-51-4D-00-00-04", 1)) << s_sim->Describe();
        for (const std::string& line : s_sim->Lines()) {
            if (line.find("0A-51-4D-00-00-04") != std::string::npos) {
                EXPECT_EQ(line, "wink mac=0A-51-4D-00-00-04");
            }
        }
    });
}

TEST_F(ModuleCommands, WinkReachesNewModulesAndRefusesOldOnes) {
    WithScannedTable([&](ordvane::CModuleListCtrl& list) {
        ModalScript user;
        // Nothing selected: nothing happens.
        ordvane::RunWinkCommand(list);
        EXPECT_TRUE(user.MessageBoxes().empty());

        list.SetItemState(RowOf(list, "0A-51-4D-00-00-01"), LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
        ordvane::RunWinkCommand(list);
        ASSERT_TRUE(s_sim->WaitForLines("wink mac=0A-51-4D-00-00-01", 1)) << s_sim->Describe();
        EXPECT_TRUE(user.MessageBoxes().empty());

        list.SetItemState(RowOf(list, "0A-51-4D-00-00-02"), LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
        ordvane::RunWinkCommand(list);
        ASSERT_EQ(user.MessageBoxes().size(), 1u);
        EXPECT_EQ(user.MessageBoxes()[0].text, "Device does not support wink.");
        EXPECT_EQ(user.MessageBoxes()[0].caption, AfxGetAppName());
        EXPECT_EQ(user.MessageBoxes()[0].type, MB_OK);
        EXPECT_EQ(list.GetItemCount(), kModuleCount);
        EXPECT_FALSE(ConfiguredMacIs(list, "0A-51-4D-00-00-02"));
    });
    // The refused wink never reached module 02 (the winks above were sent in order).
    EXPECT_TRUE(s_sim->LinesStartingWith("wink mac=0A-51-4D-00-00-02").empty());
}

// The window's change journal: a configure's line waits for the library's event and carries
// its outcome; a wink's line is written when it is sent; no password reaches the file.
TEST_F(ModuleCommands, JournalsEachConfigureWithItsOutcomeAndEachWink) {
    ordvane::testing::TemporaryFolder state;
    ASSERT_EQ(::setenv("XDG_STATE_HOME", state.Path().c_str(), 1), 0);
    ::setenv("ORDVANE_JOURNAL_SYSLOG", "0", 1);
    WithScannedTable([&](ordvane::CModuleListCtrl& list) {
        const int rescansBefore = g_rescanEvents.load();
        const int invalidBefore = g_invalidPasswordEvents.load();
        ModalScript user;
        user.OnDialog([](CDialog& dialog) {
            CString caption;
            dialog.GetWindowText(caption);
            if (caption.Str() == "Configure: 0A-51-4D-00-00-04") {
                static_cast<CIPAddressCtrl*>(dialog.GetDlgItem(IDC_IP_ADDRESS))
                    ->SetAddress(10, 20, 33, 9);
            } else {
                TypeText(Edit(dialog, IDC_PASSWORD), "Wr0ngSecret");
            }
            PressButton(dialog, IDOK);
        });
        DoubleClickRow(list, RowOf(list, "0A-51-4D-00-00-04"));
        ASSERT_TRUE(PumpEventsUntil([&] { return g_rescanEvents.load() > rescansBefore; }, 10000));
        ordvane::JournalConfigureOutcome(list, ZEVA_EVENT_RESCAN);  // as the main window does
        DoubleClickRow(list, RowOf(list, "0A-51-4D-00-00-03"));
        ASSERT_TRUE(
            PumpEventsUntil([&] { return g_invalidPasswordEvents.load() > invalidBefore; }, 10000));
        ordvane::JournalConfigureOutcome(list, ZEVA_EVENT_INVALID_PASSWORD);
        ZEVA_RemoveFirstInvPswdMacId();
        list.SetItemState(RowOf(list, "0A-51-4D-00-00-01"), LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
        ordvane::RunWinkCommand(list);
    });
    ::unsetenv("XDG_STATE_HOME");

    const std::string path = state.Path() + "/ordvane/changes.jsonl";
    std::FILE* stream = std::fopen(path.c_str(), "r");
    ASSERT_NE(stream, nullptr) << path;
    std::vector<std::string> lines;
    std::string text;
    ordvane::JournalReader reader(stream);
    while (const std::optional<ordvane::ChangeEntry> entry = reader.Next()) {
        std::string line = ordvane::JournalCommandName(entry->command) + std::string(" ") +
                           entry->mac + " " + entry->result;
        for (const ordvane::SettingChange& change : entry->changes) {
            line += " " + std::string(ordvane::ModuleSettingName(change.setting)) + " " +
                    change.before.value_or("-") + ">" + change.after.value_or("-");
        }
        lines.push_back(line);
    }
    std::fclose(stream);
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "configure 0A-51-4D-00-00-04 accepted IP 10.20.33.1>10.20.33.9",
                  "configure 0A-51-4D-00-00-03 refused-password", "wink 0A-51-4D-00-00-01 sent"}));
    std::FILE* raw = std::fopen(path.c_str(), "r");
    ASSERT_NE(raw, nullptr);
    char buffer[4096];
    text.assign(buffer, std::fread(buffer, 1, sizeof buffer, raw));
    std::fclose(raw);
    EXPECT_EQ(text.find("Wr0ngSecret"), std::string::npos) << text;
}

}  // namespace
