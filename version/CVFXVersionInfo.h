#pragma once
// A scoped reader of a file's version resource. While it exists the calling thread runs in the
// locale of the language it was made for, where that locale is installed; its destruction
// gives the thread its own locale back.

#include "platform/CObject.h"
#include "platform/ThreadLocale.h"
#include "platform/WinTypes.h"
#include "version/CVFXVersionRecord.h"

namespace ordvane {

class CVFXVersionInfo : public CObject {
    DECLARE_DYNAMIC(CVFXVersionInfo)

public:
    // Both of the program's users pass code page 1200 and language 1033.
    CVFXVersionInfo(DWORD codePage, DWORD language);
    ~CVFXVersionInfo() override;
    CVFXVersionInfo(const CVFXVersionInfo&) = delete;
    CVFXVersionInfo& operator=(const CVFXVersionInfo&) = delete;

    // Reads the named file, or the running program's own file when fileName is null or blank.
    // On failure the record stays empty.
    bool Read(CVFXVersionRecord& record, const char* fileName);

    // The string value name in this reader's language and code page, cut to outSize - 1 bytes
    // (never inside a UTF-8 sequence); out is all zeros when the value is missing.
    bool QueryString(const void* block, const char* name, char* out, unsigned outSize) const;

    DWORD GetInfoSize(const char* path) const;
    bool GetInfo(const char* path, DWORD size, void* block) const;
    // A new block of size bytes (new[]), or none when size is 0 or memory runs out.
    BYTE* Allocate(DWORD size) const;

    WORD Language() const { return m_language; }
    DWORD CodePage() const { return m_codePage; }

private:
    WORD m_language;
    DWORD m_codePage;
    LCID m_savedLocale;
    LCID m_locale;
};

}  // namespace ordvane
