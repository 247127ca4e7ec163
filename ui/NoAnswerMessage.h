#pragma once
// The words of the main window when a configure or wink request got no answer in time.

#include <string>

namespace ordvane {

class CModuleListCtrl;

// Names the module the last request went to, with its address when the table shows one, and
// which request it was; a request the table does not know of gives a general sentence.
std::string NoAnswerMessage(const CModuleListCtrl& moduleList);

}  // namespace ordvane
