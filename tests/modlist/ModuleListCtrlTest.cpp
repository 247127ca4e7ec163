// The module table on the real list view (offscreen): rows, their order after every answer,
// column clicks, the header's indicator and the model the view reads.

#include "modlist/CModuleListCtrl.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTableView>
#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ModuleListHost.h"
#include "SampleResponses.h"
#include "modlist/ColumnTextOrder.h"
#include "modlist/ModuleColumns.h"
#include "modlist/ModuleWarnings.h"
#include "platform/ThreadLocale.h"

namespace {

using ordvane::framework::PumpEvents;
using ordvane::samples::SampleResponse;

// Runs body with a module table bound to the main window's list view, its columns created.
void WithModuleList(const std::function<void(ordvane::CModuleListCtrl&)>& body) {
    ordvane::samples::WithModuleList(ordvane::kModuleColumnList, body);
}

std::vector<std::string> ColumnTexts(ordvane::CModuleListCtrl& list, int column) {
    std::vector<std::string> texts;
    for (int item = 0; item < list.GetItemCount(); ++item) {
        texts.push_back(std::string(static_cast<LPCSTR>(list.GetItemText(item, column))));
    }
    return texts;
}

// True when no row sorts after its successor in the control's current sort state.
::testing::AssertionResult RowsAreSorted(ordvane::CModuleListCtrl& list) {
    const std::vector<std::string> texts = ColumnTexts(list, list.GetSortColumn());
    for (std::size_t row = 1; row < texts.size(); ++row) {
        if (ordvane::CompareColumnTexts(texts[row - 1].c_str(), texts[row].c_str(),
                                        list.IsSortAscending() != 0) > 0) {
            return ::testing::AssertionFailure() << "row " << row - 1 << " '" << texts[row - 1]
                                                 << "' before '" << texts[row] << "'";
        }
    }
    return ::testing::AssertionSuccess();
}

int HeaderFormat(ordvane::CModuleListCtrl& list, int column) {
    HDITEM item{};
    item.mask = HDI_FORMAT;
    EXPECT_TRUE(list.GetSortHeader().GetItem(column, &item));
    return item.fmt;
}

void ClickHeader(ordvane::CModuleListCtrl& list, int column) {
    auto* headerView = qobject_cast<QHeaderView*>(list.GetSortHeader().GetWidget());
    ASSERT_NE(headerView, nullptr);
    emit headerView->sectionClicked(column);
}

// A fleet with repeated answers, modules without an address and addresses that only differ
// where text order and numeric order disagree.
std::vector<ZEVA_ModuleScanResponseType> MixedFleet(int count) {
    std::mt19937 generator(7);
    std::vector<ZEVA_ModuleScanResponseType> fleet;
    for (int index = 0; index < count; ++index) {
        const auto serial = static_cast<std::uint32_t>(generator() % static_cast<unsigned>(count));
        ZEVA_ModuleScanResponseType response =
            SampleResponse(serial, 0x0A000000U | (generator() % 300U));
        response.ipAddressValid = serial % 11 == 0 ? 0 : 1;
        response.fwMinor = static_cast<std::uint8_t>(serial % 120);
        response.dhcpValid = serial % 5 == 0 ? 0 : 1;
        response.dhcp = static_cast<std::uint8_t>(serial % 3);
        fleet.push_back(response);
    }
    return fleet;
}

TEST(ModuleListCtrl, RowsAreInSortedOrderAfterEveryAnswer) {
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        std::set<std::uint32_t> seen;
        for (const ZEVA_ModuleScanResponseType& response : MixedFleet(300)) {
            list.AddModule(ordvane::ToModuleRecord(response));
            seen.insert(static_cast<std::uint32_t>(response.macId[4]) << 8 | response.macId[5]);
            ASSERT_TRUE(RowsAreSorted(list));
            ASSERT_EQ(list.GetItemCount(), static_cast<int>(seen.size()));
        }
        EXPECT_EQ(list.GetModuleCount(), list.GetItemCount());
        // The same after a click on another column, and new answers join that order.
        list.SortColumn(ordvane::kColumnVersion, FALSE);
        EXPECT_TRUE(RowsAreSorted(list));
        list.ClearModules();
        for (const ZEVA_ModuleScanResponseType& response : MixedFleet(120)) {
            list.AddModule(ordvane::ToModuleRecord(response));
            ASSERT_TRUE(RowsAreSorted(list));
        }
    });
}

TEST(ModuleListCtrl, RowsFollowTheThreadCollationWhenItChanges) {
    if (!IsValidLocale(1033, LCID_INSTALLED)) {
        GTEST_SKIP() << "en_US.UTF-8 is not installed";
    }
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        list.SortColumn(ordvane::kColumnType, TRUE);
        const char* types[] = {"b-type", "A-type", "a-type", "B type"};
        std::uint32_t serial = 1;
        for (const char* type : types) {
            ZEVA_ModuleScanResponseType response = SampleResponse(serial++, 1);
            std::strcpy(response.moduleType, type);
            list.AddModule(ordvane::ToModuleRecord(response));
        }
        // Byte order: capitals first.
        EXPECT_EQ(ColumnTexts(list, ordvane::kColumnType),
                  (std::vector<std::string>{"A-type", "B type", "a-type", "b-type"}));
        ASSERT_TRUE(SetThreadLocale(1033));
        ZEVA_ModuleScanResponseType response = SampleResponse(serial, 1);
        std::strcpy(response.moduleType, "c-type");
        list.AddModule(ordvane::ToModuleRecord(response));
        EXPECT_TRUE(RowsAreSorted(list));
        EXPECT_EQ(ColumnTexts(list, ordvane::kColumnType).front(), "a-type");
        SetThreadLocale(LOCALE_USER_DEFAULT);
    });
}

TEST(ModuleListCtrl, FirstAnswerPerMacWinsAndAnswersWithoutMacAreStoredOnly) {
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        ZEVA_ModuleScanResponseType withoutMac = SampleResponse(1, 0x0A000001);
        withoutMac.macIdValid = 0;
        list.AddModule(ordvane::ToModuleRecord(withoutMac));
        EXPECT_EQ(list.GetItemCount(), 0);
        EXPECT_EQ(list.GetModuleCount(), 1);
        EXPECT_TRUE(list.GetSortHeader().GetSortColumn() == 0 &&
                    (HeaderFormat(list, 0) & HDF_OWNERDRAW) != 0)
            << "an accepted answer without a row still refreshes the indicator";

        ZEVA_ModuleScanResponseType alsoWithoutMac = SampleResponse(3, 0x0A000005);
        alsoWithoutMac.macIdValid = 0;
        list.AddModule(ordvane::ToModuleRecord(
            alsoWithoutMac));  // one all-zero addressing MAC as the first: dropped
        list.AddModule(ordvane::ToModuleRecord(SampleResponse(2, 0x0A000003)));
        list.AddModule(
            ordvane::ToModuleRecord(SampleResponse(2, 0x0A000004)));  // repeated answer: dropped
        EXPECT_EQ(ColumnTexts(list, ordvane::kColumnIp), std::vector<std::string>{"10.0.0.3"});
        ASSERT_EQ(list.GetModuleCount(), 2);
        EXPECT_EQ(list.GetModuleAt(1)->ipAddress, ordvane::Ipv4Address(0x0A000003U));
        EXPECT_EQ(list.GetModuleAt(2), nullptr);
        EXPECT_EQ(list.GetRowModule(0), list.GetModuleAt(1)) << "a row reaches its module";
        EXPECT_EQ(list.GetRowModule(1), nullptr);

        list.ClearModules();
        EXPECT_EQ(list.GetItemCount(), 0);
        EXPECT_EQ(list.GetModuleCount(), 0);
        list.AddModule(ordvane::ToModuleRecord(SampleResponse(1, 0x0A000002)));
        EXPECT_EQ(ColumnTexts(list, ordvane::kColumnIp), std::vector<std::string>{"10.0.0.2"});
        EXPECT_EQ(list.GetItemText(0, ordvane::kColumnMac), "00-1B-C5-00-00-01");
    });
}

TEST(ModuleListCtrl, ColumnClicksChooseColumnAndDirection) {
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        EXPECT_EQ(HeaderFormat(list, 0) & HDF_OWNERDRAW, 0) << "no indicator before any sort";
        ClickHeader(list, 0);  // the initial state is column 0 ascending
        EXPECT_EQ(list.GetSortColumn(), 0);
        EXPECT_FALSE(list.IsSortAscending());
        EXPECT_EQ(list.GetSortHeader().GetSortColumn(), 0);
        EXPECT_FALSE(list.GetSortHeader().IsSortAscending());
        ClickHeader(list, 0);
        EXPECT_TRUE(list.IsSortAscending());
        ClickHeader(list, 3);
        ClickHeader(list, 3);
        EXPECT_EQ(list.GetSortColumn(), 3);
        EXPECT_FALSE(list.IsSortAscending());
        ClickHeader(list, 5);
        EXPECT_EQ(list.GetSortColumn(), 5);
        EXPECT_TRUE(list.IsSortAscending());
        EXPECT_EQ(list.GetSortHeader().GetSortColumn(), 5);
        for (const int column : {0, 3, 5}) {
            EXPECT_NE(HeaderFormat(list, column) & HDF_OWNERDRAW, 0) << "column " << column;
        }
        EXPECT_EQ(HeaderFormat(list, 1) & HDF_OWNERDRAW, 0);
        // The sort state survives a new scan.
        list.ClearModules();
        EXPECT_EQ(list.GetSortColumn(), 5);
    });
}

TEST(ModuleListCtrl, AddressesSortByValueVersionsAndStatesAsText) {
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        const std::uint32_t addresses[] = {0x0A00000A, 0xC8010101, 0x09000001, 0x0A000009,
                                           0x64010101};
        std::uint32_t serial = 1;
        for (const std::uint32_t address : addresses) {
            ZEVA_ModuleScanResponseType response = SampleResponse(serial, address);
            response.fwMajor = static_cast<std::uint8_t>(serial == 1 ? 10 : 9);
            response.fwMinor = 0;
            response.fwBuild = 1;
            response.dhcp = static_cast<std::uint8_t>(serial % 2);
            response.dhcpValid = serial == 3 ? 0 : 1;
            list.AddModule(ordvane::ToModuleRecord(response));
            ++serial;
        }
        ZEVA_ModuleScanResponseType noAddress = SampleResponse(serial, 0);
        noAddress.ipAddressValid = 0;
        list.AddModule(ordvane::ToModuleRecord(noAddress));
        EXPECT_EQ(ColumnTexts(list, ordvane::kColumnIp),
                  (std::vector<std::string>{"9.0.0.1", "10.0.0.9", "10.0.0.10", "100.1.1.1",
                                            "200.1.1.1", "N/A"}));
        list.SortColumn(ordvane::kColumnIp, FALSE);
        EXPECT_EQ(ColumnTexts(list, ordvane::kColumnIp).front(), "N/A");
        EXPECT_EQ(ColumnTexts(list, ordvane::kColumnIp).back(), "9.0.0.1");
        list.SortColumn(ordvane::kColumnVersion, TRUE);
        EXPECT_EQ(ColumnTexts(list, ordvane::kColumnVersion).front(), "10.00.1");
        list.SortColumn(ordvane::kColumnDhcp, TRUE);
        EXPECT_EQ(ColumnTexts(list, ordvane::kColumnDhcp),
                  (std::vector<std::string>{"N/A", "Off", "Off", "On", "On", "On"}));
    });
}

TEST(ModuleListCtrl, ViewModelStaysConsistentThroughScansAndSorts) {
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        auto* view = qobject_cast<QTableView*>(list.GetWidget());
        ASSERT_NE(view, nullptr);
        QAbstractItemModelTester tester(view->model(),
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        for (const ZEVA_ModuleScanResponseType& response : MixedFleet(60)) {
            list.AddModule(ordvane::ToModuleRecord(response));
        }
        PumpEvents();
        EXPECT_EQ(view->model()->rowCount(), list.GetItemCount());
        EXPECT_EQ(view->model()->columnCount(), 7);
        ClickHeader(list, ordvane::kColumnMac);
        PumpEvents();
        for (int row = 0; row < list.GetItemCount(); ++row) {
            ASSERT_EQ(
                view->model()->index(row, ordvane::kColumnMac).data().toString().toStdString(),
                std::string(static_cast<LPCSTR>(list.GetItemText(row, ordvane::kColumnMac))));
        }
        list.ClearModules();
        PumpEvents();
        EXPECT_EQ(view->model()->rowCount(), 0);
    });
}

TEST(ModuleListCtrl, TheLastCommandIsKeptAcrossScans) {
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        EXPECT_FALSE(list.GetLastCommand());
        EXPECT_FALSE(list.GetFleet().ConfiguredMac());
        const ordvane::MacAddress target(0x00, 0x1B, 0xC5, 0x00, 0x00, 0x07);
        list.NoteCommandSent(target, ordvane::SentCommand::kConfigure);
        list.ClearModules();
        EXPECT_EQ(list.GetFleet().ConfiguredMac(), target) << "kept across scans";
    });
}

TEST(ModuleListCtrl, ColumnListCreatesTheTableColumns) {
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        EXPECT_EQ(list.GetColumnCount(), 7);
        EXPECT_EQ(list.GetColumnWidth(5), 114);
        HDITEM item{};
        char text[32] = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text - 1;
        ASSERT_TRUE(list.GetSortHeader().GetItem(6, &item));
        EXPECT_STREQ(text, "MAC");
        // Later column lists append; a last piece without ',' is ignored.
        EXPECT_TRUE(list.CreateColumns("Host,40;Extra"));
        EXPECT_EQ(list.GetColumnCount(), 8);
        EXPECT_EQ(list.GetSortHeader().GetItemCount(), 8);
    });
}

}  // namespace

namespace {

// Every row carries the warning mark exactly when its module has a warning, and the tooltip
// says what the warnings say; the host's networks decide off-subnet, so the test compares
// with the table's own fleet instead of a fixed answer.
void ExpectMarksFollowTheWarnings(ordvane::CModuleListCtrl& list) {
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const std::string mac = list.GetItemText(row, ordvane::kColumnMac).Str();
        int module = 0;
        while (module < list.GetModuleCount() && ordvane::FormatModuleColumns(*list.GetModuleAt(
                                                     module))[ordvane::kColumnMac] != mac) {
            ++module;
        }
        ASSERT_LT(module, list.GetModuleCount()) << mac;
        const auto number = static_cast<std::size_t>(module);
        EXPECT_EQ(list.GetItemWarning(row) != FALSE, list.GetWarnings().KindsOf(number) != 0)
            << mac;
        std::string sentences;
        for (const auto& warning : list.GetWarnings().WarningsOf(number)) {
            sentences += (sentences.empty() ? "" : "\n") + warning.sentence;
        }
        EXPECT_EQ(list.GetRowWarningText(row), sentences) << mac;
    }
}

constexpr auto kDuplicateIp = ordvane::KindBit(ordvane::ModuleWarningKind::kDuplicateIp);

constexpr std::uint32_t kOffEveryNetworkHere = 0x0A000000;

// A base address on this host's first network with room for the modules of a test (numbers 1
// to 45 above the base, clear of the host's own address), so that only the warnings a test
// provokes show; 10.0.0.0 when the host has no such network.
std::uint32_t HostNetworkBase() {
    for (const auto& host :
         ordvane::ReadHostInterfaces().value_or(std::vector<ordvane::HostInterface>{})) {
        const std::uint32_t room = ~host.netmask;
        if (room < 100) {
            continue;
        }
        const std::uint32_t network = host.address & host.netmask;
        return (host.address & room) <= 45 ? network + 50 : network;
    }
    return kOffEveryNetworkHere;
}

}  // namespace

TEST(ModuleListCtrl, WarningMarksReachOlderRowsWhereverTheSortPutThem) {
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        // Sorted by DHCP: every row compares equal, so an older row is found among them all.
        const std::uint32_t base = HostNetworkBase();
        list.SortColumn(ordvane::kColumnDhcp, TRUE);
        for (std::uint32_t serial = 1; serial <= 40; ++serial) {
            list.AddModule(ordvane::ToModuleRecord(SampleResponse(serial, base + serial)));
        }
        // An answer without a MAC shares the 7th address; a later module shares the 30th.
        ZEVA_ModuleScanResponseType withoutMac = SampleResponse(0x7777, base + 7);
        withoutMac.macIdValid = 0;
        list.AddModule(ordvane::ToModuleRecord(withoutMac));
        list.AddModule(ordvane::ToModuleRecord(SampleResponse(0x100 + 41, base + 30)));
        ExpectMarksFollowTheWarnings(list);
        EXPECT_NE(list.GetWarnings().KindsOf(6) & kDuplicateIp, 0) << "serial 7";
        EXPECT_NE(list.GetWarnings().KindsOf(29) & kDuplicateIp, 0) << "serial 30";
        EXPECT_EQ(list.GetWarnings().KindsOf(0) & kDuplicateIp, 0);
        if (base != kOffEveryNetworkHere) {
            EXPECT_EQ(list.GetWarnings().KindsOf(0), 0) << "a plain module on the host's network";
        }
        // Serial 41 and 0x100 + 41 end in the same byte: a shared recovery address as well.
        EXPECT_NE(list.GetWarnings().KindsOf(41), 0);

        list.SortColumn(ordvane::kColumnIp, FALSE);
        ExpectMarksFollowTheWarnings(list);
        list.SortColumn(ordvane::kColumnMac, TRUE);
        ExpectMarksFollowTheWarnings(list);

        // A new scan forgets the fleet: the same address again is no duplicate.
        list.ClearModules();
        EXPECT_EQ(list.GetWarnings().Count(), 0U);
        list.AddModule(ordvane::ToModuleRecord(SampleResponse(7, base + 7)));
        EXPECT_EQ(list.GetWarnings().KindsOf(0) & kDuplicateIp, 0);
        ExpectMarksFollowTheWarnings(list);
    });
}

TEST(ModuleListCtrl, WarningMarksFollowWhenTheCollationChangesMidScan) {
    if (!IsValidLocale(1033, LCID_INSTALLED)) {
        GTEST_SKIP() << "en_US.UTF-8 is not installed";
    }
    WithModuleList([](ordvane::CModuleListCtrl& list) {
        const std::uint32_t base = HostNetworkBase();
        list.SortColumn(ordvane::kColumnType, TRUE);
        list.AddModule(ordvane::ToModuleRecord(SampleResponse(1, base + 1)));
        list.AddModule(ordvane::ToModuleRecord(SampleResponse(2, base + 2)));
        // Rows are no longer known to be in order: the new row is appended and sorted after.
        ASSERT_TRUE(SetThreadLocale(1033));
        list.AddModule(ordvane::ToModuleRecord(SampleResponse(3, base + 1)));
        SetThreadLocale(LOCALE_USER_DEFAULT);
        ExpectMarksFollowTheWarnings(list);
        EXPECT_NE(list.GetWarnings().KindsOf(0) & kDuplicateIp, 0);
        EXPECT_NE(list.GetWarnings().KindsOf(2) & kDuplicateIp, 0);
    });
}
