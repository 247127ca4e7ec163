#include "version/ProgramVersion.h"

#include "version/CVFXVersionInfo.h"
#include "version/CVFXVersionRecord.h"

namespace ordvane {

CString ProgramVersionLine(const char* programName) {
    CVFXVersionRecord record;
    CVFXVersionInfo reader(1200, 1033);
    CString line;
    if (!reader.Read(record, nullptr) || record.m_strProductVersion.IsEmpty()) {
        line.Format("%s (no version information)", programName);
        return line;
    }
    CString version = record.m_strProductVersion;
    version.Remove(' ');
    version.Replace(',', '.');
    line.Format("%s %s", programName, static_cast<LPCSTR>(version));
    return line;
}

}  // namespace ordvane
