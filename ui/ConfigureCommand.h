#pragma once
// The Configure command: a double click on a row of the module table opens the Ethernet
// configuration dialog for that module and, on "Set", sends the configure request. The main
// window hands it to the table as the table's double-click command:
//
//     m_moduleList.SetDoubleClickCommand(ordvane::RunConfigureCommand);

#include <optional>

#include "config/ConfigureDialogValues.h"
#include "config/ConfigureOverrides.h"
#include "modsvc/ModuleRecord.h"
#include "modsvc/ModuleService.h"
#include "platform/AddressText.h"
#include "platform/framework/WinGeometry.h"

namespace ordvane {

class CModuleListCtrl;

// What the user typed in the dialog for one module, the passwords left out: enough to open the
// dialog again as it was after the module refused the password or did not answer.
struct TypedConfiguration {
    MacAddress mac{};
    ConfigureDialogOutput values;  // password and newPassword stay empty
};

// Runs the Configure command for the row under the point (client coordinates of the list).
void RunConfigureCommand(CModuleListCtrl& moduleList, CPoint point);

// The same, but when typed is given for the row's module the dialog shows what was typed then
// instead of the module's values, with the focus in Password. Returns what the user typed when
// a request was sent.
std::optional<TypedConfiguration> RunConfigureCommandKeepingTyped(CModuleListCtrl& moduleList,
                                                                  CPoint point,
                                                                  const TypedConfiguration* typed);

// The configuration dialog for a module being recovered, pre-filled from its scan answer with
// DHCP Off; what the user typed as overrides (DHCP off), nothing when cancelled.
std::optional<ConfigureOverrides> AskRecoveryValues(const ModuleRecord& module);

// Sends a recovery's configure request after the Configure command's password guard (a module
// seen asking for hashed passwords never gets one in clear, a plain one only with the user's
// consent), journaled like the Configure command's; false when the guard stopped it.
bool SendRecoveryConfigure(CModuleListCtrl& moduleList, const ModuleRecord& module,
                           const ConfigureDialogOutput& values,
                           const ZEVA_ConfigureRequestType& request);

// Writes the change journal's line of the configure request awaiting its outcome when a
// library event brings it (accepted, refused password, no answer, not sent). The main window
// calls it first for every library event, before it takes anything off the library's queues.
void JournalConfigureOutcome(const CModuleListCtrl& moduleList, long eventCode);

}  // namespace ordvane
