#pragma once
// Drawing objects: solid pens, solid brushes and rectangular regions. They hold plain values;
// the device context turns them into Qt pens, brushes and clip rectangles when they are used.

#include "platform/CObject.h"
#include "platform/framework/WinConstants.h"

class CGdiObject : public CObject {
public:
    // Releases the object's value; it can be created again.
    BOOL DeleteObject();

protected:
    bool m_created = false;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int penStyle, int width, COLORREF color) { CreatePen(penStyle, width, color); }
    BOOL CreatePen(int penStyle, int width, COLORREF color);

    int m_style = PS_SOLID;
    int m_width = 1;
    COLORREF m_color = RGB(0, 0, 0);
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);

    COLORREF m_color = RGB(255, 255, 255);
};

class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(LPCRECT rect);

    RECT m_rect{0, 0, 0, 0};
};

// The desktop palette's colours under the system colour indexes (COLOR_BTNFACE is the button
// colour, COLOR_BTNHIGHLIGHT its light edge, COLOR_BTNSHADOW its dark edge, ...).
COLORREF GetSysColor(int index);
