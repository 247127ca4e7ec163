#pragma once
// The main window's layout applied to its real controls. CScanDlg keeps one
// MainWindowLayout m_layout and calls:
//
//     LayoutControls(mode):  LayoutMainWindowControls(*this, m_layout, mode);
//     OnInitDialog:          LayoutControls(Capture); LayoutControls(Apply);
//                            ApplyMinimumWindowSize(*this, m_layout);
//     OnSize:                CDialog::OnSize(type, cx, cy);
//                            if (GetWindow(GW_CHILD) != nullptr) { LayoutControls(Apply); }
//                            ApplyMinimumWindowSize(*this, m_layout);  // the frame is known once
//                            shown
//     OnSizing:              CDialog::OnSizing(side, rect); ClampSizing(side, rect);

#include "platform/framework/CWnd.h"
#include "ui/MainWindowLayout.h"

namespace ordvane {

// Capture measures the controls 1002, 1001, 1003, 1004, 1000 and 1 in client coordinates and
// stores their margins; Apply moves them (without repainting each) for the current client
// size, and does nothing before a capture. Both end by invalidating the whole window with
// background erase and updating it at once.
void LayoutMainWindowControls(CWnd& window, MainWindowLayout& layout, LayoutMode mode);

// OnSizing's minimum: widens or heightens the proposed window rectangle at the dragged edge.
void ClampSizing(UINT side, LPRECT rect);

// Makes the window system keep the whole window (frame included) at least 194 by 130 pixels:
// the frame the window has now is taken off the minimum to give the smallest client area. A
// window manager's frame is known only once the window is shown, so call it again on resizes.
void ApplyMinimumWindowSize(CWnd& window, const MainWindowLayout& layout);

}  // namespace ordvane
