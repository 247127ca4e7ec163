// The sort header's drawing, checked pixel by pixel: the header's own items (text and format)
// drawn through DrawItem into an image with item rectangles of known size, and the real header
// widget rendered offscreen.

#include "modlist/CSortHeaderCtrl.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QImage>
#include <cstdlib>
#include <functional>

#include "ModuleListHost.h"
#include "modlist/CModuleListCtrl.h"
#include "platform/framework/Afx.h"

namespace {

using ordvane::framework::PumpEvents;

// Outside the item the image keeps this colour, so that drawing past the item shows.
constexpr QRgb kOutside = qRgb(255, 0, 255);
constexpr int kImageWidth = 200;
constexpr int kImageHeight = 24;

// Runs body with the header of a table whose columns are "IP" (90 pixels), a long heading
// (120) and "A" (18).
void WithHeader(
    const std::function<void(ordvane::CModuleListCtrl&, ordvane::CSortHeaderCtrl&)>& body) {
    ordvane::samples::WithModuleList(
        "IP,90;Version of the firmware running,120;A,18",
        [&](ordvane::CModuleListCtrl& list) { body(list, list.GetSortHeader()); });
}

QRgb ToRgb(COLORREF color) {
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}

ordvane::SortTriangleColors TriangleColors() {
    return ordvane::SortTriangleColorsFor(
        GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW),
        GetSysColor(COLOR_3DDKSHADOW));
}

struct Palette {
    QRgb face = ToRgb(GetSysColor(COLOR_BTNFACE));
    QRgb light = ToRgb(TriangleColors().light);
    QRgb dark = ToRgb(TriangleColors().dark);
};

int Grey(QRgb color) {
    return qGray(color);
}

// Draws one item of the header into a fresh image over the rectangle given.
QImage DrawHeaderItem(ordvane::CSortHeaderCtrl& header, int item, RECT rect, UINT state = 0) {
    QImage image(kImageWidth, kImageHeight, QImage::Format_RGB32);
    image.fill(kOutside);
    {
        CImageDC dc(image);
        DRAWITEMSTRUCT drawItem{};
        drawItem.CtlType = ODT_HEADER;
        drawItem.itemID = static_cast<UINT>(item);
        drawItem.itemAction = ODA_DRAWENTIRE;
        drawItem.itemState = state;
        drawItem.hwndItem = header.GetSafeHwnd();
        drawItem.hDC = dc.GetSafeHdc();
        drawItem.rcItem = rect;
        header.DrawItem(&drawItem);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QRgb Pixel(const QImage& image, int x, int y) {
    return (image.pixel(x, y) & 0xFFFFFFU) | 0xFF000000U;
}

// The bounding box of the pixels in the item that are none of the header's drawing colours:
// the text. Empty (left > right) when there are none.
QRect TextBox(const QImage& image, const RECT& item) {
    const Palette colours;
    int left = item.right;
    int right = item.left - 1;
    int top = item.bottom;
    int bottom = item.top - 1;
    for (int y = item.top; y < item.bottom; ++y) {
        for (int x = item.left; x < item.right; ++x) {
            const QRgb pixel = Pixel(image, x, y);
            if (pixel != colours.face && pixel != colours.light && pixel != colours.dark) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

bool OnlyInside(const QImage& image, const RECT& item) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool inside =
                x >= item.left && x < item.right && y >= item.top && y < item.bottom;
            if (!inside && Pixel(image, x, y) != kOutside) {
                return false;
            }
        }
    }
    return true;
}

TEST(SortHeaderPixels, AscendingTriangleAtInsetFive) {
    WithHeader([](ordvane::CModuleListCtrl&, ordvane::CSortHeaderCtrl& header) {
        header.SetSortIndicator(0, TRUE);
        const RECT item{10, 0, 100, 20};  // o = 5, R = 100, B = 20
        const QImage image = DrawHeaderItem(header, 0, item);
        const Palette colours;
        const int right = item.right;
        EXPECT_EQ(Pixel(image, right - 10, 5), colours.light) << "apex";
        EXPECT_EQ(Pixel(image, right - 10, 4), colours.face) << "the dark edge leaves out its end";
        EXPECT_EQ(Pixel(image, right - 5, 14), colours.light) << "right end of the base";
        EXPECT_EQ(Pixel(image, right - 10, 14), colours.light);
        EXPECT_EQ(Pixel(image, right - 16, 14), colours.dark) << "left end: the dark edge's start";
        EXPECT_EQ(Pixel(image, right - 17, 14), colours.face);
        EXPECT_EQ(Pixel(image, right - 4, 14), colours.face);
        EXPECT_EQ(Pixel(image, right - 10, 15), colours.face);
        EXPECT_TRUE(OnlyInside(image, item));
    });
}

// Each of the three sides stands out from the face, on the classic grey face and on a light one,
// and the light sides stay lighter than the dark one.
TEST(SortHeaderPixels, EverySideOfTheTriangleStandsOutFromTheFace) {
    struct Case {
        const char* theme;
        COLORREF face, highlight, shadow, darkShadow;
    };
    const Case cases[] = {
        {"classic grey", RGB(212, 208, 200), RGB(255, 255, 255), RGB(128, 128, 128),
         RGB(64, 64, 64)},
        {"light", RGB(239, 239, 239), RGB(255, 255, 255), RGB(160, 160, 160), RGB(118, 118, 118)},
        {"white face", RGB(255, 255, 255), RGB(255, 255, 255), RGB(160, 160, 160), RGB(0, 0, 0)},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.theme);
        const ordvane::SortTriangleColors colors =
            ordvane::SortTriangleColorsFor(test.face, test.highlight, test.shadow, test.darkShadow);
        const int face = Grey(ToRgb(test.face));
        EXPECT_GE(std::abs(Grey(ToRgb(colors.light)) - face), 40);
        EXPECT_GE(std::abs(Grey(ToRgb(colors.dark)) - face), 40);
        EXPECT_GT(Grey(ToRgb(colors.light)), Grey(ToRgb(colors.dark)));
    }
    // This desktop's palette, drawn: halfway down, each slanted side has a pixel that stands
    // out within its few columns, and so has the middle of the base.
    WithHeader([](ordvane::CModuleListCtrl&, ordvane::CSortHeaderCtrl& header) {
        header.SetSortIndicator(0, TRUE);
        const RECT item{10, 0, 100, 20};
        const QImage image = DrawHeaderItem(header, 0, item);
        const int face = Grey(Palette().face);
        const auto standsOut = [&](int fromX, int toX, int y) {
            for (int x = fromX; x <= toX; ++x) {
                if (std::abs(Grey(Pixel(image, x, y)) - face) >= 40) {
                    return true;
                }
            }
            return false;
        };
        EXPECT_TRUE(standsOut(100 - 9, 100 - 6, 10)) << "right side";
        EXPECT_TRUE(standsOut(100 - 15, 100 - 12, 10)) << "left side";
        EXPECT_TRUE(standsOut(100 - 10, 100 - 10, 14)) << "base";
    });
}

TEST(SortHeaderPixels, DescendingTriangleAtInsetFive) {
    WithHeader([](ordvane::CModuleListCtrl&, ordvane::CSortHeaderCtrl& header) {
        header.SetSortIndicator(0, FALSE);
        const RECT item{10, 0, 100, 20};
        const QImage image = DrawHeaderItem(header, 0, item);
        const Palette colours;
        const int right = item.right;
        EXPECT_EQ(Pixel(image, right - 6, 5), colours.light) << "right end of the top edge";
        EXPECT_EQ(Pixel(image, right - 16, 5), colours.dark) << "left end of the top edge";
        EXPECT_EQ(Pixel(image, right - 10, 5), colours.dark);
        EXPECT_EQ(Pixel(image, right - 12, 15), colours.dark) << "apex";
        EXPECT_EQ(Pixel(image, right - 11, 15), colours.face)
            << "the light edge leaves out its end";
        EXPECT_EQ(Pixel(image, right - 12, 16), colours.face);
        EXPECT_EQ(Pixel(image, right - 17, 5), colours.face);
        EXPECT_TRUE(OnlyInside(image, item));
    });
}

TEST(SortHeaderPixels, TextStaysWithinItsInsetAndLeavesRoomForTheTriangle) {
    WithHeader([](ordvane::CModuleListCtrl&, ordvane::CSortHeaderCtrl& header) {
        header.SetSortIndicator(1, TRUE);
        const RECT item{10, 0, 130, 20};
        const QImage image = DrawHeaderItem(header, 1, item);
        const QRect text = TextBox(image, item);
        ASSERT_TRUE(text.isValid()) << "the long heading is drawn, shortened";
        EXPECT_GE(text.left(), item.left + 5);
        EXPECT_LT(text.right(), item.right - 20);
        EXPECT_EQ(Pixel(image, item.right - 10, 5), Palette().light);

        // Once the triangle has moved on, the column is still drawn here: text inset by o on
        // both sides, no triangle.
        header.SetSortIndicator(2, TRUE);
        const QImage former = DrawHeaderItem(header, 1, item);
        const QRect formerText = TextBox(former, item);
        ASSERT_TRUE(formerText.isValid());
        EXPECT_GE(formerText.left(), item.left + 5);
        EXPECT_LT(formerText.right(), item.right - 5);
        EXPECT_GT(formerText.right(), text.right()) << "the room of the triangle is text again";
        const QImage formerShort = DrawHeaderItem(header, 0, RECT{10, 0, 100, 20});
        EXPECT_EQ(Pixel(formerShort, 100 - 10, 5), Palette().face) << "no triangle";
        EXPECT_EQ(Pixel(formerShort, 100 - 16, 14), Palette().face);
    });
}

TEST(SortHeaderPixels, PressingMovesTheTextButNotTheTriangle) {
    WithHeader([](ordvane::CModuleListCtrl&, ordvane::CSortHeaderCtrl& header) {
        header.SetSortIndicator(0, TRUE);
        const RECT item{10, 0, 100, 20};
        const QImage normal = DrawHeaderItem(header, 0, item);
        const QImage pressed = DrawHeaderItem(header, 0, item, ODS_SELECTED);
        const QRect normalText = TextBox(normal, item);
        const QRect pressedText = TextBox(pressed, item);
        ASSERT_TRUE(normalText.isValid());
        EXPECT_EQ(pressedText.left(), normalText.left() + 1);
        EXPECT_EQ(pressedText.top(), normalText.top() + 1)
            << "vertically centred in a label one pixel lower (top edge down by 2)";
        const Palette colours;
        for (int y = 0; y < 20; ++y) {
            for (int x = item.right - 20; x < item.right; ++x) {
                const QRgb before = Pixel(normal, x, y);
                if (before == colours.light || before == colours.dark) {
                    ASSERT_EQ(Pixel(pressed, x, y), before) << x << "," << y;
                }
            }
        }
        // Any other state than exactly "selected" draws like the normal state.
        const QImage focused = DrawHeaderItem(header, 0, item, ODS_SELECTED | ODS_FOCUS);
        EXPECT_EQ(TextBox(focused, item), normalText);
    });
}

TEST(SortHeaderPixels, NarrowColumnShowsNoTextButItsTriangle) {
    WithHeader([](ordvane::CModuleListCtrl&, ordvane::CSortHeaderCtrl& header) {
        header.SetSortIndicator(2, TRUE);
        const RECT item{10, 0, 28, 20};  // 18 wide: the label has no room left
        const QImage image = DrawHeaderItem(header, 2, item);
        EXPECT_FALSE(TextBox(image, item).isValid());
        EXPECT_EQ(Pixel(image, item.right - 10, 5), Palette().light);
        EXPECT_EQ(Pixel(image, item.right - 16, 14), Palette().dark);
        EXPECT_TRUE(OnlyInside(image, item)) << "the triangle is clipped to the item";
    });
}

TEST(SortHeaderPixels, ItemsUnderFourPixelsHighGetADegenerateTriangle) {
    WithHeader([](ordvane::CModuleListCtrl&, ordvane::CSortHeaderCtrl& header) {
        header.SetSortIndicator(0, TRUE);
        const RECT item{10, 0, 100, 3};  // o = 0
        const QImage image = DrawHeaderItem(header, 0, item);
        // Light: (R, 0) to (R, 2), then to (R - 2, 2), which leaves (R - 1, 2) inside the item;
        // dark: (R - 1, 2) to (R, -1), over it and up. Everything at x = R is clipped away.
        EXPECT_EQ(Pixel(image, item.right - 1, 2), Palette().dark);
        EXPECT_EQ(Pixel(image, item.right - 1, 1), Palette().dark);
        EXPECT_EQ(Pixel(image, item.right - 2, 2), Palette().face);
        EXPECT_EQ(Pixel(image, item.right - 1, 0), Palette().face);
        EXPECT_TRUE(OnlyInside(image, item));
    });
}

TEST(SortHeaderPixels, RealHeaderShowsTheTriangleOfTheSortColumn) {
    WithHeader([](ordvane::CModuleListCtrl& list, ordvane::CSortHeaderCtrl& header) {
        auto* headerView = qobject_cast<QHeaderView*>(header.GetWidget());
        ASSERT_NE(headerView, nullptr);
        list.SortColumn(1, FALSE);
        PumpEvents();
        const QImage image = headerView->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int inset = headerView->height() / 4;
        const int right = headerView->sectionViewportPosition(1) + headerView->sectionSize(1);
        EXPECT_EQ(Pixel(image, right - inset - 1, inset), Palette().light);
        EXPECT_EQ(Pixel(image, right - 3 * inset - 1, inset), Palette().dark);
        image.save("sort-header.png");
    });
}

}  // namespace
