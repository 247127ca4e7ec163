#pragma once
// A dialog made from the main window's template with a list control of the test's class bound
// to its list view, as the main window binds its table: for the tests of the list control and
// of the module table. Run it under a ModalScript so that nothing blocks.

#include "platform/framework/Afx.h"
#include "res/ids/Resource.h"

namespace ordvane::testing {

template <typename List>
class TestListDialog : public CDialog {
public:
    TestListDialog() : CDialog(IDD_ORDVANE_DIALOG) {}
    List m_list;

protected:
    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Control(exchange, IDC_MODULE_LIST, m_list);
    }
};

}  // namespace ordvane::testing
