#pragma once
// The one place where a test library may take over modal runs. The program never installs
// hooks: DoModal then runs its own event loop and MessageBox shows a real box.

#include "platform/framework/WinConstants.h"

class CDialog;

namespace ordvane::framework {

class ModalHooks {
public:
    // Answers a message box instead of showing it; returns the button chosen.
    virtual int AnswerMessageBox(const char* text, const char* caption, UINT type) = 0;
    // Acts on a modal dialog, initialised and shown, instead of its event loop.
    virtual void RunDialog(CDialog& dialog) = 0;
    // Learns how a modal dialog ended, just before its window is destroyed.
    virtual void RecordDialogEnd(const CDialog& dialog, INT_PTR result) = 0;

protected:
    ModalHooks() = default;
    ~ModalHooks() = default;
    ModalHooks(const ModalHooks&) = default;
    ModalHooks& operator=(const ModalHooks&) = default;
};

// The hooks in force; nullptr unless a test installed some.
ModalHooks* ActiveModalHooks();
// Installs hooks (nullptr removes them) and returns the ones they replace.
ModalHooks* InstallModalHooks(ModalHooks* hooks);

}  // namespace ordvane::framework
