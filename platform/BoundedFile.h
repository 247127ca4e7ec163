#pragma once
// Reading a whole file that comes from the user, with a limit, so that a huge or endless file
// (a device, a pipe) cannot exhaust memory before its parser ever sees it.

#include <cstddef>
#include <string>
#include <string_view>

namespace ordvane {

// The file's bytes in text; false with "PATH: cannot be read" or "PATH: larger than N MiB" in
// error.
bool ReadBoundedFile(const std::string& path, std::size_t maxBytes, std::string& text,
                     std::string& error);

// The same for a file that must be a regular one: a FIFO, device or folder is refused at once
// ("PATH: not a regular file") instead of being waited on; a missing file sets missing.
bool ReadBoundedRegularFile(const std::string& path, std::size_t maxBytes, std::string& text,
                            std::string& error, bool* missing = nullptr);

// Replaces the file with text through a temporary file beside it (unpredictable name, created
// exclusively with mode 0600, synced, then renamed over the file), so that a reader sees the
// old file or the new one, never a part, and nobody can plant a link in its place; false with
// "cannot write PATH" in error.
bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& error);

}  // namespace ordvane
