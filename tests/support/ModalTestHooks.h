#pragma once
// Scripted modal runs for tests. While a ModalScript exists, DoModal and the message boxes
// consult it before they would block: a dialog is handed to the script after WM_INITDIALOG
// (the script sets controls, presses buttons, pumps events), and a message box is recorded and
// answered without being shown. Afterwards the test reads what was shown.

#include <functional>
#include <string>
#include <vector>

#include "platform/framework/ModalHooks.h"
#include "platform/framework/WinConstants.h"

class CDialog;
class CWnd;
class QMenu;

namespace ordvane::framework {

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    UINT type;   // MB_ buttons and icon
    int answer;  // what the box returned
};

struct ModalDialogRecord {
    UINT templateId;
    std::string caption;  // the caption when the dialog ended
    INT_PTR result;
};

class ModalScript final : private ModalHooks {
public:
    using DialogHandler = std::function<void(CDialog& dialog)>;
    using MessageBoxHandler = std::function<int(const MessageBoxRecord& box)>;

    // Installs this script; scripts nest, the innermost one answers.
    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // Called with each modal dialog once it is initialised and shown. A dialog that is still
    // open when the handler returns ends with IDCANCEL (through EndDialog, not OnCancel).
    void OnDialog(DialogHandler handler) { m_dialogHandler = std::move(handler); }
    // Called for each message box; returns the button to answer. Without a handler every box is
    // answered with its first button (IDOK, IDYES, IDABORT or IDRETRY).
    void OnMessageBox(MessageBoxHandler handler) { m_messageBoxHandler = std::move(handler); }

    const std::vector<MessageBoxRecord>& MessageBoxes() const { return m_messageBoxes; }
    const std::vector<ModalDialogRecord>& Dialogs() const { return m_dialogs; }
    void ClearRecords();

private:
    int AnswerMessageBox(const char* text, const char* caption, UINT type) override;
    void RunDialog(CDialog& dialog) override;
    void RecordDialogEnd(const CDialog& dialog, INT_PTR result) override;

    DialogHandler m_dialogHandler;
    MessageBoxHandler m_messageBoxHandler;
    std::vector<MessageBoxRecord> m_messageBoxes;
    std::vector<ModalDialogRecord> m_dialogs;
    ModalHooks* m_outer;
};

// Delivers every pending event (posted messages, deferred list updates, paints) until none is
// left. Deterministic: it does not wait for anything.
void PumpEvents();
// Delivers events until condition() holds or the time is up, sleeping briefly between rounds;
// for results that arrive from other threads or the network. Returns condition().
bool PumpEventsUntil(const std::function<bool()>& condition, int timeoutMilliseconds);
// Clicks the control with this id of a window as the user would; FALSE when it is missing,
// hidden or disabled.
BOOL PressButton(CWnd& window, int id);
// Sends a key press and release to the window's focused widget (or the window itself).
void PressKey(CWnd& window, int qtKey, unsigned qtModifiers = 0);
// Opens the window's system menu as Alt+Space does and returns it; nullptr without one.
QMenu* OpenSystemMenu(CWnd& window);
// Types text into an edit key by key, as a user would (length limits apply).
void TypeText(CWnd& edit, const char* text);

}  // namespace ordvane::framework
