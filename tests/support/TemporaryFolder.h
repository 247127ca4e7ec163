#pragma once
// A fresh private folder (mkdtemp, mode 0700) under the temporary directory, removed with
// everything in it by the destructor. When the folder cannot be made, Path() is empty and
// nothing is ever removed; tests check Path() before they rely on it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ordvane::testing {

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Writes a file in the folder (owner-executable when asked) and returns its path, or ""
    // when the folder does not exist or the file cannot be written.
    std::string Write(const std::string& name, std::string_view content,
                      bool executable = false) const;
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::string m_path;
};

}  // namespace ordvane::testing
