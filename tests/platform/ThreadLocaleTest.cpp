#include "platform/CObject.h"
#include "platform/CString.h"
#include "platform/ThreadLocale.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(ThreadLocale, SwitchingIsPerThreadAndRestorable) {
    const LCID before = GetThreadLocale();
    EXPECT_FALSE(SetThreadLocale(0x7FFF));  // not in the table
    EXPECT_EQ(GetThreadLocale(), before);
    EXPECT_TRUE(IsValidLocale(1033, LCID_SUPPORTED));
    EXPECT_FALSE(IsValidLocale(0x7FFF, LCID_SUPPORTED));

    if (!IsValidLocale(1033, LCID_INSTALLED)) {
        EXPECT_FALSE(SetThreadLocale(1033));
        EXPECT_EQ(GetThreadLocale(), before);
        return;
    }
    ASSERT_TRUE(SetThreadLocale(1033));
    EXPECT_EQ(GetThreadLocale(), 1033u);
    LCID seenByOtherThread = 0;
    std::thread([&] { seenByOtherThread = GetThreadLocale(); }).join();
    EXPECT_EQ(seenByOtherThread, LOCALE_USER_DEFAULT);
    ASSERT_TRUE(SetThreadLocale(before));
    EXPECT_EQ(GetThreadLocale(), before);
}

TEST(ThreadLocale, LstrcmpIsCaseSensitiveInEveryCollation) {
    EXPECT_EQ(lstrcmpA("abc", "abc"), 0);
    EXPECT_NE(lstrcmpA("abc", "ABC"), 0);
    EXPECT_EQ(lstrcmpA("N/A", "Off"), -1);
    EXPECT_EQ(lstrcmpA("On", "Off"), 1);
    EXPECT_EQ(lstrcmpA(nullptr, "a"), -1);
    EXPECT_EQ(lstrcmpA(nullptr, nullptr), 0);
    // In byte order (the "C" locale the test runs in) upper case sorts first; in the en_US
    // collation a letter's cases sort together, so "b" comes before "C".
    const LCID before = GetThreadLocale();
    EXPECT_EQ(lstrcmpA("b", "C"), 1);
    if (SetThreadLocale(1033)) {
        EXPECT_EQ(lstrcmpA("b", "C"), -1);
        EXPECT_NE(lstrcmpA("a", "A"), 0);
        SetThreadLocale(before);
    }
}

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)
class CCircle : public CShape {
    DECLARE_DYNAMIC(CCircle)
};
IMPLEMENT_DYNAMIC(CCircle, CShape)

TEST(CObject, RuntimeClassNamesAndKinds) {
    CCircle circle;
    EXPECT_STREQ(circle.GetRuntimeClass()->m_lpszClassName, "CCircle");
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CObject)));
    CShape shape;
    EXPECT_FALSE(shape.IsKindOf(RUNTIME_CLASS(CCircle)));
}

TEST(CString, EditingOperationsStayInsideTheText) {
    CString version("1, 4, 0, 0");
    EXPECT_EQ(version.Remove(' '), 3);
    EXPECT_EQ(version.Replace(',', '.'), 3);
    EXPECT_EQ(version, "1.4.0.0");
    EXPECT_EQ(version.Left(version.ReverseFind('.')), "1.4.0");
    EXPECT_EQ(version.Mid(2, 100), "4.0.0");
    EXPECT_EQ(version.Right(100), "1.4.0.0");
    EXPECT_EQ(version.Left(-3), "");
    EXPECT_EQ(CString("  padded \t").Trim(), "padded");
    CString formatted;
    formatted.Format("%s v%s", "Ordvane", "1.4.0");
    EXPECT_EQ(formatted, "Ordvane v1.4.0");
    CString buffer;
    std::snprintf(buffer.GetBuffer(16), 17, "%d", 1234);
    buffer.ReleaseBuffer();
    EXPECT_EQ(buffer.GetLength(), 4);
}

}  // namespace
