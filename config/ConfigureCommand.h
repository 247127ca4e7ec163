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
