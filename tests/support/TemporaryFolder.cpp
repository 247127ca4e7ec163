#include "tests/support/TemporaryFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace ordvane::testing {

TemporaryFolder::TemporaryFolder() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) {
        base = "/tmp";
    }
    std::string pattern = (base / "ordvane-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        m_path = pattern;
    }
}

TemporaryFolder::~TemporaryFolder() {
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

std::string TemporaryFolder::Write(const std::string& name, std::string_view content,
                                   bool executable) const {
    if (m_path.empty()) {
        return "";
    }
    const std::string path = m_path + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
        return "";
    }
    if (executable) {
        std::error_code error;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, error);
        if (error) {
            return "";
        }
    }
    return path;
}

std::string TemporaryFolder::Write(const std::string& name,
                                   const std::vector<std::uint8_t>& bytes) const {
    return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace ordvane::testing
