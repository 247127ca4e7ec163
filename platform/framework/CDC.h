#pragma once
// A device context over a QPainter, with the platform's drawing rules: 1-pixel lines without
// antialiasing that leave out their end point, rectangles whose right and bottom edges lie
// outside them, a current position, a selected pen and brush, a text colour, and SaveDC /
// RestoreDC of all of it including the clip region.

#include "platform/CString.h"
#include "platform/framework/CGdiObject.h"

class CWnd;
class QImage;
class QPainter;

class CDC : public CObject {
public:
    CDC() = default;
    ~CDC() override;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    // A wrapper owned by the device context itself; valid while the context lives.
    static CDC* FromHandle(HDC dc);
    // Wraps a context without taking ownership; Detach releases it again.
    BOOL Attach(HDC dc);
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }
    QPainter* GetPainter() const;

    int SaveDC();
    // level: a value SaveDC returned, or -1 for the most recent save.
    BOOL RestoreDC(int level);
    // Confines drawing to the region intersected with the context's own clip; nullptr removes
    // the region again. The region is copied: it may be deleted at once.
    int SelectClipRgn(CRgn* region);

    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    int SetBkMode(int mode);

    void FillRect(LPCRECT rect, CBrush* brush);
    void FillSolidRect(LPCRECT rect, COLORREF color);
    // Returns the previous current position.
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    // Draws from the current position up to, not including, (x, y), then moves there.
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    CPoint GetCurrentPosition() const;
    // Draws the icon at its large size (SM_CXICON by SM_CYICON) with its top-left at (x, y).
    BOOL DrawIcon(int x, int y, HICON icon);
    // count -1: the text up to its terminator. Returns the height of the text drawn.
    int DrawText(LPCSTR text, int count, LPRECT rect, UINT format);
    int DrawText(const CString& text, LPRECT rect, UINT format);

protected:
    // Takes ownership of a context made by CreateContext (CPaintDC, CImageDC).
    void AttachOwned(HDC dc);

private:
    bool m_owned = false;
};

// A paint context for a window's WM_PAINT: valid inside the window's paint processing.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;

    HWND m_hWnd;
};

// A context that draws into an image: for offscreen drawing and pixel tests.
class CImageDC : public CDC {
public:
    explicit CImageDC(QImage& image);
    ~CImageDC() override;
};
