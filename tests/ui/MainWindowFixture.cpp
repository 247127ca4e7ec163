#include "tests/ui/MainWindowFixture.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "modsvc/ModuleService.h"
#include "res/ids/Resource.h"
#include "ui/MainWindowSettings.h"

namespace ordvane::testing {
namespace {

constexpr int kWaitMilliseconds = 10000;

// The library outlives each test: what an earlier test left queued must not leak into the next.
void DrainLibraryQueues() {
    ZEVA_ModuleScanResponseType response{};
    while (ZEVA_GetResponse(&response) != 0) {
    }
    std::uint8_t mac[6] = {};
    while (ZEVA_GetInvPswdMacId(mac) == 1) {
        ZEVA_RemoveFirstInvPswdMacId();
    }
}

bool ParseMac(const std::string& text, std::uint8_t (&mac)[6]) {
    unsigned parts[6] = {};
    if (std::sscanf(text.c_str(), "%x-%x-%x-%x-%x-%x", &parts[0], &parts[1], &parts[2], &parts[3],
                    &parts[4], &parts[5]) != 6) {
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        mac[i] = static_cast<std::uint8_t>(parts[i]);
    }
    return true;
}

}  // namespace

void MainWindowTest::SetUp() {
    // Each test's window starts as on a first run.
    ClearMainWindowSettings();
    StartFleet(
        "mac,service,type,ip,mask,gateway,dhcp,hostname,hashed,password\n"
        "0A-51-4D-00-00-01,2.0,QM-100,10.0.0.9,255.255.255.0,10.0.0.254,0,alpha,0,\n"
        "0A-51-4D-00-00-02,2.0,QM-200,10.0.0.10,255.255.255.0,10.0.0.254,1,beta,0,secret\n"
        "0A-51-4D-00-00-03,1.9,QM-100,9.0.0.1,255.0.0.0,9.0.0.254,0,gamma,0,\n",
        3);
}

void MainWindowTest::StartFleet(const std::string& fleetCsv, int rows) {
    m_fleetRows = rows;
    m_fleetFile = ::testing::TempDir() + "ui_fleet_" + std::to_string(::getpid()) + ".csv";
    std::ofstream fleet(m_fleetFile);
    fleet << fleetCsv;
    fleet.close();
    m_sim = std::make_unique<SimProcess>(std::vector<std::string>{"--fleet", m_fleetFile});
    ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();
    PointLibraryAt(*m_sim);
    DrainLibraryQueues();
    // The old script goes first: its destructor removes the hook the new one installs.
    m_script.reset();
    m_script = std::make_unique<framework::ModalScript>();
}

void MainWindowTest::StartGeneratedFleet(int count) {
    m_sim.reset();
    m_fleetRows = count;
    m_sim = std::make_unique<SimProcess>(
        std::vector<std::string>{"--count", std::to_string(count), "--seed", "7"});
    ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();
    PointLibraryAt(*m_sim);
    DrainLibraryQueues();
}

void MainWindowTest::TearDown() {
    m_script.reset();
    if (m_sim) {
        m_sim->Stop();
    }
    std::remove(m_fleetFile.c_str());
}

bool MainWindowTest::WaitForRows(TestableScanDlg& window, int count) {
    return framework::PumpEventsUntil(
        [&window, count]() { return window.ModuleList().GetItemCount() == count; },
        kWaitMilliseconds);
}

INT_PTR MainWindowTest::RunWindow(const std::function<void(TestableScanDlg& window)>& body) {
    TestableScanDlg window;
    m_script->OnDialog([&](CDialog& shown) {
        if (&shown != &window) {
            return;
        }
        EXPECT_TRUE(WaitForRows(window, m_fleetRows)) << m_sim->Describe();
        body(window);
        if (window.IsModalRunning()) {
            framework::PressButton(window, IDOK);
        }
    });
    return window.DoModal();
}

void MainWindowTest::ConfigureWithWrongPassword(TestableScanDlg& /*window*/,
                                                const std::string& macText) {
    ZEVA_ConfigureRequestType request{};
    ASSERT_TRUE(ParseMac(macText, request.macId));
    std::strncpy(request.password, "wrong", sizeof request.password - 1);
    request.ipAddress = 0x0A000063;
    request.subnetMask = 0xFFFFFF00;
    ZEVA_SendConfigure(&request);
}

}  // namespace ordvane::testing
