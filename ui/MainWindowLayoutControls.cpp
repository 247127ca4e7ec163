#include "ui/MainWindowLayoutControls.h"

#include <QWidget>
#include <algorithm>
#include <array>

namespace ordvane {

namespace {

LayoutRect ToLayoutRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void CaptureControls(CWnd& window, MainWindowLayout& layout, const CRect& client) {
    MainWindowLayout::ControlRects measured{};
    for (std::size_t i = 0; i < measured.size(); ++i) {
        CWnd* control = window.GetDlgItem(MainWindowLayout::kControlIds[i]);
        if (control == nullptr) {
            continue;
        }
        CRect rect;
        control->GetWindowRect(&rect);
        window.ScreenToClient(&rect);
        measured[i] = ToLayoutRect(rect);
    }
    layout.Capture(client.Width(), client.Height(), measured);
}

void ApplyControls(CWnd& window, const MainWindowLayout& layout, const CRect& client) {
    if (!layout.IsCaptured()) {
        return;
    }
    const auto placed = layout.Apply(client.Width(), client.Height());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        CWnd* control = window.GetDlgItem(MainWindowLayout::kControlIds[i]);
        if (control == nullptr) {
            continue;
        }
        const LayoutRect& rect = placed[i];
        control->MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), FALSE);
    }
}

}  // namespace

void LayoutMainWindowControls(CWnd& window, MainWindowLayout& layout, LayoutMode mode) {
    CRect client;
    window.GetClientRect(&client);
    if (mode == LayoutMode::kCapture) {
        CaptureControls(window, layout, client);
    } else {
        ApplyControls(window, layout, client);
    }
    window.Invalidate(TRUE);
    window.UpdateWindow();
}

void ClampSizing(UINT side, LPRECT rect) {
    if (rect == nullptr) {
        return;
    }
    const LayoutRect clamped = ClampSizingRect(static_cast<int>(side), ToLayoutRect(*rect));
    *rect = RECT{clamped.left, clamped.top, clamped.right, clamped.bottom};
}

void ApplyMinimumWindowSize(CWnd& window, const MainWindowLayout& layout) {
    QWidget* widget = window.GetWidget();
    if (widget == nullptr) {
        return;
    }
    std::array<bool, MainWindowLayout::kControlIds.size()> shown{};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        CWnd* control = window.GetDlgItem(MainWindowLayout::kControlIds[i]);
        shown[i] = control != nullptr && control->GetWidget() != nullptr &&
                   !control->GetWidget()->isHidden();
    }
    const MainWindowLayout::Size buttons = layout.MinimumClientSize(shown);
    CRect frame;
    CRect client;
    window.GetWindowRect(&frame);
    window.GetClientRect(&client);
    const int frameWidth = std::max(0, frame.Width() - client.Width());
    const int frameHeight = std::max(0, frame.Height() - client.Height());
    // The window's minimum, and beyond it room for every shown button whole.
    widget->setMinimumSize(std::max({0, kMinimumWindowWidth - frameWidth, buttons.width}),
                           std::max({0, kMinimumWindowHeight - frameHeight, buttons.height}));
}

}  // namespace ordvane
