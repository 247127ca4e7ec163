#pragma once
// A dialog built from a template in the resources. DoModal creates the window and its controls
// from the template, sends WM_INITDIALOG (OnInitDialog), runs a loop of its own until EndDialog,
// then destroys the window and returns the value given to EndDialog.

#include "platform/framework/CWnd.h"

class CDataExchange;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // IDOK, IDCANCEL or whatever EndDialog was given; -1 when the template is missing.
    virtual INT_PTR DoModal();
    // Ends the modal run with this result once control returns to the dialog's loop.
    void EndDialog(int result);
    // TRUE while the dialog is created and EndDialog has not been called yet.
    BOOL IsModalRunning() const;

    virtual BOOL OnInitDialog();
    // UpdateData(TRUE), then EndDialog(IDOK); nothing when the data exchange fails.
    virtual void OnOK();
    virtual void OnCancel();

    // Moves values between the members and the controls: TRUE saves the controls into the
    // members and validates them; FALSE loads the controls. FALSE when validation failed.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT GetTemplateId() const { return m_templateId; }
    // The id WM_COMMAND gets when Enter is pressed outside a push button: the first default
    // push button in template order, otherwise IDOK.
    int GetDefaultId() const;

protected:
    virtual void DoDataExchange(CDataExchange* dataExchange);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    UINT m_templateId;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    bool CreateFromTemplate();
    void RunModalLoop();
    void DestroyDialogWindow();

    int m_modalResult = -1;
    bool m_ended = false;
    void* m_eventLoop = nullptr;  // the QEventLoop of the running modal loop
};
