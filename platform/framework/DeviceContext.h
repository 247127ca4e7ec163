#pragma once
// Internal: what a device context handle stands for. The context draws through a QPainter and
// keeps the platform's drawing state beside it.

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <memory>
#include <optional>
#include <vector>

#include "platform/framework/CDC.h"

struct HDC__ {
    struct State {
        CPen pen{PS_SOLID, 1, RGB(0, 0, 0)};
        CPen* selectedPen = nullptr;
        CBrush brush{RGB(255, 255, 255)};
        CBrush* selectedBrush = nullptr;
        COLORREF textColor = RGB(0, 0, 0);
        COLORREF backgroundColor = RGB(255, 255, 255);
        int backgroundMode = OPAQUE;
        QPoint position;
        std::optional<QRect> clipRect;  // the selected clip region, in device coordinates
    };

    QPainter* painter = nullptr;
    QImage scratchImage;  // what a paint context outside a paint event draws into
    std::unique_ptr<QPainter> ownedPainter;
    std::optional<QRegion> baseClip;  // the painter's clip when the context was made
    State state;
    std::vector<State> saved;
    std::unique_ptr<CDC> wrapper;  // FromHandle's wrapper

    ~HDC__();
};

namespace ordvane::framework::detail {

// A context on a painter that the caller keeps alive for the context's life; the painter's
// current clip is the context's own clip, which SelectClipRgn can only narrow.
std::unique_ptr<HDC__> MakeDeviceContext(QPainter* painter);
QColor ToQColor(COLORREF color);
COLORREF ToColorRef(const QColor& color);

}  // namespace ordvane::framework::detail
