#include "modlist/ConfigureCommandHook.h"

// FIXME: the Configure command is still to come; until then a double click does nothing.
// Its implementation replaces this file.
void RunConfigureCommand(CModuleListCtrl& /*moduleList*/, CPoint /*point*/) {}
