#pragma once
// The main window's resizable layout, as rectangle arithmetic without any window: the module
// list stretches with the client area, Advanced Options stays at the bottom left, and Wink,
// File, Scan and Exit keep their distance to the bottom-right corner. The values are captured
// once from the positions the dialog template gives and re-applied on every size change.

#include <array>

namespace ordvane {

// A rectangle in pixels, right and bottom exclusive, as the window system gives them.
struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

enum class LayoutMode { kCapture, kApply };

class MainWindowLayout {
public:
    // The controls the layout moves, in the order it measures and moves them: module list,
    // Advanced Options, Wink, File, Scan, Exit.
    static constexpr std::array<int, 6> kControlIds = {1002, 1001, 1003, 1004, 1000, 1};
    // Rectangles of those controls in client coordinates, in kControlIds order.
    using ControlRects = std::array<LayoutRect, kControlIds.size()>;

    // Stores the margins and sizes of the controls measured in a client area of the given size.
    void Capture(int clientWidth, int clientHeight, const ControlRects& controls);
    // Where each control goes in a client area of the given size. Before a capture every
    // rectangle is empty.
    ControlRects Apply(int clientWidth, int clientHeight) const;
    bool IsCaptured() const { return m_captured; }

    // The smallest client area in which the shown buttons keep their size, none overlaps
    // another (Advanced Options keeps its left margin as the gap to the right-hand buttons) and
    // the list keeps the height of three buttons. shown is in kControlIds order. Width and
    // height are 0 before a capture.
    struct Size {
        int width = 0;
        int height = 0;
        friend bool operator==(const Size&, const Size&) = default;
    };
    Size MinimumClientSize(const std::array<bool, kControlIds.size()>& shown) const;

private:
    // 1002: left and top fixed, right and bottom keep their distance to the client edges.
    struct StretchingPlacement {
        int left = 0;
        int top = 0;
        int rightMargin = 0;
        int bottomMargin = 0;
    };
    // 1001: fixed size, left fixed, bottom keeps its distance to the client bottom.
    struct BottomLeftPlacement {
        int left = 0;
        int width = 0;
        int height = 0;
        int bottomMargin = 0;
    };
    // 1003, 1004, 1000, 1: fixed size, bottom-right corner keeps its distance to the client's.
    struct BottomRightPlacement {
        int width = 0;
        int height = 0;
        int rightMargin = 0;
        int bottomMargin = 0;
    };

    StretchingPlacement m_moduleList;
    BottomLeftPlacement m_advancedOptions;
    std::array<BottomRightPlacement, 4> m_cornerButtons;
    bool m_captured = false;
};

// The smallest whole-window rectangle (frame included) the main window may be dragged to.
inline constexpr int kMinimumWindowWidth = 194;
inline constexpr int kMinimumWindowHeight = 130;

// The edges a sizing drag can move, with the values of the window system's WMSZ_ codes.
inline constexpr int kSizingEdgeLeft = 1;
inline constexpr int kSizingEdgeRight = 2;
inline constexpr int kSizingEdgeTop = 3;
inline constexpr int kSizingEdgeTopLeft = 4;
inline constexpr int kSizingEdgeTopRight = 5;
inline constexpr int kSizingEdgeBottom = 6;
inline constexpr int kSizingEdgeBottomLeft = 7;
inline constexpr int kSizingEdgeBottomRight = 8;

// OnSizing's rule: a proposed window rectangle (screen pixels) narrower or lower than the
// minimum is widened or heightened by moving the edge being dragged, so the opposite edge stays
// where it was. edge is a WMSZ_ code.
LayoutRect ClampSizingRect(int edge, LayoutRect proposed);

}  // namespace ordvane
