#include "config/ConfigureRequestBuilder.h"

#include <cstring>
#include <optional>

#include "config/FixedText.h"
#include "config/SaltGenerator.h"
#include "platform/Utf8Text.h"

namespace ordvane {

namespace {

// The dialog's texts are UTF-8 and travel as their bytes, plain or digested; the dialog's limit
// counts characters, and 29 of them fit the 128-byte fields.
std::string_view DialogText(const std::string& text) {
    return Utf8CharacterPrefix(text, kDialogTextLimit);
}

bool WantsHashedPasswords(const ModuleRecord& module) {
    return module.hashedPasswords;
}

}  // namespace

void BuildConfigureRequestWithSalt(const ModuleRecord& module, const ConfigureDialogOutput& values,
                                   const PasswordSalt& salt, ZEVA_ConfigureRequestType& request) {
    std::memset(&request, 0, sizeof request);
    const MacAddress mac = module.AddressingMac();
    std::memcpy(request.macId, mac.data(), sizeof request.macId);
    request.ipAddress = values.ipAddress;
    request.subnetMask = values.subnetMask;
    request.gateway = values.gateway;
    request.dns1 = values.primaryDns;
    request.dns2 = values.secondaryDns;
    request.dhcp = values.dhcpChoice == 0 ? 1 : 0;

    const std::string_view password = DialogText(values.password);
    if (WantsHashedPasswords(module)) {
        CopyToFixedText(request.password, ChallengeResponse(module.challenge, password));
    } else {
        CopyToFixedText(request.password, password);
    }

    if (values.changePassword == 1) {
        request.changePassword = 1;
        const std::string_view newPassword = DialogText(values.newPassword);
        if (WantsHashedPasswords(module) && module.protocolRevision >= 2) {
            // Sealed under the current password: the stored form alone answers challenges, so
            // it must not travel in clear.
            CopyToFixedText(
                request.newPassword,
                SealStoredForm(CurrentStoredForm(module.challenge, password), module.challenge,
                               SaltedPasswordHash(salt, newPassword)));
        } else if (WantsHashedPasswords(module)) {
            CopyToFixedText(request.newPassword, SaltedPasswordHash(salt, newPassword));
        } else {
            CopyToFixedText(request.newPassword, newPassword);
        }
    } else {
        request.changePassword = 0;
    }

    CopyToFixedText(request.hostname, DialogText(values.hostname));
}

bool BuildConfigureRequest(const ModuleRecord& module, const ConfigureDialogOutput& values,
                           ZEVA_ConfigureRequestType& request) {
    PasswordSalt salt{};
    if (values.changePassword == 1 && WantsHashedPasswords(module)) {
        const std::optional<PasswordSalt> drawn = SaltGenerator::DrawSalt();
        if (!drawn) {
            std::memset(&request, 0, sizeof request);
            return false;
        }
        salt = *drawn;
    }
    BuildConfigureRequestWithSalt(module, values, salt, request);
    return true;
}

void BuildWinkRequest(const MacAddress& mac, ZEVA_ConfigureRequestType& request) {
    std::memset(&request, 0, sizeof request);
    std::memcpy(request.macId, mac.data(), sizeof request.macId);
}

}  // namespace ordvane
