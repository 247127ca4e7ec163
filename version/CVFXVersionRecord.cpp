#include "version/CVFXVersionRecord.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace ordvane {

namespace {

std::atomic<VersionMessageBoxHook> g_messageBoxHook{nullptr};

}  // namespace

CVFXVersionRecord::CVFXVersionRecord() {
    Reset();
}

void CVFXVersionRecord::SetMessageBoxHook(VersionMessageBoxHook hook) {
    g_messageBoxHook.store(hook);
}

void CVFXVersionRecord::Show(bool toConsole) const {
    const CString text = Describe();
    const VersionMessageBoxHook hook = g_messageBoxHook.load();
    if (toConsole || hook == nullptr) {
        std::printf("%s", static_cast<LPCSTR>(text));
        std::fflush(stdout);
        return;
    }
    hook(text);
}

std::array<CString*, 12> CVFXVersionRecord::Strings() {
    return {&m_strFileVersion,      &m_strProductVersion, &m_strCompanyName,
            &m_strFileDescription,  &m_strInternalName,   &m_strLegalCopyright,
            &m_strOriginalFilename, &m_strProductName,    &m_strComments,
            &m_strLegalTrademarks,  &m_strPrivateBuild,   &m_strSpecialBuild};
}

std::array<const CString*, 12> CVFXVersionRecord::Strings() const {
    const auto strings = const_cast<CVFXVersionRecord*>(this)->Strings();
    std::array<const CString*, 12> result{};
    std::copy(strings.begin(), strings.end(), result.begin());
    return result;
}

void CVFXVersionRecord::Reset() {
    m_fileName.Empty();
    for (int part = 0; part < 4; ++part) {
        m_fileVersion[part] = 0;
        m_productVersion[part] = 0;
    }
    for (CString* text : Strings()) {
        text->Empty();
    }
}

bool CVFXVersionRecord::IsEmpty() const {
    for (int part = 0; part < 4; ++part) {
        if (m_fileVersion[part] != 0 || m_productVersion[part] != 0) {
            return false;
        }
    }
    if (!m_fileName.IsEmpty()) {
        return false;
    }
    for (const CString* text : Strings()) {
        if (!text->IsEmpty()) {
            return false;
        }
    }
    return true;
}

void CVFXVersionRecord::Assign(const CVFXVersionRecord& other) {
    if (&other == this) {
        return;
    }
    m_fileName = other.m_fileName;
    for (int part = 0; part < 4; ++part) {
        m_fileVersion[part] = other.m_fileVersion[part];
        m_productVersion[part] = other.m_productVersion[part];
    }
    const auto mine = Strings();
    const auto theirs = other.Strings();
    for (std::size_t index = 0; index < mine.size(); ++index) {
        *mine[index] = *theirs[index];
    }
}

CString CVFXVersionRecord::Describe() const {
    CString text;
    if (IsEmpty()) {
        text = "No version information is available";
        return text;
    }
    text.Format(
        "VS_VERSION_INFO for %s:\n\nFileVersion: %s\nProductVersion: %s\nCompanyName: %s\n"
        "FileDescription: %s\nInternalName: %s\nLegalCopyright: %s\nOriginalFileName: %s\n"
        "ProductName: %s\nComments %s\nLegalTradeMarks: %s\nPrivateBuild: %s\n"
        "SpecialBuild: %s\n",
        static_cast<LPCSTR>(m_fileName), static_cast<LPCSTR>(m_strFileVersion),
        static_cast<LPCSTR>(m_strProductVersion), static_cast<LPCSTR>(m_strCompanyName),
        static_cast<LPCSTR>(m_strFileDescription), static_cast<LPCSTR>(m_strInternalName),
        static_cast<LPCSTR>(m_strLegalCopyright), static_cast<LPCSTR>(m_strOriginalFilename),
        static_cast<LPCSTR>(m_strProductName), static_cast<LPCSTR>(m_strComments),
        static_cast<LPCSTR>(m_strLegalTrademarks), static_cast<LPCSTR>(m_strPrivateBuild),
        static_cast<LPCSTR>(m_strSpecialBuild));
    return text;
}

}  // namespace ordvane
