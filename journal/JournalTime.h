#pragma once
// The journal's time stamps: UTC in ISO 8601 to the second, "2026-12-08T16:53:17Z", written
// by the journal and read back by `ordvane-cli journal --since`.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace ordvane {

class JournalTime {
public:
    using Seconds = std::chrono::sys_seconds;

    static std::string Format(Seconds time);
    static std::string Now();

    // "2026-12-08", "2026-12-08T16:53", "2026-12-08T16:53:17", each optionally ending in 'Z'
    // and with a blank allowed for 'T'; always UTC. Nothing for anything else, including
    // dates that do not exist.
    static std::optional<Seconds> Parse(std::string_view text);
};

}  // namespace ordvane
