#include "version/CVFXVersionInfo.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "platform/VersionInfo.h"
#include "version/CVFXPointer.h"

namespace ordvane {

IMPLEMENT_DYNAMIC(CVFXVersionInfo, CObject)

namespace {

constexpr unsigned kStringLimit = 256;

}  // namespace

CVFXVersionInfo::CVFXVersionInfo(DWORD codePage, DWORD language)
    : m_language(static_cast<WORD>(language & 0xFFFF)), m_codePage(codePage) {
    const LCID wanted = MAKELCID(m_language, SORT_DEFAULT);
    m_savedLocale = GetThreadLocale();
    m_locale = IsValidLocale(wanted, LCID_INSTALLED) ? wanted : m_savedLocale;
    if (!SetThreadLocale(m_locale)) {
        SetThreadLocale(m_savedLocale);
    }
}

CVFXVersionInfo::~CVFXVersionInfo() {
    SetThreadLocale(m_savedLocale);
}

bool CVFXVersionInfo::Read(CVFXVersionRecord& record, const char* fileName) {
    CVFXPointer data(nullptr, true);
    CString path(fileName);
    record.Reset();
    path.Trim();
    if (path.IsEmpty()) {
        char ownPath[MAX_PATH + 1] = {};
        const DWORD length = GetModuleFileNameA(nullptr, ownPath, MAX_PATH + 1);
        if (length == 0 || length > MAX_PATH) {
            return false;
        }
        path = ownPath;
    } else if (!PathFileExistsA(path)) {
        return false;
    }
    const DWORD size = GetInfoSize(path);
    if (size == 0) {
        return false;
    }
    data.Set(Allocate(size));
    if (data.IsNull() || !GetInfo(path, size, data.Get())) {
        return false;
    }
    void* value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueA(data.Get(), "\\", &value, &valueLength) ||
        valueLength < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    VS_FIXEDFILEINFO fixed{};
    std::memcpy(&fixed, value, sizeof fixed);
    record.m_fileName = path;
    const DWORD fileParts[2] = {fixed.dwFileVersionMS, fixed.dwFileVersionLS};
    const DWORD productParts[2] = {fixed.dwProductVersionMS, fixed.dwProductVersionLS};
    for (int half = 0; half < 2; ++half) {
        record.m_fileVersion[2 * half] = static_cast<WORD>(fileParts[half] >> 16);
        record.m_fileVersion[2 * half + 1] = static_cast<WORD>(fileParts[half] & 0xFFFF);
        record.m_productVersion[2 * half] = static_cast<WORD>(productParts[half] >> 16);
        record.m_productVersion[2 * half + 1] = static_cast<WORD>(productParts[half] & 0xFFFF);
    }
    const struct {
        const char* name;
        CString* text;
    } strings[] = {
        {"ProductVersion", &record.m_strProductVersion},
        {"FileVersion", &record.m_strFileVersion},
        {"CompanyName", &record.m_strCompanyName},
        {"FileDescription", &record.m_strFileDescription},
        {"InternalName", &record.m_strInternalName},
        {"LegalCopyright", &record.m_strLegalCopyright},
        {"OriginalFilename", &record.m_strOriginalFilename},
        {"ProductName", &record.m_strProductName},
        {"Comments", &record.m_strComments},
        {"LegalTrademarks", &record.m_strLegalTrademarks},
        {"PrivateBuild", &record.m_strPrivateBuild},
        {"SpecialBuild", &record.m_strSpecialBuild},
    };
    char text[kStringLimit];
    for (const auto& each : strings) {
        // A missing value leaves its member empty and does not change the outcome.
        QueryString(data.Get(), each.name, text, sizeof text);
        *each.text = text;
    }
    return true;
}

bool CVFXVersionInfo::QueryString(const void* block, const char* name, char* out,
                                  unsigned outSize) const {
    if (out == nullptr || outSize == 0) {
        return false;
    }
    std::memset(out, 0, outSize);
    CString path;
    path.Format("\\StringFileInfo\\%04x%04x\\%s", static_cast<unsigned>(m_language),
                static_cast<unsigned>(m_codePage), name != nullptr ? name : "");
    void* value = nullptr;
    UINT length = 0;
    if (block == nullptr || !VerQueryValueA(block, path, &value, &length) || value == nullptr) {
        return false;
    }
    const char* text = static_cast<const char*>(value);
    std::memcpy(out, text, ordvane::CutUtf8Length(text, outSize - 1));
    return true;
}

DWORD CVFXVersionInfo::GetInfoSize(const char* path) const {
    DWORD handle = 0;
    return GetFileVersionInfoSizeA(path, &handle);
}

bool CVFXVersionInfo::GetInfo(const char* path, DWORD size, void* block) const {
    return GetFileVersionInfoA(path, 0, size, block) != FALSE;
}

BYTE* CVFXVersionInfo::Allocate(DWORD size) const {
    if (size == 0) {
        return nullptr;
    }
    return new (std::nothrow) BYTE[size];
}

}  // namespace ordvane
