#include "platform/framework/CMenu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <cstring>

#include "platform/framework/CWnd.h"
#include "platform/framework/DialogWindow.h"

BOOL CMenu::CreatePopupMenu() {
    m_items.clear();
    return TRUE;
}

BOOL CMenu::TrackPopupMenu(UINT /*flags*/, int x, int y, CWnd* window) {
    QWidget* widget = window != nullptr ? window->GetWidget() : nullptr;
    auto* dialog = widget != nullptr
                       ? dynamic_cast<ordvane::framework::detail::DialogWindow*>(widget->window())
                       : nullptr;
    if (dialog == nullptr || m_items.empty()) {
        return FALSE;
    }
    // The handle travels as the context; a window gone by the time of the choice misses it.
    QMenu* menu = BuildQMenu(
        [](void* context, UINT id) {
            ::PostMessage(static_cast<HWND>(context), WM_COMMAND,
                          MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
        },
        window->GetSafeHwnd());
    dialog->ShowPopupMenu(menu, QPoint(x, y));
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCSTR text) {
    if ((flags & MF_SEPARATOR) != 0) {
        m_items.push_back(Item{flags, 0, std::string()});
        return TRUE;
    }
    if (text == nullptr) {
        return FALSE;
    }
    m_items.push_back(Item{flags, static_cast<UINT>(id), std::string(text)});
    return TRUE;
}

int CMenu::GetMenuItemCount() const {
    return static_cast<int>(m_items.size());
}

UINT CMenu::GetMenuItemID(int position) const {
    if (position < 0 || position >= GetMenuItemCount()) {
        return static_cast<UINT>(-1);
    }
    return m_items[static_cast<std::size_t>(position)].id;
}

int CMenu::PositionOf(UINT item, UINT flags) const {
    if ((flags & MF_BYPOSITION) != 0) {
        return static_cast<int>(item) < GetMenuItemCount() ? static_cast<int>(item) : -1;
    }
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if ((m_items[i].flags & MF_SEPARATOR) == 0 && m_items[i].id == item) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const {
    const int position = PositionOf(item, flags);
    text = position >= 0 ? CString(m_items[static_cast<std::size_t>(position)].text) : CString();
    return text.GetLength();
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const {
    const int position = PositionOf(item, flags);
    return position >= 0 ? m_items[static_cast<std::size_t>(position)].flags
                         : static_cast<UINT>(-1);
}

QMenu* CMenu::BuildQMenu(void (*choose)(void* context, UINT id), void* context) const {
    auto* menu = new QMenu;
    for (const Item& item : m_items) {
        if ((item.flags & MF_SEPARATOR) != 0) {
            menu->addSeparator();
            continue;
        }
        // "text\tshortcut": the part after the tab is shown as the shortcut.
        const QString full = QString::fromUtf8(item.text.c_str());
        const qsizetype tab = full.indexOf(QLatin1Char('\t'));
        QAction* action = menu->addAction(tab >= 0 ? full.left(tab) : full);
        if (tab >= 0) {
            action->setShortcut(QKeySequence(full.mid(tab + 1)));
        }
        action->setEnabled((item.flags & (MF_GRAYED | MF_DISABLED)) == 0);
        const UINT id = item.id;
        QObject::connect(action, &QAction::triggered, menu,
                         [choose, context, id]() { choose(context, id); });
    }
    return menu;
}
