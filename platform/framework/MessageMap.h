#pragma once
// Message maps: each class that reacts to messages has one static table of entries (message,
// notification code, control id, handler). The framework looks a message up in the class's
// table, then in its base class's table, and calls the first handler found; a message nobody
// maps goes to DefWindowProc. A handler is a small function that unpacks the message's
// parameters and calls the class's member function with the framework's signature.

#include "platform/framework/WinConstants.h"

class CCmdTarget;

// Unpacks wParam/lParam and calls the member handler on the target; returns the message's result.
using AFX_PMSG = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_ message, or WM_COMMAND / WM_NOTIFY (+ WM_REFLECT_BASE) for notifications
    UINT nCode;     // notification code for WM_COMMAND and WM_NOTIFY entries
    UINT nID;       // control id; 0 for window messages
    UINT nLastID;   // last id of a range; equals nID otherwise
    AFX_PMSG pfn;   // nullptr ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass [[maybe_unused]] = theClass;    \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, nullptr }                                                                       \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

// Window messages.
#define ON_WM_CREATE()                                                              \
    {WM_CREATE, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM lParam) -> LRESULT { \
         return static_cast<ThisClass*>(target)->OnCreate(                          \
             reinterpret_cast<LPCREATESTRUCT>(lParam));                             \
     }},
#define ON_WM_DESTROY()                                                       \
    {WM_DESTROY, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT { \
         static_cast<ThisClass*>(target)->OnDestroy();                        \
         return 0;                                                            \
     }},
#define ON_WM_CLOSE()                                                       \
    {WM_CLOSE, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT { \
         static_cast<ThisClass*>(target)->OnClose();                        \
         return 0;                                                          \
     }},
#define ON_WM_PAINT()                                                       \
    {WM_PAINT, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT { \
         static_cast<ThisClass*>(target)->OnPaint();                        \
         return 0;                                                          \
     }},
#define ON_WM_QUERYDRAGICON()                                                                  \
    {WM_QUERYDRAGICON, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {            \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(target)->OnQueryDragIcon()); \
     }},
#define ON_WM_SYSCOMMAND()                                                                     \
    {WM_SYSCOMMAND, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         static_cast<ThisClass*>(target)->OnSysCommand(static_cast<UINT>(wParam), lParam);     \
         return 0;                                                                             \
     }},
#define ON_WM_SIZE()                                                                        \
    {WM_SIZE, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {    \
         static_cast<ThisClass*>(target)->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), \
                                                 HIWORD(lParam));                           \
         return 0;                                                                          \
     }},
#define ON_WM_SIZING()                                                                     \
    {WM_SIZING, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         static_cast<ThisClass*>(target)->OnSizing(static_cast<UINT>(wParam),              \
                                                   reinterpret_cast<LPRECT>(lParam));      \
         return TRUE;                                                                      \
     }},
#define ON_WM_LBUTTONDBLCLK()                                                                     \
    {WM_LBUTTONDBLCLK, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         static_cast<ThisClass*>(target)->OnLButtonDblClk(static_cast<UINT>(wParam),              \
                                                          CPoint(lParam));                        \
         return 0;                                                                                \
     }},

// The point is in screen coordinates; (-1, -1) when the menu was asked for from the keyboard.
#define ON_WM_CONTEXTMENU()                                                                     \
    {WM_CONTEXTMENU, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         static_cast<ThisClass*>(target)->OnContextMenu(                                        \
             CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),                                  \
             lParam == static_cast<LPARAM>(-1) ? CPoint(-1, -1) : CPoint(lParam));              \
         return 0;                                                                              \
     }},

// User-defined messages: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                     \
    {(message), 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         return static_cast<ThisClass*>(target)->memberFxn(wParam, lParam);                \
     }},

// Commands and control notifications sent as WM_COMMAND: void handler().
#define ON_COMMAND(id, memberFxn)                                 \
    {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {          \
         static_cast<ThisClass*>(target)->memberFxn();            \
         return 0;                                                \
     }},
#define ON_CONTROL(notifyCode, id, memberFxn)                                                 \
    {WM_COMMAND, static_cast<UINT>(notifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                                      \
         static_cast<ThisClass*>(target)->memberFxn();                                        \
         return 0;                                                                            \
     }},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// Notifications sent as WM_NOTIFY: void handler(NMHDR*, LRESULT*). The lParam of the thunk is
// an AFX_NOTIFY record.
struct AFX_NOTIFY {
    NMHDR* pNMHDR;
    LRESULT* pResult;
};
#define ON_NOTIFY(notifyCode, id, memberFxn)                                                 \
    {WM_NOTIFY, static_cast<UINT>(notifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CCmdTarget* target, WPARAM, LPARAM lParam) -> LRESULT {                              \
         auto* notify = reinterpret_cast<AFX_NOTIFY*>(lParam);                               \
         static_cast<ThisClass*>(target)->memberFxn(notify->pNMHDR, notify->pResult);        \
         return TRUE;                                                                        \
     }},
// A notification that the parent reflects back to the control that sent it.
#define ON_NOTIFY_REFLECT(notifyCode, memberFxn)                                      \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(notifyCode), 0, 0,                \
     [](CCmdTarget* target, WPARAM, LPARAM lParam) -> LRESULT {                       \
         auto* notify = reinterpret_cast<AFX_NOTIFY*>(lParam);                        \
         static_cast<ThisClass*>(target)->memberFxn(notify->pNMHDR, notify->pResult); \
         return TRUE;                                                                 \
     }},
#define ON_CONTROL_REFLECT(notifyCode, memberFxn)                       \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(notifyCode), 0, 0, \
     [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                \
         static_cast<ThisClass*>(target)->memberFxn();                  \
         return TRUE;                                                   \
     }},
