#pragma once
// Building the requests that the Configure and Wink commands hand to the library.

#include "config/ConfigureDialogValues.h"
#include "config/PasswordEncoding.h"
#include "modsvc/ModuleRecord.h"
#include "modsvc/ModuleService.h"
#include "platform/AddressText.h"

namespace ordvane {

// Fills request (cleared first, so bytes no step writes are 0) from the module's record
// and the dialog's values: MAC from the module, addresses and DHCP from the dialog, passwords
// as typed or, when the module asks for hashed passwords, as the challenge response and the
// salted hash with a fresh salt. Texts longer than the dialog's 29 characters are cut, every
// text field is NUL-padded with its last byte 0. Returns false, request cleared, only when no
// salt could be drawn.
bool BuildConfigureRequest(const ModuleRecord& module, const ConfigureDialogOutput& values,
                           ZEVA_ConfigureRequestType& request);

// The same with the salt for the new password given; the salt is used only when the module
// asks for hashed passwords and the password is to change.
void BuildConfigureRequestWithSalt(const ModuleRecord& module, const ConfigureDialogOutput& values,
                                   const PasswordSalt& salt, ZEVA_ConfigureRequestType& request);

// A wink request: only the MAC is written, every other byte is 0.
void BuildWinkRequest(const MacAddress& mac, ZEVA_ConfigureRequestType& request);

// What the user is told instead of winking an older module.
inline constexpr const char* kWinkNotSupportedMessage = "Device does not support wink.";

// Winking needs the module's service version 1.10 or later.
constexpr bool IsWinkSupported(std::uint8_t serviceVersionMajor, std::uint8_t serviceVersionMinor) {
    return serviceVersionMajor > 1 || (serviceVersionMajor == 1 && serviceVersionMinor >= 10);
}

}  // namespace ordvane
