#pragma once
// A menu: the window's own menu of system commands, which Alt+Space and a right click on the
// window background open (choosing an item sends WM_SYSCOMMAND with its id), and pop-up menus
// of commands (choosing an item posts WM_COMMAND with its id to the window that tracks it).

#include <string>
#include <vector>

#include "platform/CObject.h"
#include "platform/CString.h"
#include "platform/framework/WinConstants.h"

class CWnd;
class QMenu;

inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;

class CMenu : public CObject {
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // An empty pop-up menu; items are appended afterwards.
    BOOL CreatePopupMenu();
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr);
    // Shows the menu at a screen point for the window and returns at once; the chosen item's
    // WM_COMMAND is posted to the window, so its handler runs after the menu has closed.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* window);
    int GetMenuItemCount() const;
    // The command id of the item at a position; 0 for a separator, -1 outside the menu.
    UINT GetMenuItemID(int position) const;
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    UINT GetMenuState(UINT item, UINT flags) const;

    // Builds the Qt menu that shows the items; each chosen item calls choose(id).
    QMenu* BuildQMenu(void (*choose)(void* context, UINT id), void* context) const;

private:
    struct Item {
        UINT flags;
        UINT id;
        std::string text;
    };
    int PositionOf(UINT item, UINT flags) const;
    std::vector<Item> m_items;
};
