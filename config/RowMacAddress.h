#pragma once
// The MAC address of a module table row, read back from its MAC column.

#include "platform/AddressText.h"

class CModuleListCtrl;

namespace ordvane {

// Reads the row's MAC text into an 18-character buffer, as the table shows it
// ("%02X-%02X-%02X-%02X-%02X-%02X"), and parses it. False when the text holds no MAC address.
bool ReadRowMacAddress(const CModuleListCtrl& moduleList, int row, MacAddress& mac);

}  // namespace ordvane
