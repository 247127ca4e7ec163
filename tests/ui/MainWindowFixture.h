#pragma once
// Runs the real main window against the emulator on loopback, with the modal run scripted.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "tests/support/ModalTestHooks.h"
#include "tests/support/SimProcess.h"
#include "ui/ScanDlg.h"

using ordvane::CScanDlg;

namespace ordvane::testing {

// The main window with its protected parts in reach of the tests.
class TestableScanDlg : public CScanDlg {
public:
    ordvane::CModuleListCtrl& ModuleList() { return m_moduleList; }
    HICON Icon() const { return m_hIcon; }
};

class MainWindowTest : public ::testing::Test {
protected:
    // A fleet of three modules: 10.0.0.9, 10.0.0.10 (password "secret") and 9.0.0.1.
    void SetUp() override;
    void TearDown() override;

    // Starts the emulator on this fleet file text; RunWindow then waits for rows rows.
    void StartFleet(const std::string& fleetCsv, int rows);
    // Starts the emulator on a generated fleet of count modules instead.
    void StartGeneratedFleet(int count);

    // Opens the window, waits for the first scan to list the fleet, runs body, then ends the
    // window with Exit unless body ended it. Returns what DoModal returned.
    INT_PTR RunWindow(const std::function<void(TestableScanDlg& window)>& body);
    // Pumps events until the table holds count rows.
    static bool WaitForRows(TestableScanDlg& window, int count);
    // Sends a configure request with a wrong password to the module with this MAC text.
    static void ConfigureWithWrongPassword(TestableScanDlg& window, const std::string& macText);

    std::unique_ptr<SimProcess> m_sim;
    std::unique_ptr<framework::ModalScript> m_script;
    std::string m_fleetFile;
    int m_fleetRows = 0;
};

}  // namespace ordvane::testing
