#include "platform/framework/CGdiObject.h"

#include <QApplication>
#include <QPalette>

#include "platform/framework/DeviceContext.h"

BOOL CGdiObject::DeleteObject() {
    const BOOL wasCreated = m_created ? TRUE : FALSE;
    m_created = false;
    return wasCreated;
}

BOOL CPen::CreatePen(int penStyle, int width, COLORREF color) {
    m_style = penStyle;
    m_width = width < 1 ? 1 : width;
    m_color = color;
    m_created = true;
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    m_color = color;
    m_created = true;
    return TRUE;
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
    m_rect = RECT{left, top, right, bottom};
    m_created = true;
    return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT rect) {
    return rect != nullptr ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom)
                           : FALSE;
}

COLORREF GetSysColor(int index) {
    using ordvane::framework::detail::ToColorRef;
    const QPalette palette =
        QApplication::instance() != nullptr ? QApplication::palette() : QPalette();
    switch (index) {
        case COLOR_BTNFACE:
            return ToColorRef(palette.color(QPalette::Button));
        case COLOR_BTNHIGHLIGHT:
            return ToColorRef(palette.color(QPalette::Light));
        case COLOR_BTNSHADOW:
            return ToColorRef(palette.color(QPalette::Dark));
        case COLOR_3DDKSHADOW:
            return ToColorRef(palette.color(QPalette::Shadow));
        case COLOR_3DLIGHT:
            return ToColorRef(palette.color(QPalette::Midlight));
        case COLOR_BTNTEXT:
            return ToColorRef(palette.color(QPalette::ButtonText));
        case COLOR_WINDOW:
            return ToColorRef(palette.color(QPalette::Base));
        case COLOR_WINDOWTEXT:
            return ToColorRef(palette.color(QPalette::Text));
        case COLOR_HIGHLIGHT:
            return ToColorRef(palette.color(QPalette::Highlight));
        case COLOR_HIGHLIGHTTEXT:
            return ToColorRef(palette.color(QPalette::HighlightedText));
        case COLOR_GRAYTEXT:
            return ToColorRef(palette.color(QPalette::Disabled, QPalette::Text));
        default:
            return RGB(0, 0, 0);
    }
}
