#pragma once
// The Configure command: a double click on a row of the module table opens the Ethernet
// configuration dialog for that module and, on "Set", sends the configure request. The main
// window hands it to the table as the table's double-click command:
//
//     m_moduleList.SetDoubleClickCommand(RunConfigureCommand);

#include "platform/framework/WinGeometry.h"

class CModuleListCtrl;

// Runs the Configure command for the row under the point (client coordinates of the list).
void RunConfigureCommand(CModuleListCtrl& moduleList, CPoint point);

// Writes the change journal's line of the configure request awaiting its outcome when a
// library event brings it (accepted, refused password, no answer, not sent). The main window
// calls it first for every library event, before it takes anything off the library's queues.
void JournalConfigureOutcome(const CModuleListCtrl& moduleList, long eventCode);
