#include "platform/framework/CDC.h"

#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <cstring>

#include "platform/framework/CWnd.h"
#include "platform/framework/DeviceContext.h"
#include "platform/framework/DialogWindow.h"
#include "platform/framework/Resources.h"

using ordvane::framework::detail::MakeDeviceContext;
using ordvane::framework::detail::ToQColor;

HDC__::~HDC__() {
    if (wrapper) {
        wrapper->Detach();
    }
}

namespace ordvane::framework::detail {

std::unique_ptr<HDC__> MakeDeviceContext(QPainter* painter) {
    auto context = std::make_unique<HDC__>();
    context->painter = painter;
    if (painter->hasClipping()) {
        context->baseClip = painter->clipRegion();
    }
    painter->setRenderHint(QPainter::Antialiasing, false);
    return context;
}

QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

COLORREF ToColorRef(const QColor& color) {
    return RGB(static_cast<BYTE>(color.red()), static_cast<BYTE>(color.green()),
               static_cast<BYTE>(color.blue()));
}

}  // namespace ordvane::framework::detail

namespace {

CPen& StockBlackPen() {
    static CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    return pen;
}

CBrush& StockWhiteBrush() {
    static CBrush brush(RGB(255, 255, 255));
    return brush;
}

// Floor division for the line rasteriser (the numerator may be negative).
long long FloorDivide(long long numerator, long long denominator) {
    long long quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) {
        --quotient;
    }
    return quotient;
}

// numerator / denominator rounded to the nearest integer, exact halves downwards (denominator
// positive): a line that passes exactly between two pixels takes the upper or left one.
long long RoundHalfDown(long long numerator, long long denominator) {
    return FloorDivide(2 * numerator + denominator - 1, 2 * denominator);
}

void ApplyClip(HDC__& context) {
    QPainter& painter = *context.painter;
    if (context.state.clipRect.has_value()) {
        QRegion clip(*context.state.clipRect);
        if (context.baseClip.has_value()) {
            clip = clip.intersected(*context.baseClip);
        }
        painter.setClipRegion(clip);
    } else if (context.baseClip.has_value()) {
        painter.setClipRegion(*context.baseClip);
    } else {
        painter.setClipping(false);
    }
}

QRect ToQRect(const RECT& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// Removes the mnemonic marks: "&x" shows as x, "&&" as &.
QString WithoutPrefixes(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

}  // namespace

CDC::~CDC() {
    if (m_owned && m_hDC != nullptr) {
        delete m_hDC;
    }
}

CDC* CDC::FromHandle(HDC dc) {
    if (dc == nullptr) {
        return nullptr;
    }
    if (!dc->wrapper) {
        dc->wrapper = std::make_unique<CDC>();
        dc->wrapper->m_hDC = dc;
    }
    return dc->wrapper.get();
}

BOOL CDC::Attach(HDC dc) {
    if (dc == nullptr || m_hDC != nullptr) {
        return FALSE;
    }
    m_hDC = dc;
    m_owned = false;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_owned = false;
    return dc;
}

void CDC::AttachOwned(HDC dc) {
    m_hDC = dc;
    m_owned = true;
}

QPainter* CDC::GetPainter() const {
    return m_hDC != nullptr ? m_hDC->painter : nullptr;
}

int CDC::SaveDC() {
    if (m_hDC == nullptr) {
        return 0;
    }
    m_hDC->saved.push_back(m_hDC->state);
    m_hDC->painter->save();
    return static_cast<int>(m_hDC->saved.size());
}

BOOL CDC::RestoreDC(int level) {
    if (m_hDC == nullptr || m_hDC->saved.empty()) {
        return FALSE;
    }
    const int depth = static_cast<int>(m_hDC->saved.size());
    const int target = level < 0 ? depth + level + 1 : level;
    if (target < 1 || target > depth) {
        return FALSE;
    }
    while (static_cast<int>(m_hDC->saved.size()) >= target) {
        m_hDC->state = m_hDC->saved.back();
        m_hDC->saved.pop_back();
        m_hDC->painter->restore();
    }
    ApplyClip(*m_hDC);
    return TRUE;
}

int CDC::SelectClipRgn(CRgn* region) {
    if (m_hDC == nullptr) {
        return 0;
    }
    if (region == nullptr) {
        m_hDC->state.clipRect.reset();
    } else {
        m_hDC->state.clipRect = ToQRect(region->m_rect);
    }
    ApplyClip(*m_hDC);
    return 2;  // SIMPLEREGION
}

CPen* CDC::SelectObject(CPen* pen) {
    if (m_hDC == nullptr || pen == nullptr) {
        return nullptr;
    }
    CPen* previous =
        m_hDC->state.selectedPen != nullptr ? m_hDC->state.selectedPen : &StockBlackPen();
    m_hDC->state.selectedPen = pen;
    m_hDC->state.pen.CreatePen(pen->m_style, pen->m_width, pen->m_color);
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush) {
    if (m_hDC == nullptr || brush == nullptr) {
        return nullptr;
    }
    CBrush* previous =
        m_hDC->state.selectedBrush != nullptr ? m_hDC->state.selectedBrush : &StockWhiteBrush();
    m_hDC->state.selectedBrush = brush;
    m_hDC->state.brush.CreateSolidBrush(brush->m_color);
    return previous;
}

int CDC::SetBkMode(int mode) {
    if (m_hDC == nullptr) {
        return 0;
    }
    const int previous = m_hDC->state.backgroundMode;
    m_hDC->state.backgroundMode = mode;
    return previous;
}

void CDC::FillRect(LPCRECT rect, CBrush* brush) {
    if (m_hDC != nullptr && rect != nullptr && brush != nullptr) {
        FillSolidRect(rect, brush->m_color);
    }
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    if (m_hDC == nullptr || rect == nullptr || rect->right <= rect->left ||
        rect->bottom <= rect->top) {
        return;
    }
    m_hDC->painter->fillRect(ToQRect(*rect), ToQColor(color));
}

CPoint CDC::MoveTo(int x, int y) {
    if (m_hDC == nullptr) {
        return CPoint();
    }
    const QPoint previous = m_hDC->state.position;
    m_hDC->state.position = QPoint(x, y);
    return CPoint(previous.x(), previous.y());
}

CPoint CDC::GetCurrentPosition() const {
    return m_hDC != nullptr ? CPoint(m_hDC->state.position.x(), m_hDC->state.position.y())
                            : CPoint();
}

BOOL CDC::LineTo(int x, int y) {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    const QPoint from = m_hDC->state.position;
    m_hDC->state.position = QPoint(x, y);
    const CPen& pen = m_hDC->state.pen;
    if (pen.m_style == PS_NULL) {
        return TRUE;
    }
    QPainter& painter = *m_hDC->painter;
    const QColor color = ToQColor(pen.m_color);
    const long long dx = x - from.x();
    const long long dy = y - from.y();
    const long long steps = std::max(std::llabs(dx), std::llabs(dy));
    // Every pixel from the start up to, not including, the end point: one per step along the
    // major axis, the minor coordinate rounded to the nearest pixel.
    for (long long step = 0; step < steps; ++step) {
        const long long px = from.x() + RoundHalfDown(step * dx, steps);
        const long long py = from.y() + RoundHalfDown(step * dy, steps);
        const int half = (pen.m_width - 1) / 2;
        painter.fillRect(QRect(static_cast<int>(px) - half, static_cast<int>(py) - half,
                               pen.m_width, pen.m_width),
                         color);
    }
    return TRUE;
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
    if (m_hDC == nullptr || icon == nullptr) {
        return FALSE;
    }
    const int size = GetSystemMetrics(SM_CXICON);
    m_hDC->painter->drawPixmap(x, y, IconFromHandle(icon).pixmap(size, size));
    return TRUE;
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format) {
    return DrawText(static_cast<LPCSTR>(text), text.GetLength(), rect, format);
}

int CDC::DrawText(LPCSTR text, int count, LPRECT rect, UINT format) {
    if (m_hDC == nullptr || text == nullptr || rect == nullptr) {
        return 0;
    }
    const int length = count < 0 ? static_cast<int>(std::strlen(text)) : count;
    QString shown = QString::fromUtf8(text, length);
    if ((format & DT_NOPREFIX) == 0) {
        shown = WithoutPrefixes(shown);
    }
    QPainter& painter = *m_hDC->painter;
    const QFontMetrics metrics(painter.font());
    const QRect box = ToQRect(*rect);
    const bool singleLine = (format & DT_SINGLELINE) != 0;
    if (singleLine) {
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
        shown.remove(QLatin1Char('\r'));
    }
    if ((format & DT_END_ELLIPSIS) != 0) {
        shown = metrics.elidedText(shown, Qt::ElideRight, std::max(0, box.width()));
    }
    Qt::Alignment alignment = Qt::AlignLeft;
    if ((format & DT_CENTER) != 0) {
        alignment = Qt::AlignHCenter;
    } else if ((format & DT_RIGHT) != 0) {
        alignment = Qt::AlignRight;
    }
    if (singleLine && (format & DT_VCENTER) != 0) {
        alignment |= Qt::AlignVCenter;
    } else if (singleLine && (format & DT_BOTTOM) != 0) {
        alignment |= Qt::AlignBottom;
    } else {
        alignment |= Qt::AlignTop;
    }
    int flags = static_cast<int>(alignment);
    if (!singleLine && (format & DT_WORDBREAK) != 0) {
        flags |= Qt::TextWordWrap;
    }
    if ((format & DT_NOCLIP) != 0) {
        flags |= Qt::TextDontClip;  // Qt would cut the text at the rectangle by itself
    }
    const QRect needed = metrics.boundingRect(box, flags, shown);
    if ((format & DT_CALCRECT) != 0) {
        rect->right = rect->left + needed.width();
        rect->bottom = rect->top + needed.height();
        return needed.height();
    }
    painter.save();
    if ((format & DT_NOCLIP) == 0) {
        QRegion clip(box);
        if (painter.hasClipping()) {
            clip = clip.intersected(painter.clipRegion());
        }
        painter.setClipRegion(clip);
    }
    if (m_hDC->state.backgroundMode == OPAQUE) {
        painter.fillRect(needed.intersected(box), ToQColor(m_hDC->state.backgroundColor));
    }
    painter.setPen(ToQColor(m_hDC->state.textColor));
    painter.drawText(box, flags, shown);
    painter.restore();
    return needed.height();
}

CPaintDC::CPaintDC(CWnd* window) : m_hWnd(window != nullptr ? window->m_hWnd : nullptr) {
    QWidget* widget = window != nullptr ? window->GetWidget() : nullptr;
    auto context = std::make_unique<HDC__>();
    // Qt lets a widget be painted only during its own paint event; anywhere else the drawing
    // goes to a scratch image and is not seen, as a paint context outside WM_PAINT draws nothing.
    if (widget != nullptr &&
        ordvane::framework::detail::DialogWindow::WidgetBeingPainted() == widget) {
        context->ownedPainter = std::make_unique<QPainter>(widget);
    } else {
        context->scratchImage = QImage(1, 1, QImage::Format_ARGB32);
        context->ownedPainter = std::make_unique<QPainter>(&context->scratchImage);
    }
    context->painter = context->ownedPainter.get();
    context->painter->setRenderHint(QPainter::Antialiasing, false);
    if (widget != nullptr) {
        context->painter->setFont(widget->font());
    }
    AttachOwned(context.release());
}

CPaintDC::~CPaintDC() = default;

CImageDC::CImageDC(QImage& image) {
    auto context = std::make_unique<HDC__>();
    context->ownedPainter = std::make_unique<QPainter>(&image);
    context->painter = context->ownedPainter.get();
    context->painter->setRenderHint(QPainter::Antialiasing, false);
    AttachOwned(context.release());
}

CImageDC::~CImageDC() = default;
