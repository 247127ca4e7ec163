// The layout on the real controls of template 102: measured in client coordinates, moved on a
// size change, and the window kept at its frame-inclusive minimum by the window system.
#include <gtest/gtest.h>

#include <QWidget>
#include <array>

#include "platform/framework/CDialog.h"
#include "platform/framework/DialogTemplate.h"
#include "res/ids/Resource.h"
#include "tests/support/ModalTestHooks.h"
#include "ui/MainWindowLayoutControls.h"

using ordvane::ApplyMinimumWindowSize;
using ordvane::ClampSizing;
using ordvane::LayoutMainWindowControls;

namespace {

using ordvane::LayoutMode;
using ordvane::MainWindowLayout;
using ordvane::framework::ModalScript;

using Rects = std::array<CRect, MainWindowLayout::kControlIds.size()>;

Rects ControlRects(CWnd& window) {
    Rects rects;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        window.GetDlgItem(MainWindowLayout::kControlIds[i])->GetWindowRect(&rects[i]);
        window.ScreenToClient(&rects[i]);
    }
    return rects;
}

CRect Shifted(CRect rect, int dx, int dy) {
    rect.OffsetRect(dx, dy);
    return rect;
}

// Runs body on a dialog built from the main window's template.
void WithMainWindowTemplate(const std::function<void(CDialog&)>& body) {
    CDialog dialog(IDD_ORDVANE_DIALOG);
    ModalScript script;
    script.OnDialog([&](CDialog& shown) {
        body(shown);
        shown.EndDialog(IDOK);
    });
    dialog.DoModal();
}

TEST(MainWindowLayoutControls, ResizingMovesTheButtonsAndStretchesTheList) {
    WithMainWindowTemplate([](CDialog& window) {
        MainWindowLayout layout;
        LayoutMainWindowControls(window, layout, LayoutMode::kApply);  // before a capture
        const Rects original = ControlRects(window);
        ASSERT_EQ(original[0].Width(), MulDiv(413, 6, 4));  // the list as the template places it
        LayoutMainWindowControls(window, layout, LayoutMode::kCapture);
        LayoutMainWindowControls(window, layout, LayoutMode::kApply);
        EXPECT_EQ(ControlRects(window), original);

        CRect frame;
        window.GetWindowRect(&frame);
        window.MoveWindow(frame.left, frame.top, frame.Width() + 120, frame.Height() + 70);
        LayoutMainWindowControls(window, layout, LayoutMode::kApply);
        const Rects resized = ControlRects(window);

        CRect list = original[0];
        list.right += 120;
        list.bottom += 70;
        EXPECT_EQ(resized[0], list);
        EXPECT_EQ(resized[1], Shifted(original[1], 0, 70));  // Advanced Options
        for (std::size_t i = 2; i < resized.size(); ++i) {   // Wink, File, Scan, Exit
            EXPECT_EQ(resized[i], Shifted(original[i], 120, 70)) << i;
        }

        // An empty client area (as when minimized) and back: the captured values still hold.
        window.MoveWindow(frame.left, frame.top, 0, 0);
        LayoutMainWindowControls(window, layout, LayoutMode::kApply);
        window.MoveWindow(&frame);
        LayoutMainWindowControls(window, layout, LayoutMode::kApply);
        EXPECT_EQ(ControlRects(window), original);
    });
}

// Before a capture the window's own minimum holds; after it, the room the buttons need.
TEST(MainWindowLayoutControls, WindowSystemKeepsTheMinimumWindowSize) {
    WithMainWindowTemplate([](CDialog& window) {
        ordvane::MainWindowLayout layout;
        CRect frame;
        window.GetWindowRect(&frame);
        CRect shrunk;
        ApplyMinimumWindowSize(window, layout);
        window.MoveWindow(frame.left, frame.top, 50, 40);
        window.GetWindowRect(&shrunk);
        EXPECT_EQ(shrunk.Width(), ordvane::kMinimumWindowWidth);
        EXPECT_EQ(shrunk.Height(), ordvane::kMinimumWindowHeight);

        window.MoveWindow(&frame);
        LayoutMainWindowControls(window, layout, LayoutMode::kCapture);
        ApplyMinimumWindowSize(window, layout);
        window.MoveWindow(frame.left, frame.top, 50, 40);
        LayoutMainWindowControls(window, layout, LayoutMode::kApply);
        const auto placed = ControlRects(window);
        // Template order of kControlIds: list, Advanced Options, Wink, File, Scan, Exit; Wink
        // and File are shown here too, so none of the four visible buttons may overlap.
        for (std::size_t a = 1; a < placed.size(); ++a) {
            for (std::size_t b = a + 1; b < placed.size(); ++b) {
                const bool apart =
                    placed[a].right <= placed[b].left || placed[b].right <= placed[a].left;
                const bool hidden = a == 3 || b == 3;  // File is hidden by its template
                EXPECT_TRUE(apart || hidden) << a << " and " << b;
            }
            EXPECT_GE(placed[a].left, 0) << a;
        }
    });
}

TEST(MainWindowLayoutControls, ClampSizingWorksOnTheFrameworksRectangles) {
    RECT rect{500, 400, 520, 410};
    ClampSizing(WMSZ_TOPLEFT, &rect);
    EXPECT_EQ(rect.left, 520 - 194);
    EXPECT_EQ(rect.top, 410 - 130);
    EXPECT_EQ(rect.right, 520);
    EXPECT_EQ(rect.bottom, 410);
    ClampSizing(WMSZ_BOTTOMRIGHT, nullptr);  // nothing to clamp, nothing happens
}

}  // namespace
