// The controls: data exchange, the IP-address control, the list view with its header.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableView>
#include <string>
#include <utility>
#include <vector>

#include "platform/framework/Afx.h"
#include "res/ids/Resource.h"
#include "tests/support/ModalTestHooks.h"
#include "tests/support/TestListDialog.h"

using ordvane::framework::ModalScript;
using ordvane::framework::PressButton;
using ordvane::framework::PumpEvents;
using ordvane::framework::TypeText;

namespace {

// The data exchange the Ethernet configuration dialog makes, on its template.
class ExchangeDialog : public CDialog {
public:
    ExchangeDialog() : CDialog(IDD_ETHERNET_CONFIG) {}

    CIPAddressCtrl m_ipAddressCtrl;
    CEdit m_passwordEdit;
    CString m_passwordText;
    int m_dhcpChoice = -1;
    int m_changePassword = 0;
    CString m_hostnameText;
    int m_number = 0;
    bool m_exchangeNumber = false;

protected:
    void DoDataExchange(CDataExchange* exchange) override {
        CDialog::DoDataExchange(exchange);
        DDX_Control(exchange, IDC_IP_ADDRESS, m_ipAddressCtrl);
        DDX_Control(exchange, IDC_PASSWORD, m_passwordEdit);
        DDX_Text(exchange, IDC_PASSWORD, m_passwordText);
        DDV_MaxChars(exchange, m_passwordText, 29);
        DDX_Radio(exchange, IDC_DHCP_ON, m_dhcpChoice);
        DDX_Check(exchange, IDC_CHANGE_PASSWORD, m_changePassword);
        DDX_Text(exchange, IDC_HOSTNAME, m_hostnameText);
        if (m_exchangeNumber) {
            DDX_Text(exchange, IDC_NEW_PASSWORD, m_number);
        }
    }
};

QLineEdit* EditOf(CWnd& dialog, int id) {
    return qobject_cast<QLineEdit*>(dialog.GetDlgItem(id)->GetWidget());
}

}  // namespace

TEST(DataExchangeTest, ValuesMoveBothWaysAndTheLengthLimitHoldsWhileTyping) {
    ExchangeDialog dialog;
    dialog.m_passwordText = "secret";
    dialog.m_dhcpChoice = 1;
    dialog.m_hostnameText = "module7";
    ModalScript script;
    script.OnDialog([&](CDialog& shown) {
        EXPECT_EQ(EditOf(shown, IDC_PASSWORD)->text(), QStringLiteral("secret"));
        EXPECT_EQ(static_cast<CButton*>(shown.GetDlgItem(IDC_DHCP_OFF))->GetCheck(), BST_CHECKED);
        EXPECT_EQ(static_cast<CButton*>(shown.GetDlgItem(IDC_DHCP_ON))->GetCheck(), BST_UNCHECKED);
        EXPECT_EQ(dialog.m_passwordEdit.GetLimitText(), 29U);

        EditOf(shown, IDC_PASSWORD)->clear();
        TypeText(*shown.GetDlgItem(IDC_PASSWORD), std::string(40, 'p').c_str());
        EXPECT_TRUE(PressButton(shown, IDC_DHCP_ON));  // unchecks "Off" in its group
        EXPECT_TRUE(PressButton(shown, IDC_CHANGE_PASSWORD));
        EXPECT_TRUE(PressButton(shown, IDOK));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_passwordText, CString(std::string(29, 'p')));
    EXPECT_EQ(dialog.m_dhcpChoice, 0);
    EXPECT_EQ(dialog.m_changePassword, BST_CHECKED);
    EXPECT_EQ(dialog.m_hostnameText, "module7");
}

TEST(DataExchangeTest, NoRadioCheckedReadsAsMinusOneAndAFailedCheckKeepsTheDialogOpen) {
    ExchangeDialog dialog;
    dialog.m_exchangeNumber = true;
    ModalScript script;
    bool stillOpenAfterBadNumber = false;
    script.OnDialog([&](CDialog& shown) {
        EditOf(shown, IDC_NEW_PASSWORD)->setText(QStringLiteral("12x"));
        EXPECT_TRUE(PressButton(shown, IDOK));
        stillOpenAfterBadNumber = dialog.IsModalRunning() != FALSE;
        EditOf(shown, IDC_NEW_PASSWORD)->setText(QStringLiteral(" -17 "));
        EXPECT_TRUE(PressButton(shown, IDOK));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(stillOpenAfterBadNumber);
    ASSERT_EQ(script.MessageBoxes().size(), 1U);
    EXPECT_EQ(script.MessageBoxes()[0].text, "Please enter an integer.");
    EXPECT_EQ(dialog.m_number, -17);
    EXPECT_EQ(dialog.m_dhcpChoice, -1);
}

TEST(IpAddressControlTest, FieldsAreBlankOrOctetsAndBlanksReadAsZero) {
    ExchangeDialog dialog;
    ModalScript script;
    script.OnDialog([&](CDialog& shown) {
        CIPAddressCtrl& control = dialog.m_ipAddressCtrl;
        DWORD address = 1;
        EXPECT_TRUE(control.IsBlank()) << "a new control is blank";
        EXPECT_EQ(control.GetAddress(address), 0);
        EXPECT_EQ(address, 0U);

        control.SetAddress(0xC0A80001);
        EXPECT_EQ(control.GetAddress(address), 4);
        EXPECT_EQ(address, 0xC0A80001U);
        BYTE a = 0, b = 0, c = 0, d = 0;
        control.GetAddress(a, b, c, d);
        EXPECT_EQ(a, 192);
        EXPECT_EQ(d, 1);

        control.ClearAddress();
        EXPECT_TRUE(control.IsBlank());
        EXPECT_EQ(control.GetAddress(address), 0);
        EXPECT_EQ(address, 0U);

        // Typed by the user: two fields, one of them over 255.
        QWidget* widget = control.GetWidget();
        auto* first = widget->findChild<QLineEdit*>(QStringLiteral("field0"));
        auto* last = widget->findChild<QLineEdit*>(QStringLiteral("field3"));
        first->setFocus();
        first->insert(QStringLiteral("10"));
        last->setFocus();
        QKeyEvent three(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, QStringLiteral("3"));
        QKeyEvent zero(QEvent::KeyPress, Qt::Key_0, Qt::NoModifier, QStringLiteral("0"));
        QApplication::sendEvent(last, &three);
        QApplication::sendEvent(last, &zero);
        QApplication::sendEvent(last, &zero);
        EXPECT_EQ(control.GetAddress(address), 2);
        EXPECT_EQ(address, 0x0A0000FFU);

        control.EnableWindow(FALSE);
        EXPECT_FALSE(control.IsWindowEnabled());
        shown.EndDialog(IDOK);
    });
    dialog.DoModal();
}

namespace {

struct Row {
    int key;
    int arrival;
};

int CALLBACK_CompareRows(LPARAM first, LPARAM second, LPARAM context) {
    auto* calls = reinterpret_cast<int*>(context);
    ++*calls;
    const auto* a = reinterpret_cast<const Row*>(first);
    const auto* b = reinterpret_cast<const Row*>(second);
    return a->key - b->key;
}

// A list control subclass that counts the notifications reflected to it and takes its header
// over, as the module list does.
class ObservedHeader : public CHeaderCtrl {
public:
    std::vector<UINT> m_drawnItems;
    std::vector<UINT> m_drawnStates;
    bool m_hadDevice = false;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override {
        m_drawnItems.push_back(drawItem->itemID);
        m_drawnStates.push_back(drawItem->itemState);
        CDC dc;
        dc.Attach(drawItem->hDC);
        m_hadDevice = dc.GetPainter() != nullptr;
        CBrush face(GetSysColor(COLOR_BTNFACE));
        dc.FillRect(&drawItem->rcItem, &face);
        dc.Detach();
    }
};

class ObservedList : public CListCtrl {
public:
    std::vector<int> m_clickedColumns;
    std::vector<CPoint> m_doubleClicks;
    ObservedHeader m_header;

protected:
    void PreSubclassWindow() override {
        CListCtrl::PreSubclassWindow();
        m_header.SubclassWindow(GetHeaderCtrl()->GetSafeHwnd());
    }
    void OnColumnClick(NMHDR* header, LRESULT* result) {
        m_clickedColumns.push_back(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        *result = 0;
    }
    void OnLButtonDblClk(UINT, CPoint point) { m_doubleClicks.push_back(point); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ObservedList, CListCtrl)
ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

using ListDialog = ordvane::testing::TestListDialog<ObservedList>;

}  // namespace

TEST(ListControlTest, ItemsInsertAnywhereKeepTheirDataAndSortByTheCompareFunction) {
    ListDialog dialog;
    ModalScript script;
    script.OnDialog([&](CDialog&) {
        CListCtrl& list = dialog.m_list;
        EXPECT_EQ(list.InsertColumn(0, "Key", LVCFMT_LEFT, 60), 0);
        EXPECT_EQ(list.InsertColumn(1, "Arrival", LVCFMT_LEFT, 60), 1);
        std::vector<Row> rows{{5, 0}, {1, 1}, {5, 2}, {3, 3}};
        EXPECT_EQ(list.InsertItem(0, "5a"), 0);
        EXPECT_EQ(list.InsertItem(0, "1"), 0);
        EXPECT_EQ(list.InsertItem(99, "5b"), 2) << "an index past the end appends";
        EXPECT_EQ(list.InsertItem(1, "3"), 1);
        EXPECT_EQ(list.InsertItem(-1, "bad"), -1);
        // Order now: 1, 3, 5a, 5b.
        const int order[] = {1, 3, 0, 2};
        for (int item = 0; item < 4; ++item) {
            const Row& row = rows[static_cast<std::size_t>(order[item])];
            EXPECT_TRUE(list.SetItemData(item, reinterpret_cast<DWORD_PTR>(&row)));
            EXPECT_TRUE(list.SetItemText(item, 1, std::to_string(row.arrival).c_str()));
        }
        EXPECT_FALSE(list.SetItemText(9, 1, "x"));
        EXPECT_EQ(list.GetItemCount(), 4);
        EXPECT_EQ(list.GetItemText(2, 0), "5a");
        EXPECT_EQ(list.GetItemText(2, 1), "0");
        char buffer[3];
        EXPECT_EQ(list.GetItemText(2, 1, buffer, 2), 1);
        EXPECT_STREQ(buffer, "0");

        // Descending by key through the rows' data; rows that compare equal keep their order.
        int calls = 0;
        auto descending = [](LPARAM first, LPARAM second, LPARAM context) {
            return CALLBACK_CompareRows(second, first, context);
        };
        EXPECT_TRUE(list.SortItems(descending, reinterpret_cast<DWORD_PTR>(&calls)));
        EXPECT_GT(calls, 0);
        EXPECT_EQ(list.GetItemText(0, 0), "5a");
        EXPECT_EQ(list.GetItemText(1, 0), "5b");
        EXPECT_EQ(list.GetItemText(3, 0), "1");
        EXPECT_EQ(reinterpret_cast<const Row*>(list.GetItemData(3))->key, 1);

        list.FlushPendingChanges();
        auto* view = qobject_cast<QTableView*>(list.GetWidget());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->model()->rowCount(), 4);
        EXPECT_EQ(view->model()->index(1, 0).data().toString(), QStringLiteral("5b"));

        EXPECT_TRUE(list.DeleteAllItems());
        EXPECT_EQ(list.GetItemCount(), 0);
        EXPECT_EQ(list.GetItemData(0), 0U);
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
}

TEST(ListControlTest, SelectionHitTestAndDoubleClickUseClientCoordinates) {
    ListDialog dialog;
    ModalScript script;
    script.OnDialog([&](CDialog&) {
        CListCtrl& list = dialog.m_list;
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_FULLROWSELECT);
        list.InsertColumn(0, "A", LVCFMT_LEFT, 80);
        list.InsertColumn(1, "B", LVCFMT_LEFT, 80);
        for (int item = 0; item < 5; ++item) {
            list.InsertItem(item, std::to_string(item).c_str());
            list.SetItemText(item, 1, "b");
        }
        EXPECT_EQ(list.GetFirstSelectedItemPosition(), nullptr);
        list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
        list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);  // single selection: moves it
        POSITION position = list.GetFirstSelectedItemPosition();
        ASSERT_NE(position, nullptr);
        EXPECT_EQ(list.GetNextSelectedItem(position), 2);
        EXPECT_EQ(position, nullptr);
        EXPECT_EQ(list.GetSelectedCount(), 1U);

        // The selection follows its item when an item is inserted above it.
        list.InsertItem(0, "new");
        PumpEvents();
        position = list.GetFirstSelectedItemPosition();
        EXPECT_EQ(list.GetNextSelectedItem(position), 3);
        auto* view = qobject_cast<QTableView*>(list.GetWidget());
        ASSERT_EQ(view->selectionModel()->selectedRows().size(), 1);
        EXPECT_EQ(view->selectionModel()->selectedRows().front().row(), 3);

        // Keys move the selection over the rows as they are, even with changes not shown yet.
        list.SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        list.InsertItem(0, "newer");  // item 3 becomes item 4
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(view, &down);
        position = list.GetFirstSelectedItemPosition();
        EXPECT_EQ(list.GetNextSelectedItem(position), 5);

        CRect row;
        ASSERT_TRUE(list.GetItemRect(4, &row, 0));
        const CPoint inside(row.left + 100, (row.top + row.bottom) / 2);
        EXPECT_EQ(list.HitTest(inside), 4);
        EXPECT_EQ(list.HitTest(CPoint(row.left + 5, 2)), -1) << "the header is not an item";
        CRect client;
        list.GetClientRect(&client);
        EXPECT_EQ(list.HitTest(CPoint(5, client.bottom - 2)), -1);

        // A double click in the view, or on the row's sign beside it, arrives as
        // WM_LBUTTONDBLCLK with a client point that hits the row.
        const QPoint viewportPoint = view->visualRect(view->model()->index(4, 1)).center();
        ASSERT_EQ(view->model()->rowCount(), 7);
        QWidget* gutter = view->verticalHeader()->viewport();
        const QPoint gutterPoint(2, view->verticalHeader()->sectionViewportPosition(4) + 2);
        for (const auto& [target, point] :
             {std::pair{view->viewport(), viewportPoint}, std::pair{gutter, gutterPoint}}) {
            QMouseEvent doubleClick(QEvent::MouseButtonDblClick, point, target->mapToGlobal(point),
                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &doubleClick);
        }
        ASSERT_EQ(dialog.m_list.m_doubleClicks.size(), 2U);
        EXPECT_EQ(list.HitTest(dialog.m_list.m_doubleClicks[0]), 4);
        EXPECT_EQ(list.HitTest(dialog.m_list.m_doubleClicks[1]), 4) << "on the row's sign";
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
}

TEST(ListControlTest, HeaderClicksAreReflectedAndOwnerDrawnItemsAreDrawnByTheSubclass) {
    ListDialog dialog;
    ModalScript script;
    script.OnDialog([&](CDialog&) {
        CListCtrl& list = dialog.m_list;
        list.InsertColumn(0, "IP", LVCFMT_LEFT, 90);
        list.InsertColumn(1, "SN", LVCFMT_LEFT, 90);
        CHeaderCtrl* header = list.GetHeaderCtrl();
        ASSERT_EQ(header, &dialog.m_list.m_header) << "the subclass owns the header";
        EXPECT_EQ(header->GetItemCount(), 2);

        auto* headerView = qobject_cast<QHeaderView*>(header->GetWidget());
        emit headerView->sectionClicked(1);
        ASSERT_EQ(dialog.m_list.m_clickedColumns.size(), 1U);
        EXPECT_EQ(dialog.m_list.m_clickedColumns[0], 1);

        HDITEM item{};
        char text[256] = {};
        item.mask = HDI_FORMAT | HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 255;
        ASSERT_TRUE(header->GetItem(1, &item));
        EXPECT_STREQ(text, "SN");
        EXPECT_EQ(item.fmt & HDF_OWNERDRAW, 0);
        item.mask = HDI_FORMAT;
        item.fmt |= HDF_OWNERDRAW;
        ASSERT_TRUE(header->SetItem(1, &item));
        EXPECT_FALSE(header->GetItem(5, &item));

        headerView->grab();
        EXPECT_EQ(dialog.m_list.m_header.m_drawnItems, std::vector<UINT>{1});
        EXPECT_EQ(dialog.m_list.m_header.m_drawnStates, std::vector<UINT>{0});
        EXPECT_TRUE(dialog.m_list.m_header.m_hadDevice);
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
}

TEST(ListControlTest, TheModelStaysConsistentForTheViewThroughBatchedChanges) {
    ListDialog dialog;
    ModalScript script;
    script.OnDialog([&](CDialog&) {
        CListCtrl& list = dialog.m_list;
        auto* view = qobject_cast<QTableView*>(list.GetWidget());
        // Aborts the test run at the first inconsistency between signals and answers.
        QAbstractItemModelTester tester(view->model(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        list.InsertColumn(0, "A", LVCFMT_LEFT, 50);
        list.InsertColumn(1, "B", LVCFMT_RIGHT, 50);
        for (int item = 0; item < 50; ++item) {
            list.InsertItem(item, std::to_string(item).c_str());  // appended
            list.SetItemText(item, 1, "x");
        }
        PumpEvents();
        EXPECT_EQ(view->model()->rowCount(), 50);
        list.InsertItem(10, "middle");
        list.DeleteItem(0);
        list.SetItemText(5, 1, "changed");  // waits for the pending rearrangement
        PumpEvents();
        EXPECT_EQ(view->model()->rowCount(), 50);
        EXPECT_EQ(view->model()->index(9, 0).data().toString(), QStringLiteral("middle"));
        list.SetItemText(9, 1, "now");  // a published row: shown at once
        EXPECT_EQ(view->model()->index(9, 1).data().toString(), QStringLiteral("now"));
        EXPECT_EQ(view->model()->index(9, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
                  static_cast<int>(Qt::AlignRight));
        list.SortItems([](LPARAM, LPARAM, LPARAM) { return 0; }, 0);
        list.DeleteAllItems();
        PumpEvents();
        EXPECT_EQ(view->model()->rowCount(), 0);
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
}

TEST(WindowTest, TextsRelationsAndTheStaticIconFollowTheTemplate) {
    class AboutTemplateDialog : public CDialog {
    public:
        AboutTemplateDialog() : CDialog(IDD_ABOUTBOX) {}
    } dialog;
    ModalScript script;
    script.OnDialog([&](CDialog& shown) {
        CWnd* first = shown.GetWindow(GW_CHILD);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->GetDlgCtrlID(), IDC_STATIC);
        auto* icon = qobject_cast<QLabel*>(first->GetWidget());
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(icon->pixmap().isNull()) << "icon 128 is shown";
        EXPECT_EQ(first->GetWindow(GW_HWNDNEXT)->GetDlgCtrlID(), IDC_VERSION_TEXT);
        EXPECT_EQ(first->GetWindow(GW_HWNDLAST)->GetDlgCtrlID(), IDOK);
        EXPECT_EQ(first->GetWindow(GW_HWNDPREV), nullptr);
        EXPECT_EQ(first->GetParent(), &shown);
        EXPECT_EQ(shown.GetDlgItem(9999), nullptr);

        // A static without SS_NOPREFIX shows "&x" as a mnemonic; the text stays as given.
        CWnd* version = shown.GetDlgItem(IDC_VERSION_TEXT);
        CWnd* copyright = shown.GetDlgItem(IDC_COPYRIGHT_TEXT);
        version->SetWindowText("Q&A");
        copyright->SetWindowText("Q&A && more");
        EXPECT_EQ(qobject_cast<QLabel*>(version->GetWidget())->text(), QStringLiteral("Q&A"));
        EXPECT_EQ(qobject_cast<QLabel*>(copyright->GetWidget())->text(),
                  QStringLiteral("QA & more"));
        CString text;
        copyright->GetWindowText(text);
        EXPECT_EQ(text, "Q&A && more");
        char shortBuffer[3];
        EXPECT_EQ(copyright->GetWindowText(shortBuffer, 3), 2);
        EXPECT_STREQ(shortBuffer, "Q&");

        shown.SetWindowText("About Ordvane");
        EXPECT_EQ(shown.GetWidget()->windowTitle(), QStringLiteral("About Ordvane"));
        EXPECT_FALSE(copyright->ShowWindow(SW_HIDE) == FALSE) << "it was visible";
        EXPECT_FALSE(copyright->IsWindowVisible());
        shown.EndDialog(IDOK);
    });
    dialog.DoModal();
    ASSERT_EQ(script.Dialogs().size(), 1U);
    EXPECT_EQ(script.Dialogs()[0].caption, "About Ordvane");
}

TEST(ListControlTest, DeletingAnItemMovesTheOthersUpWithTheirStateAndData) {
    ListDialog dialog;
    ModalScript script;
    script.OnDialog([&](CDialog&) {
        CListCtrl& list = dialog.m_list;
        list.InsertColumn(0, "A", LVCFMT_LEFT, 50);
        for (int item = 0; item < 4; ++item) {
            list.InsertItem(item, std::to_string(item).c_str());
            list.SetItemData(item, static_cast<DWORD_PTR>(100 + item));
        }
        list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_TRUE(list.DeleteItem(1));
        EXPECT_FALSE(list.DeleteItem(3));
        EXPECT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetItemData(1), 102U);
        EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), LVIS_SELECTED);
        EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), 0U);
        EXPECT_TRUE(list.EnsureVisible(2, FALSE));
        EXPECT_FALSE(list.EnsureVisible(3, FALSE));
        EXPECT_EQ(list.GetItemText(7, 0), "");
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
}
