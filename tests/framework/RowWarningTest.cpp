// The list view's warning rows and row tooltips: the warning mark travels with its row, the
// view draws marked rows on one gentle background that fits light and dark palettes, and a
// tooltip is asked from the control (LVN_GETINFOTIP) only when the style allows it.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTableView>
#include <cstring>
#include <functional>
#include <string>

#include "platform/framework/Afx.h"
#include "res/ids/Resource.h"
#include "tests/support/ModalTestHooks.h"
#include "tests/support/TestListDialog.h"

using ordvane::framework::ModalScript;
using ordvane::framework::PumpEvents;

namespace {

// A list whose tooltip names the item and column asked for; row 2 has none, row 3 fills the
// whole buffer without a terminator.
class TippedList : public CListCtrl {
public:
    int m_asked = 0;

protected:
    void OnGetInfoTip(NMHDR* header, LRESULT* result) {
        auto* tip = reinterpret_cast<NMLVGETINFOTIP*>(header);
        ++m_asked;
        EXPECT_EQ(tip->pszText[0], '\0') << "the buffer starts empty";
        EXPECT_EQ(tip->cchTextMax, INFOTIPSIZE);
        if (tip->iItem == 3) {
            std::memset(tip->pszText, 'x', static_cast<std::size_t>(tip->cchTextMax));
        } else if (tip->iItem != 2) {
            const std::string text =
                "item " + std::to_string(tip->iItem) + " column " + std::to_string(tip->iSubItem);
            std::strcpy(tip->pszText, text.c_str());
        }
        *result = 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TippedList, CListCtrl)
ON_NOTIFY_REFLECT(LVN_GETINFOTIP, OnGetInfoTip)
END_MESSAGE_MAP()

void WithTippedList(const std::function<void(TippedList&, QTableView&)>& body) {
    ordvane::testing::TestListDialog<TippedList> dialog;
    ModalScript script;
    script.OnDialog([&](CDialog&) {
        auto* view = qobject_cast<QTableView*>(dialog.m_list.GetWidget());
        ASSERT_NE(view, nullptr);
        dialog.m_list.InsertColumn(0, "A", LVCFMT_LEFT, 50);
        dialog.m_list.InsertColumn(1, "B", LVCFMT_LEFT, 50);
        body(dialog.m_list, *view);
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
}

QVariant Background(QTableView& view, int row) {
    return view.model()->index(row, 1).data(Qt::BackgroundRole);
}

// The row's warning as drawn: its background and the sign in its heading, which must agree.
bool Marked(QTableView& view, int row) {
    const bool background = Background(view, row).isValid();
    EXPECT_EQ(view.model()->headerData(row, Qt::Vertical).toString().isEmpty(), !background) << row;
    return background;
}

}  // namespace

TEST(RowWarningTest, TheMarkTravelsWithItsRowThroughInsertsSortsAndDeletes) {
    WithTippedList([](TippedList& list, QTableView& view) {
        QAbstractItemModelTester tester(view.model(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        for (int item = 0; item < 4; ++item) {
            list.InsertItem(item, std::to_string(item).c_str());
            list.SetItemData(item, static_cast<DWORD_PTR>(item));
        }
        EXPECT_TRUE(list.SetItemWarning(2, TRUE));
        EXPECT_FALSE(list.SetItemWarning(4, TRUE));
        EXPECT_FALSE(list.SetItemWarning(-1, TRUE));
        EXPECT_FALSE(list.GetItemWarning(4));

        list.InsertItem(0, "new");  // the marked row moves down to 3
        EXPECT_TRUE(list.GetItemWarning(3));
        EXPECT_FALSE(list.GetItemWarning(2));
        list.SortItems([](LPARAM first, LPARAM second,
                          LPARAM) { return static_cast<int>(second) - static_cast<int>(first); },
                       0);
        // Data descending: 3, 2 (marked), 1, 0 / new.
        EXPECT_TRUE(list.GetItemWarning(1));
        EXPECT_EQ(list.GetItemText(1, 0), "2");
        list.DeleteItem(0);
        EXPECT_TRUE(list.GetItemWarning(0));
        PumpEvents();
        EXPECT_TRUE(Marked(view, 0));
        EXPECT_FALSE(Marked(view, 1));

        // A published row shows its new mark at once, one signal for the row and its heading.
        QSignalSpy changed(view.model(), &QAbstractItemModel::dataChanged);
        QSignalSpy heading(view.model(), &QAbstractItemModel::headerDataChanged);
        EXPECT_TRUE(list.SetItemWarning(1, TRUE));
        EXPECT_TRUE(list.SetItemWarning(1, TRUE));
        EXPECT_EQ(changed.count(), 1) << "setting the same mark again changes nothing";
        EXPECT_EQ(heading.count(), 1);
        EXPECT_TRUE(Marked(view, 1));
        // A point on the row's sign hits the row, as a state icon does.
        CRect rect;
        ASSERT_TRUE(list.GetItemRect(1, &rect, 0));
        UINT flags = 0;
        EXPECT_EQ(list.HitTest(CPoint(2, (rect.top + rect.bottom) / 2), &flags), 1);
        EXPECT_EQ(flags, LVHT_ONITEMSTATEICON);
        EXPECT_TRUE(list.SetItemWarning(1, FALSE));
        EXPECT_FALSE(Marked(view, 1));
    });
}

TEST(RowWarningTest, TheWarningBackgroundIsAGentleAmberOnLightAndDarkPalettes) {
    WithTippedList([](TippedList& list, QTableView& view) {
        list.InsertItem(0, "row");
        list.SetItemWarning(0, TRUE);
        PumpEvents();
        QPalette light = view.palette();
        light.setColor(QPalette::Base, Qt::white);
        view.setPalette(light);
        const QColor onLight = Background(view, 0).value<QBrush>().color();
        EXPECT_EQ(onLight, QColor(0xFF, 0xEF, 0xBF));

        QPalette dark = view.palette();
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        view.setPalette(dark);
        const QColor onDark = Background(view, 0).value<QBrush>().color();
        // Still amber, still dark enough for the dark palette's light text.
        EXPECT_GT(onDark.red(), onDark.green());
        EXPECT_GT(onDark.green(), onDark.blue());
        EXPECT_LT(onDark.lightness(), 100);
    });
}

TEST(RowWarningTest, TooltipsAreAskedFromTheControlOnlyWithTheInfoTipStyle) {
    WithTippedList([](TippedList& list, QTableView& view) {
        for (int item = 0; item < 4; ++item) {
            list.InsertItem(item, "row");
        }
        PumpEvents();
        const auto tip = [&view](int row, int column) {
            return view.model()->index(row, column).data(Qt::ToolTipRole);
        };
        EXPECT_FALSE(tip(0, 0).isValid());
        EXPECT_EQ(list.m_asked, 0) << "no LVS_EX_INFOTIP, no question";

        list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
        EXPECT_EQ(tip(1, 1).toString(), QStringLiteral("item 1 column 1"));
        EXPECT_FALSE(tip(2, 0).isValid()) << "an empty text shows no tooltip";
        const QString full = tip(3, 0).toString();
        EXPECT_EQ(full.size(), INFOTIPSIZE - 1) << "an unterminated text ends in the buffer";
        EXPECT_EQ(list.m_asked, 3);
    });
}
