#pragma once
// The fleet file: one CSV row per module, read at start (--fleet) and written back as the
// fleet's state (--state). Format in docs/fleet-file.md. Reading goes through ByteReader, so a
// broken file gives an error naming its line and never reads past the text.

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "sim/EmulatedModule.h"

namespace ordvane::sim {

// Upper bound on a fleet file's size; larger files are refused before reading.
inline constexpr std::size_t kMaxFleetFileBytes = 64u * 1024u * 1024u;

// Parses fleet text. Plain passwords of hashed modules are salted with saltRandom.
bool ParseFleet(std::span<const std::uint8_t> text, std::mt19937_64& saltRandom,
                std::vector<EmulatedModule>& fleet, std::string& error);

bool LoadFleetFile(const std::string& path, std::mt19937_64& saltRandom,
                   std::vector<EmulatedModule>& fleet, std::string& error);

// The fleet as fleet text, every column present; ParseFleet reads it back unchanged.
std::string FormatFleet(const std::vector<EmulatedModule>& fleet);

// Writes a temporary file beside path and renames it over path, so a reader sees either the
// old or the new state, never half of one.
bool SaveFleetFileAtomically(const std::string& path, const std::vector<EmulatedModule>& fleet,
                             std::string& error);

}  // namespace ordvane::sim
