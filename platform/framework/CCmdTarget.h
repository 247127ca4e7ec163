#pragma once
// The root of every class with a message map: it owns the map lookup that windows and the
// application object share.

#include "platform/CObject.h"
#include "platform/framework/MessageMap.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Routes a command (WM_COMMAND with a control id and notification code) through this
    // object's map chain; TRUE when a handler took it.
    virtual BOOL OnCmdMsg(UINT id, UINT code, LPARAM lParam);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry for (message, code, id) in this object's map or its bases' maps;
    // nullptr when no class maps it.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;
};
