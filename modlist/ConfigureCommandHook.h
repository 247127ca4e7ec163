#pragma once
// The Configure command that a double click on the module table starts. The command itself
// (reading the row's MAC address, the configuration dialog, the request) belongs to config/;
// this declaration is the seam the table calls through.

#include "platform/framework/WinGeometry.h"

class CModuleListCtrl;

// Runs the Configure command for the row under the point (client coordinates of the list).
void RunConfigureCommand(CModuleListCtrl& moduleList, CPoint point);
