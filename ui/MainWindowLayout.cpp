#include "ui/MainWindowLayout.h"

#include <algorithm>

namespace ordvane {

namespace {

constexpr std::size_t kModuleListIndex = 0;
constexpr std::size_t kAdvancedOptionsIndex = 1;
constexpr std::size_t kFirstCornerButtonIndex = 2;

bool DraggingLeftSide(int edge) {
    return edge == kSizingEdgeLeft || edge == kSizingEdgeTopLeft || edge == kSizingEdgeBottomLeft;
}

bool DraggingTopSide(int edge) {
    return edge == kSizingEdgeTop || edge == kSizingEdgeTopLeft || edge == kSizingEdgeTopRight;
}

}  // namespace

void MainWindowLayout::Capture(int clientWidth, int clientHeight, const ControlRects& controls) {
    const LayoutRect& list = controls[kModuleListIndex];
    m_moduleList = {list.left, list.top, clientWidth - list.right, clientHeight - list.bottom};

    const LayoutRect& advanced = controls[kAdvancedOptionsIndex];
    m_advancedOptions = {advanced.left, advanced.Width(), advanced.Height(),
                         clientHeight - advanced.bottom};

    for (std::size_t i = 0; i < m_cornerButtons.size(); ++i) {
        const LayoutRect& button = controls[kFirstCornerButtonIndex + i];
        m_cornerButtons[i] = {button.Width(), button.Height(), clientWidth - button.right,
                              clientHeight - button.bottom};
    }
    m_captured = true;
}

MainWindowLayout::ControlRects MainWindowLayout::Apply(int clientWidth, int clientHeight) const {
    ControlRects placed{};
    if (!m_captured) {
        return placed;
    }
    placed[kModuleListIndex] = {m_moduleList.left, m_moduleList.top,
                                clientWidth - m_moduleList.rightMargin,
                                clientHeight - m_moduleList.bottomMargin};

    const int advancedBottom = clientHeight - m_advancedOptions.bottomMargin;
    placed[kAdvancedOptionsIndex] = {
        m_advancedOptions.left, advancedBottom - m_advancedOptions.height,
        m_advancedOptions.left + m_advancedOptions.width, advancedBottom};

    for (std::size_t i = 0; i < m_cornerButtons.size(); ++i) {
        const BottomRightPlacement& button = m_cornerButtons[i];
        const int right = clientWidth - button.rightMargin;
        const int bottom = clientHeight - button.bottomMargin;
        placed[kFirstCornerButtonIndex + i] = {right - button.width, bottom - button.height, right,
                                               bottom};
    }
    return placed;
}

MainWindowLayout::Size MainWindowLayout::MinimumClientSize(
    const std::array<bool, kControlIds.size()>& shown) const {
    if (!m_captured) {
        return {};
    }
    int leftPart =
        shown[kAdvancedOptionsIndex] ? m_advancedOptions.left + m_advancedOptions.width : 0;
    int rightPart = 0;
    int buttonRow = shown[kAdvancedOptionsIndex]
                        ? m_advancedOptions.height + m_advancedOptions.bottomMargin
                        : 0;
    int buttonHeight = m_advancedOptions.height;
    for (std::size_t i = 0; i < m_cornerButtons.size(); ++i) {
        if (!shown[kFirstCornerButtonIndex + i]) {
            continue;
        }
        const BottomRightPlacement& button = m_cornerButtons[i];
        rightPart = std::max(rightPart, button.rightMargin + button.width);
        buttonRow = std::max(buttonRow, button.height + button.bottomMargin);
        buttonHeight = std::max(buttonHeight, button.height);
    }
    const int gap = leftPart > 0 && rightPart > 0 ? m_advancedOptions.left : 0;
    return {leftPart + gap + rightPart,
            m_moduleList.top + 3 * buttonHeight + (buttonRow - buttonHeight) + buttonRow};
}

LayoutRect ClampSizingRect(int edge, LayoutRect proposed) {
    if (proposed.Width() < kMinimumWindowWidth) {
        if (DraggingLeftSide(edge)) {
            proposed.left = proposed.right - kMinimumWindowWidth;
        } else {
            proposed.right = proposed.left + kMinimumWindowWidth;
        }
    }
    if (proposed.Height() < kMinimumWindowHeight) {
        if (DraggingTopSide(edge)) {
            proposed.top = proposed.bottom - kMinimumWindowHeight;
        } else {
            proposed.bottom = proposed.top + kMinimumWindowHeight;
        }
    }
    return proposed;
}

}  // namespace ordvane
