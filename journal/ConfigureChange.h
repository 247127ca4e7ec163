#pragma once
// The journal entry of one configure request, from what the module reported, what was asked
// for and the request that goes out. Only settings the module reports can change (it leaves
// the others alone), so only those are compared. The passwords are read for one purpose: a
// hostname (the one setting of free text) that contains one of them, or the challenge
// response or digest sent in their place, is withheld (written as null), so that a password
// typed into the wrong field never reaches the journal either.

#include "config/ConfigureDialogValues.h"
#include "journal/ChangeEntry.h"
#include "journal/SettingValues.h"
#include "modsvc/ModuleRecord.h"
#include "modsvc/ModuleService.h"

namespace ordvane {

ChangeEntry ConfigureChange(JournalCommand command, const ModuleRecord& module,
                            const ConfigureDialogOutput& values,
                            const ZEVA_ConfigureRequestType& request);

}  // namespace ordvane
