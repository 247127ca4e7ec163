#pragma once
// Dialog data exchange: DoDataExchange calls the DDX_ functions, which move one control's value
// to its member (m_bSaveAndValidate TRUE) or back (FALSE), and the DDV_ functions, which check
// the value just exchanged. A failed check shows its message, marks the exchange failed and
// turns every later DDX_/DDV_ call of the same exchange into a no-op; UpdateData then returns
// FALSE.

#include "platform/CString.h"
#include "platform/framework/WinConstants.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // The control with this id, remembered for the DDV_ call that follows; nullptr (and a
    // failed exchange) when the dialog has no such control.
    CWnd* PrepareCtrl(int id);
    void Fail();
    BOOL HasFailed() const { return m_failed; }
    CWnd* LastControl() const { return m_lastControl; }

private:
    CWnd* m_lastControl = nullptr;
    BOOL m_failed = FALSE;
};

// Binds the control with this id to a permanent wrapper object (once).
void DDX_Control(CDataExchange* dataExchange, int id, CWnd& control);
void DDX_Text(CDataExchange* dataExchange, int id, CString& value);
// An int in an edit; a text that is not a whole number fails with "Please enter an integer.".
void DDX_Text(CDataExchange* dataExchange, int id, int& value);
// Limits the edit just exchanged to maxChars characters (code points) while typing; on save, a
// text of more characters fails.
void DDV_MaxChars(CDataExchange* dataExchange, const CString& value, int maxChars);
// The radio group that starts at this id: value is the index of the checked button, -1 none.
void DDX_Radio(CDataExchange* dataExchange, int id, int& value);
// A check box: BST_UNCHECKED, BST_CHECKED.
void DDX_Check(CDataExchange* dataExchange, int id, int& value);
