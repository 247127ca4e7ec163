// Drawing on a device context: the line end-point rule, clip regions, SaveDC / RestoreDC.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <optional>

#include "platform/framework/Afx.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

QImage WhiteImage() {
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(kWhite);
    return image;
}

std::vector<QPoint> PaintedPixels(const QImage& image) {
    std::vector<QPoint> painted;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kWhite) {
                painted.emplace_back(x, y);
            }
        }
    }
    return painted;
}

}  // namespace

TEST(DrawingTest, LinesLeaveOutTheirEndPointAndAreOnePixelWide) {
    QImage image = WhiteImage();
    {
        CImageDC dc(image);
        dc.MoveTo(2, 5);
        dc.LineTo(8, 5);  // 2..7
        dc.LineTo(8, 9);  // continues from (8, 5): 5..8
        EXPECT_EQ(dc.GetCurrentPosition(), CPoint(8, 9));
    }
    std::vector<QPoint> expected;
    for (int x = 2; x <= 7; ++x) {
        expected.emplace_back(x, 5);
    }
    expected.emplace_back(8, 5);
    for (int y = 6; y <= 8; ++y) {
        expected.emplace_back(8, y);
    }
    auto painted = PaintedPixels(image);
    std::sort(painted.begin(), painted.end(), [](const QPoint& a, const QPoint& b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    EXPECT_EQ(painted, expected);
    EXPECT_EQ(image.pixel(8, 9), kWhite);
}

TEST(DrawingTest, SlopedLinesStepOnePixelPerMajorStep) {
    QImage image = WhiteImage();
    {
        CImageDC dc(image);
        dc.MoveTo(10, 2);
        dc.LineTo(4, 14);  // y-major, 12 pixels, end (4, 14) left out
        dc.MoveTo(0, 20);
        dc.LineTo(4, 16);  // exact diagonal
    }
    int upper = 0;
    for (int y = 2; y < 14; ++y) {
        int inRow = 0;
        for (int x = 0; x < 24; ++x) {
            inRow += image.pixel(x, y) != kWhite && y < 16 ? 1 : 0;
        }
        EXPECT_EQ(inRow, 1) << "row " << y;
        upper += inRow;
    }
    EXPECT_EQ(upper, 12);
    EXPECT_EQ(image.pixel(10, 2), kBlack);
    EXPECT_EQ(image.pixel(4, 14), kWhite);
    EXPECT_EQ(image.pixel(0, 20), kBlack);
    EXPECT_EQ(image.pixel(3, 17), kBlack);
    EXPECT_EQ(image.pixel(4, 16), kWhite);
}

TEST(DrawingTest, PensClipRegionsAndSavedStatesBehaveAsOnThePlatform) {
    QImage image = WhiteImage();
    {
        CImageDC dc(image);
        CPen red(PS_SOLID, 1, RGB(255, 0, 0));
        CPen* original = dc.SelectObject(&red);
        ASSERT_NE(original, nullptr);
        EXPECT_EQ(dc.SelectObject(&red), &red);

        const int saved = dc.SaveDC();
        CRgn region;
        region.CreateRectRgn(4, 4, 8, 8);
        dc.SelectClipRgn(&region);
        region.DeleteObject();  // the context keeps its own copy
        CBrush blue(RGB(0, 0, 255));
        RECT everything{0, 0, 24, 24};
        dc.FillRect(&everything, &blue);
        dc.MoveTo(0, 20);
        dc.LineTo(10, 20);  // clipped away
        EXPECT_TRUE(dc.RestoreDC(saved));
        EXPECT_FALSE(dc.RestoreDC(saved)) << "that state was used up";

        dc.MoveTo(0, 22);
        dc.LineTo(3, 22);  // red again, no clip any more
        EXPECT_EQ(dc.SelectObject(original), &red);
    }
    EXPECT_EQ(image.pixel(4, 4), 0xFF0000FFU);
    EXPECT_EQ(image.pixel(7, 7), 0xFF0000FFU);
    EXPECT_EQ(image.pixel(8, 8), kWhite);
    EXPECT_EQ(image.pixel(3, 4), kWhite);
    EXPECT_EQ(image.pixel(5, 20), kWhite);
    EXPECT_EQ(image.pixel(0, 22), 0xFFFF0000U);
    EXPECT_EQ(image.pixel(2, 22), 0xFFFF0000U);
    EXPECT_EQ(image.pixel(3, 22), kWhite);
}

TEST(DrawingTest, WrappersNeverOwnWhatTheyAttachTo) {
    QImage image = WhiteImage();
    CImageDC owner(image);
    HDC handle = owner.GetSafeHdc();
    {
        CDC wrapper;
        EXPECT_TRUE(wrapper.Attach(handle));
        EXPECT_FALSE(wrapper.Attach(handle));
        CBrush black(RGB(0, 0, 0));
        RECT pixel{1, 1, 2, 2};
        wrapper.FillRect(&pixel, &black);
        EXPECT_EQ(wrapper.Detach(), handle);
    }
    EXPECT_EQ(CDC::FromHandle(handle), CDC::FromHandle(handle));
    EXPECT_EQ(CDC::FromHandle(handle)->GetSafeHdc(), handle);
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW));
    RECT text{0, 0, 200, 20};
    EXPECT_GT(owner.DrawText("Text", -1, &text, DT_SINGLELINE | DT_CALCRECT), 0);
}

namespace {

// The columns in which anything was painted.
std::pair<int, int> PaintedColumns(const QImage& image) {
    int first = image.width();
    int last = -1;
    for (const QPoint& pixel : PaintedPixels(image)) {
        first = std::min(first, pixel.x());
        last = std::max(last, pixel.x());
    }
    return {first, last};
}

QImage TextImage(const char* text, UINT format, RECT box, std::optional<RECT> clip = {}) {
    QImage image(120, 24, QImage::Format_ARGB32);
    image.fill(kWhite);
    CImageDC dc(image);
    dc.SetBkMode(TRANSPARENT);
    if (clip.has_value()) {
        CRgn region;
        region.CreateRectRgnIndirect(&*clip);
        dc.SelectClipRgn(&region);
    }
    dc.DrawText(text, -1, &box, format);
    return image;
}

}  // namespace

TEST(DrawingTest, TextIsPlacedByTheAlignmentFlagsAndCutByTheRectangleUnlessNoClip) {
    const RECT box{20, 0, 100, 24};
    const auto left = PaintedColumns(TextImage("Ab", DT_SINGLELINE | DT_VCENTER, box));
    const auto right = PaintedColumns(TextImage("Ab", DT_SINGLELINE | DT_VCENTER | DT_RIGHT, box));
    const auto centre =
        PaintedColumns(TextImage("Ab", DT_SINGLELINE | DT_VCENTER | DT_CENTER, box));
    EXPECT_GE(left.first, 20);
    EXPECT_LT(left.first, 26);
    EXPECT_LE(right.second, 99);
    EXPECT_GT(right.second, 92);
    EXPECT_GT(centre.first, left.first + 10);
    EXPECT_LT(centre.second, right.second - 10);

    const char* longText = "A much longer heading than fits";
    const RECT narrow{20, 0, 50, 24};
    const auto clipped = PaintedColumns(TextImage(longText, DT_SINGLELINE, narrow));
    EXPECT_LE(clipped.second, 49);
    const auto unclipped = PaintedColumns(TextImage(longText, DT_SINGLELINE | DT_NOCLIP, narrow));
    EXPECT_GT(unclipped.second, 50);
    // The context's own clip region still holds with DT_NOCLIP.
    const auto regionClipped =
        PaintedColumns(TextImage(longText, DT_SINGLELINE | DT_NOCLIP, narrow, RECT{0, 0, 40, 24}));
    EXPECT_LE(regionClipped.second, 39);
    // An ellipsis keeps the text inside its rectangle.
    const auto ellipsis =
        PaintedColumns(TextImage(longText, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS, narrow));
    EXPECT_LE(ellipsis.second, 49);
    EXPECT_GE(ellipsis.first, 20);

    // "&x" marks a mnemonic unless DT_NOPREFIX: the ampersand is not drawn.
    RECT measured{0, 0, 0, 0};
    RECT measuredRaw{0, 0, 0, 0};
    QImage scratch = WhiteImage();
    CImageDC dc(scratch);
    dc.DrawText("&&&x", -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    dc.DrawText("&&&x", -1, &measuredRaw, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_LT(measured.right, measuredRaw.right);
}
