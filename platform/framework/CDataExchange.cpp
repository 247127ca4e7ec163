#include "platform/framework/CDataExchange.h"

#include "platform/framework/Translate.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/Utf8Text.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/EditCharacterLimit.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/WindowRegistry.h"

CDataExchange::CDataExchange(CWnd* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

CWnd* CDataExchange::PrepareCtrl(int id) {
    CWnd* control = m_pDlgWnd != nullptr ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    m_lastControl = control;
    if (control == nullptr) {
        Fail();
    }
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_lastControl != nullptr) {
        m_lastControl->SetFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(m_lastControl->GetWidget())) {
            edit->selectAll();
        }
    }
    m_failed = TRUE;
}

void DDX_Control(CDataExchange* dataExchange, int id, CWnd& control) {
    if (dataExchange->HasFailed() || control.m_hWnd != nullptr) {
        return;
    }
    CWnd* existing = dataExchange->PrepareCtrl(id);
    if (existing != nullptr) {
        control.SubclassWindow(existing->m_hWnd);
    }
}

void DDX_Text(CDataExchange* dataExchange, int id, CString& value) {
    if (dataExchange->HasFailed()) {
        return;
    }
    CWnd* control = dataExchange->PrepareCtrl(id);
    if (control == nullptr) {
        return;
    }
    if (dataExchange->m_bSaveAndValidate) {
        control->GetWindowText(value);
    } else {
        control->SetWindowText(value);
    }
}

void DDX_Text(CDataExchange* dataExchange, int id, int& value) {
    if (dataExchange->HasFailed()) {
        return;
    }
    CWnd* control = dataExchange->PrepareCtrl(id);
    if (control == nullptr) {
        return;
    }
    if (!dataExchange->m_bSaveAndValidate) {
        control->SetWindowText(std::to_string(value).c_str());
        return;
    }
    CString text;
    control->GetWindowText(text);
    const std::string trimmed = CString(text).Trim().Str();
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(trimmed.c_str(), &end, 10);
    if (trimmed.empty() || *end != '\0' || errno == ERANGE || parsed < INT_MIN ||
        parsed > INT_MAX) {
        AfxMessageBox(ordvane::translate("CDataExchange", "Please enter an integer."),
                      MB_ICONEXCLAMATION);
        dataExchange->Fail();
        return;
    }
    value = static_cast<int>(parsed);
}

void DDV_MaxChars(CDataExchange* dataExchange, const CString& value, int maxChars) {
    if (dataExchange->HasFailed()) {
        return;
    }
    CWnd* control = dataExchange->LastControl();
    if (!dataExchange->m_bSaveAndValidate) {
        auto* edit = control != nullptr ? qobject_cast<QLineEdit*>(control->GetWidget()) : nullptr;
        if (edit != nullptr) {
            // The edit takes at most maxChars characters while the user types, counted as the
            // check below counts them.
            ordvane::framework::detail::SetEditCharacterLimit(edit, maxChars);
        }
        return;
    }
    if (ordvane::CountUtf8Characters(value.Str()) >
        static_cast<std::size_t>(std::max(maxChars, 0))) {
        const CString message = ordvane::FillIn(
            ordvane::translate("CDataExchange", "Please enter no more than %1 characters."),
            {std::to_string(maxChars)});
        AfxMessageBox(message, MB_ICONEXCLAMATION);
        dataExchange->Fail();
    }
}

void DDX_Radio(CDataExchange* dataExchange, int id, int& value) {
    if (dataExchange->HasFailed()) {
        return;
    }
    CWnd* first = dataExchange->PrepareCtrl(id);
    if (first == nullptr) {
        return;
    }
    // The group: the radio buttons from this one up to the next control with WS_GROUP.
    if (dataExchange->m_bSaveAndValidate) {
        value = -1;
    }
    int index = 0;
    for (CWnd* control = first; control != nullptr; control = control->GetWindow(GW_HWNDNEXT)) {
        if (control != first && (control->GetStyle() & WS_GROUP) != 0) {
            break;
        }
        auto* radio = qobject_cast<QRadioButton*>(control->GetWidget());
        if (radio == nullptr) {
            continue;
        }
        if (dataExchange->m_bSaveAndValidate) {
            if (radio->isChecked()) {
                value = index;
            }
        } else {
            radio->setChecked(index == value);
        }
        ++index;
    }
}

void DDX_Check(CDataExchange* dataExchange, int id, int& value) {
    if (dataExchange->HasFailed()) {
        return;
    }
    CWnd* control = dataExchange->PrepareCtrl(id);
    if (control == nullptr) {
        return;
    }
    auto* button = qobject_cast<QAbstractButton*>(control->GetWidget());
    if (button == nullptr) {
        dataExchange->Fail();
        return;
    }
    if (dataExchange->m_bSaveAndValidate) {
        value = button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    } else {
        button->setChecked(value == BST_CHECKED);
    }
}
