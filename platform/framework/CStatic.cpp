#include "platform/framework/CStatic.h"

#include <QIcon>
#include <QLabel>
#include <QVariant>

#include "platform/framework/Resources.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)

namespace {
constexpr const char* kIconProperty = "ordvaneIcon";
}

HICON CStatic::SetIcon(HICON icon) {
    auto* label = qobject_cast<QLabel*>(GetWidget());
    if (label == nullptr) {
        return nullptr;
    }
    HICON previous = GetIcon();
    label->setProperty(kIconProperty,
                       QVariant::fromValue<qulonglong>(reinterpret_cast<std::uintptr_t>(icon)));
    if (icon != nullptr) {
        const int size = IconSizeFromHandle(icon);
        label->setPixmap(IconFromHandle(icon).pixmap(size, size));
    } else {
        label->clear();
    }
    return previous;
}

HICON CStatic::GetIcon() const {
    QWidget* widget = GetWidget();
    const QVariant icon = widget != nullptr ? widget->property(kIconProperty) : QVariant();
    return icon.isValid() ? reinterpret_cast<HICON>(static_cast<std::uintptr_t>(icon.toULongLong()))
                          : nullptr;
}
