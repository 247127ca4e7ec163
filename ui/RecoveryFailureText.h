#pragma once
// Why a recovery failed, as the window says it: in the user's language, where the recovery
// flow (shared with the command line) says it in English.

#include <string>

#include "dhcp/RecoveryFlow.h"

namespace ordvane {

// From the flow's FailureKind(), FailureDetail() and FailureReason().
std::string RecoveryFailureText(RecoveryFlow::Failure failure, const std::string& detail,
                                const std::string& englishReason);

}  // namespace ordvane
