#pragma once
// The About box (template 100): the product version and copyright text from the program's own
// version resource, under the caption "About Ordvane".

#include "platform/CString.h"
#include "platform/framework/CDialog.h"

namespace ordvane {

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);

    CString m_strVersion;    // static 1014: "Version: " and the product version, dotted
    CString m_strCopyright;  // static 1023: the copyright value followed by one blank

protected:
    void DoDataExchange(CDataExchange* dataExchange) override;
    BOOL OnInitDialog() override;
};

}  // namespace ordvane
