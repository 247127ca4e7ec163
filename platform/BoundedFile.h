#pragma once
// Reading a whole file that comes from the user, with a limit, so that a huge or endless file
// (a device, a pipe) cannot exhaust memory before its parser ever sees it.

#include <cstddef>
#include <string>

namespace ordvane {

// The file's bytes in text; false with "PATH: cannot be read" or "PATH: larger than N MiB" in
// error.
bool ReadBoundedFile(const std::string& path, std::size_t maxBytes, std::string& text,
                     std::string& error);

}  // namespace ordvane
