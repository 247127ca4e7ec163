#pragma once
// A generated fleet: the same seed always gives the same modules (see docs/fleet-file.md for
// what the values look like).

#include <cstdint>
#include <vector>

#include "sim/EmulatedModule.h"

namespace ordvane::sim {

inline constexpr std::size_t kMaxModules = 65536;
// The password of every generated module that has one.
inline constexpr const char* kGeneratedPassword = "quillmor";

std::vector<EmulatedModule> GenerateFleet(std::size_t count, std::uint64_t seed);

}  // namespace ordvane::sim
