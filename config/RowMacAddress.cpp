#include "config/RowMacAddress.h"

#include <cstring>

#include "modlist/CModuleListCtrl.h"
#include "modlist/ModuleColumns.h"

namespace ordvane {

bool ReadRowMacAddress(const CModuleListCtrl& moduleList, int row, MacAddress& mac) {
    char macText[18] = {};
    moduleList.GetItemText(row, kColumnMac, macText, sizeof macText);
    return ParseMacAddressText(std::string_view(macText, strnlen(macText, sizeof macText)), mac);
}

}  // namespace ordvane
