// The main window's layout: capture from the template's positions, apply at other sizes, and
// the minimum-size clamp of a sizing drag.
#include <gtest/gtest.h>

#include "ui/MainWindowLayout.h"

namespace {

using ordvane::LayoutRect;
using ordvane::MainWindowLayout;

// Template 102's controls turned into pixels with the 6 by 13 base units of the template font.
LayoutRect FromDialogUnits(int x, int y, int width, int height) {
    const int left = x * 6 / 4;
    const int top = y * 13 / 8;
    return {left, top, left + width * 6 / 4, top + height * 13 / 8};
}

constexpr int kClientWidth = 431 * 6 / 4;
constexpr int kClientHeight = 185 * 13 / 8;

enum Control { ModuleList, AdvancedOptions, Wink, File, Scan, Exit };

MainWindowLayout::ControlRects TemplateRects() {
    return {FromDialogUnits(7, 7, 413, 154),   FromDialogUnits(10, 165, 75, 14),
            FromDialogUnits(250, 165, 50, 14), FromDialogUnits(191, 165, 50, 14),
            FromDialogUnits(310, 165, 50, 14), FromDialogUnits(370, 165, 50, 14)};
}

MainWindowLayout CapturedLayout() {
    MainWindowLayout layout;
    layout.Capture(kClientWidth, kClientHeight, TemplateRects());
    return layout;
}

LayoutRect Shifted(LayoutRect rect, int dx, int dy) {
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

TEST(MainWindowLayout, ApplyAtTheCapturedSizeKeepsEveryControlInPlace) {
    const MainWindowLayout layout = CapturedLayout();
    EXPECT_TRUE(layout.IsCaptured());
    EXPECT_EQ(layout.Apply(kClientWidth, kClientHeight), TemplateRects());
}

TEST(MainWindowLayout, NothingIsPlacedBeforeACapture) {
    const MainWindowLayout layout;
    EXPECT_FALSE(layout.IsCaptured());
    EXPECT_EQ(layout.Apply(800, 600), MainWindowLayout::ControlRects{});
}

TEST(MainWindowLayout, WiderMovesTheRightButtonsAndWidensTheList) {
    const auto original = TemplateRects();
    const auto placed = CapturedLayout().Apply(kClientWidth + 137, kClientHeight);
    for (Control button : {Wink, File, Scan, Exit}) {
        EXPECT_EQ(placed[button], Shifted(original[button], 137, 0)) << button;
    }
    EXPECT_EQ(placed[AdvancedOptions], original[AdvancedOptions]);
    LayoutRect list = original[ModuleList];
    list.right += 137;
    EXPECT_EQ(placed[ModuleList], list);
}

TEST(MainWindowLayout, TallerMovesAllButtonsDownAndLengthensTheList) {
    const auto original = TemplateRects();
    const auto placed = CapturedLayout().Apply(kClientWidth, kClientHeight + 45);
    for (Control button : {AdvancedOptions, Wink, File, Scan, Exit}) {
        EXPECT_EQ(placed[button], Shifted(original[button], 0, 45)) << button;
    }
    LayoutRect list = original[ModuleList];
    list.bottom += 45;
    EXPECT_EQ(placed[ModuleList], list);
}

TEST(MainWindowLayout, EachControlKeepsItsCapturedMarginsWhenMaximized) {
    const auto original = TemplateRects();
    const int width = 1920;
    const int height = 1017;
    const auto placed = CapturedLayout().Apply(width, height);
    EXPECT_EQ(placed[ModuleList].left, original[ModuleList].left);
    EXPECT_EQ(placed[ModuleList].top, original[ModuleList].top);
    EXPECT_EQ(width - placed[ModuleList].right, kClientWidth - original[ModuleList].right);
    EXPECT_EQ(height - placed[ModuleList].bottom, kClientHeight - original[ModuleList].bottom);
    for (Control button : {AdvancedOptions, Wink, File, Scan, Exit}) {
        EXPECT_EQ(placed[button].Width(), original[button].Width()) << button;
        EXPECT_EQ(placed[button].Height(), original[button].Height()) << button;
        EXPECT_EQ(height - placed[button].bottom, kClientHeight - original[button].bottom);
    }
    for (Control button : {Wink, File, Scan, Exit}) {
        EXPECT_EQ(width - placed[button].right, kClientWidth - original[button].right) << button;
    }
    EXPECT_EQ(placed[AdvancedOptions].left, original[AdvancedOptions].left);
}

TEST(MainWindowLayout, MinimizingToAnEmptyClientAreaThenRestoringGivesTheSamePositions) {
    MainWindowLayout layout = CapturedLayout();
    const auto restoredBefore = layout.Apply(900, 500);
    const auto minimized = layout.Apply(0, 0);
    // The list collapses past its own left edge; nothing is measured again from that.
    EXPECT_LT(minimized[ModuleList].Width(), 0);
    EXPECT_EQ(layout.Apply(900, 500), restoredBefore);
    EXPECT_EQ(layout.Apply(kClientWidth, kClientHeight), TemplateRects());
}

TEST(MainWindowLayout, ACaptureAtAnotherSizeReplacesTheRecord) {
    MainWindowLayout layout = CapturedLayout();
    const auto atLargeSize = layout.Apply(1000, 700);
    layout.Capture(1000, 700, atLargeSize);
    EXPECT_EQ(layout.Apply(kClientWidth, kClientHeight), TemplateRects());
}

TEST(OnSizingClamp, LeftSideDragsKeepTheRightEdge) {
    for (int edge : {ordvane::kSizingEdgeLeft, ordvane::kSizingEdgeBottomLeft}) {
        const LayoutRect clamped = ordvane::ClampSizingRect(edge, {400, 100, 500, 400});
        EXPECT_EQ(clamped, (LayoutRect{306, 100, 500, 400})) << edge;
    }
}

TEST(OnSizingClamp, OtherDragsKeepTheLeftEdge) {
    for (int edge : {ordvane::kSizingEdgeRight, ordvane::kSizingEdgeTop, ordvane::kSizingEdgeBottom,
                     ordvane::kSizingEdgeTopRight, ordvane::kSizingEdgeBottomRight}) {
        const LayoutRect clamped = ordvane::ClampSizingRect(edge, {400, 100, 420, 400});
        EXPECT_EQ(clamped, (LayoutRect{400, 100, 594, 400})) << edge;
    }
}

TEST(OnSizingClamp, TopSideDragsKeepTheBottomEdgeAndOthersTheTop) {
    for (int edge : {ordvane::kSizingEdgeTop, ordvane::kSizingEdgeTopRight}) {
        EXPECT_EQ(ordvane::ClampSizingRect(edge, {0, 300, 500, 350}),
                  (LayoutRect{0, 220, 500, 350}));
    }
    for (int edge :
         {ordvane::kSizingEdgeBottom, ordvane::kSizingEdgeLeft, ordvane::kSizingEdgeBottomLeft}) {
        EXPECT_EQ(ordvane::ClampSizingRect(edge, {0, 300, 500, 350}),
                  (LayoutRect{0, 300, 500, 430}));
    }
}

TEST(OnSizingClamp, CornersBelowBothMinimumsMoveTheDraggedCorner) {
    EXPECT_EQ(ordvane::ClampSizingRect(ordvane::kSizingEdgeTopLeft, {390, 290, 400, 300}),
              (LayoutRect{206, 170, 400, 300}));
    EXPECT_EQ(ordvane::ClampSizingRect(ordvane::kSizingEdgeBottomRight, {390, 290, 400, 300}),
              (LayoutRect{390, 290, 584, 420}));
    // Inverted rectangles (edge dragged across the opposite one) end at the minimum too.
    EXPECT_EQ(ordvane::ClampSizingRect(ordvane::kSizingEdgeRight, {400, 0, 300, 200}),
              (LayoutRect{400, 0, 594, 200}));
}

TEST(OnSizingClamp, RectanglesAtOrAboveTheMinimumAreLeftAlone) {
    const LayoutRect exact{10, 20, 10 + 194, 20 + 130};
    for (int edge = 1; edge <= 8; ++edge) {
        EXPECT_EQ(ordvane::ClampSizingRect(edge, exact), exact);
        EXPECT_EQ(ordvane::ClampSizingRect(edge, {0, 0, 1000, 800}), (LayoutRect{0, 0, 1000, 800}));
    }
}

// The smallest client area keeps every shown button whole and apart: Advanced Options with its
// left margin as the gap, then the widest reach of the shown right-hand buttons.
TEST(MainWindowLayout, TheMinimumClientSizeKeepsTheShownButtonsWhole) {
    struct Case {
        std::array<bool, 6> shown;
        MainWindowLayout::Size expected;
    };
    const Case cases[] = {
        // Wink and File hidden, as the window shows them: 15 + 112 + 15 + (16 + 75 + 15 + 75).
        {{true, true, false, false, true, true}, {323, 119}},
        // Wink shown reaches furthest left.
        {{true, true, true, false, true, true}, {413, 119}},
        // Only Exit: no gap is needed.
        {{true, false, false, false, false, true}, {91, 119}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CapturedLayout().MinimumClientSize(c.shown), c.expected);
    }
    EXPECT_EQ(MainWindowLayout().MinimumClientSize({}), MainWindowLayout::Size{});
}

}  // namespace
