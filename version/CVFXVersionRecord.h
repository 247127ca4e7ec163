#pragma once
// What a file's version resource says: its path, the binary file and product versions, and
// the twelve standard string values.

#include <array>

#include "platform/CString.h"
#include "platform/WinTypes.h"

namespace ordvane {

// Shows a text in a message box with the information icon. The window layer installs one;
// without it Show prints, so this library never needs a window system.
using VersionMessageBoxHook = void (*)(const char* text);

class CVFXVersionRecord {
public:
    CVFXVersionRecord();
    CVFXVersionRecord(const CVFXVersionRecord& other) = default;
    CVFXVersionRecord& operator=(const CVFXVersionRecord& other) = default;
    virtual ~CVFXVersionRecord() = default;

    // Describe() on standard output when toConsole, else in a message box.
    virtual void Show(bool toConsole) const;
    virtual void Reset();
    virtual bool IsEmpty() const;
    virtual void Assign(const CVFXVersionRecord& other);
    virtual CString Describe() const;

    static void SetMessageBoxHook(VersionMessageBoxHook hook);

    CString m_fileName;
    WORD m_fileVersion[4];
    WORD m_productVersion[4];
    CString m_strFileVersion;
    CString m_strProductVersion;
    CString m_strCompanyName;
    CString m_strFileDescription;
    CString m_strInternalName;
    CString m_strLegalCopyright;
    CString m_strOriginalFilename;
    CString m_strProductName;
    CString m_strComments;
    CString m_strLegalTrademarks;
    CString m_strPrivateBuild;
    CString m_strSpecialBuild;

private:
    // The twelve string members in table order.
    std::array<CString*, 12> Strings();
    std::array<const CString*, 12> Strings() const;
};

}  // namespace ordvane
