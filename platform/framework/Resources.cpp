#include "platform/framework/Resources.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <map>
#include <memory>
#include <utility>

#include "platform/framework/CWnd.h"
#include "platform/framework/DialogTemplate.h"
#include "platform/framework/Translate.h"

struct HICON__ {
    QIcon icon;
    int size;
};

// Defined with the icon resources in res/icons.
void ordvaneInitIconResources();

namespace {

// Icon resource id → its drawing in the Qt resources (res/icons).
QString IconPath(UINT id) {
    return QStringLiteral(":/ordvane/icons/%1.svg").arg(id);
}

// The SVG drawn at the sizes that windows, task bars and the About box ask for, so that no
// image plug-in is needed at run time.
QIcon RenderIcon(UINT id) {
    static const bool registered = [] {
        ordvaneInitIconResources();
        return true;
    }();
    (void)registered;
    QSvgRenderer renderer(IconPath(id));
    if (!renderer.isValid()) {
        return QIcon();
    }
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace

BOOL AfxLoadString(UINT id, CString& text) {
    const char* found = FindStringResource(id);
    // The table holds the English texts; the user's language comes from the catalogues.
    text = found != nullptr ? ordvane::translate("StringTable", found) : CString();
    return found != nullptr && *found != '\0' ? TRUE : FALSE;
}

HICON LoadIconResource(UINT id, int size) {
    // Icons are shared: each (id, size) is made once and kept for the life of the process.
    static std::map<std::pair<UINT, int>, std::unique_ptr<HICON__>> icons;
    const auto key = std::make_pair(id, size);
    auto found = icons.find(key);
    if (found != icons.end()) {
        return found->second.get();
    }
    QIcon icon = RenderIcon(id);
    if (icon.isNull()) {
        return nullptr;
    }
    auto handle = std::make_unique<HICON__>(HICON__{std::move(icon), size});
    HICON result = handle.get();
    icons.emplace(key, std::move(handle));
    return result;
}

void* LoadImage(HINSTANCE /*instance*/, LPCSTR name, UINT type, int cx, int /*cy*/, UINT flags) {
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    if (type != IMAGE_ICON || id > 0xFFFF) {
        return nullptr;
    }
    int size = cx;
    if (size <= 0) {
        size = (flags & LR_DEFAULTSIZE) != 0 ? GetSystemMetrics(SM_CXICON) : 32;
    }
    return LoadIconResource(static_cast<UINT>(id), size);
}

const QIcon& IconFromHandle(HICON icon) {
    static const QIcon none;
    return icon != nullptr ? icon->icon : none;
}

int IconSizeFromHandle(HICON icon) {
    return icon != nullptr ? icon->size : 0;
}
