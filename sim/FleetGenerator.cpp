#include "sim/FleetGenerator.h"

#include <array>
#include <cstdio>
#include <random>

#include "modsvc/QuillmorOui.h"
#include "sim/PasswordCheck.h"

namespace ordvane::sim {

namespace {

constexpr std::array<const char*, 4> kTypes = {"QM-210 Serial Gateway", "QM-240 Fieldbus Gateway",
                                               "QM-300 I/O Gateway", "QM-410 Protocol Bridge"};
struct ServiceVersion {
    std::uint8_t major;
    std::uint8_t minor;
};
constexpr std::array<ServiceVersion, 4> kServiceVersions = {{{1, 9}, {1, 10}, {2, 0}, {2, 3}}};

// Most values are known; a few are left out so that "not reported" shows up in every fleet.
bool Known(std::mt19937_64& random) {
    return std::uniform_int_distribution<int>(0, 99)(random) >= 5;
}

template <typename Value>
std::optional<Value> MaybeKnown(std::mt19937_64& random, Value value) {
    if (Known(random)) {
        return value;
    }
    return std::nullopt;
}

EmulatedModule GenerateModule(std::size_t index, std::mt19937_64& random) {
    EmulatedModule module;
    const auto number = static_cast<std::uint32_t>(index + 1);
    module.mac = {kQuillmorOui[0],
                  kQuillmorOui[1],
                  kQuillmorOui[2],
                  static_cast<std::uint8_t>(number >> 16),
                  static_cast<std::uint8_t>(number >> 8),
                  static_cast<std::uint8_t>(number)};
    const ServiceVersion service =
        kServiceVersions[std::uniform_int_distribution<std::size_t>(0, 3)(random)];
    module.serviceMajor = service.major;
    module.serviceMinor = service.minor;
    module.type = MaybeKnown<std::string>(
        random, kTypes[std::uniform_int_distribution<std::size_t>(0, kTypes.size() - 1)(random)]);
    module.firmware =
        MaybeKnown(random, FirmwareVersion{static_cast<std::uint8_t>(1 + random() % 3),
                                           static_cast<std::uint8_t>(random() % 20),
                                           static_cast<std::uint16_t>(random() % 5000)});
    // 10.0.0.1 upwards, one address per module, skipping the .0 and .255 of each /24: module 254
    // is 10.0.0.254, module 255 10.0.1.1. Beyond 65,024 modules the count runs on into 10.1.0.0.
    constexpr std::uint32_t kHostsPerBlock = 254;
    const std::uint32_t host =
        (number - 1) / kHostsPerBlock * 256 + (number - 1) % kHostsPerBlock + 1;
    module.address = MaybeKnown<std::uint32_t>(random, 0x0A000000u + host);
    module.subnetMask = MaybeKnown<std::uint32_t>(random, 0xFFFF0000u);
    module.gateway = MaybeKnown<std::uint32_t>(random, 0x0A000001u);
    module.dhcp = MaybeKnown<bool>(random, random() % 5 == 0);
    // Letters and digits only, so that a generated name passes the configuration dialog's check.
    char hostname[32];
    std::snprintf(hostname, sizeof hostname, "quillmor%05u", static_cast<unsigned>(number));
    module.hostname = MaybeKnown<std::string>(random, hostname);
    module.primaryDns = MaybeKnown<std::uint32_t>(random, 0x0A000035u);
    module.secondaryDns = MaybeKnown<std::uint32_t>(random, 0x0A000036u);
    module.reportsPasswordSet = Known(random);
    module.hashedPasswords = random() % 2 == 0;
    if (random() % 2 == 0) {
        module.password = kGeneratedPassword;
        if (module.hashedPasswords) {
            const std::string salt = {RandomSaltCharacter(random), RandomSaltCharacter(random)};
            module.password = SaltedDigest(salt, kGeneratedPassword);
        }
    }
    return module;
}

}  // namespace

std::vector<EmulatedModule> GenerateFleet(std::size_t count, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<EmulatedModule> fleet;
    fleet.reserve(count);
    for (std::size_t index = 0; index < count; ++index) {
        fleet.push_back(GenerateModule(index, random));
    }
    return fleet;
}

}  // namespace ordvane::sim
