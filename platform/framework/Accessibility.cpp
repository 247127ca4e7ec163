#include "platform/framework/Accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QRadioButton>
#include <QWidget>

#include "platform/framework/CListCtrl.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/DialogBuilder.h"
#include "platform/framework/DialogWindow.h"
#include "platform/framework/IpAddressWidget.h"
#include "platform/framework/ListViewWidget.h"

namespace ordvane::framework {
namespace {

using detail::DialogWindow;
using detail::IpAddressWidget;

// A dialog's window is a plain widget to Qt; it is read as a dialog, modal while it blocks its
// owner.
class DialogAccessible : public QAccessibleWidget {
public:
    explicit DialogAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Dialog) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.modal = widget()->windowModality() != Qt::NonModal;
        return state;
    }
};

// The framework's radio buttons group themselves by template order, not by Qt's exclusivity,
// which Qt would read as check boxes.
class RadioButtonAccessible : public QAccessibleWidget {
public:
    explicit RadioButtonAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return detail::WithoutPrefixMarks(Button()->text());
        }
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button()->isChecked();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && Button()->isEnabled()) {
            Button()->click();
        }
    }

private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

// Four octet edits in a frame: one field to the reader, named by its label like any field.
class IpAddressAccessible : public QAccessibleWidget {
public:
    explicit IpAddressAccessible(QWidget* control)
        : QAccessibleWidget(control, QAccessible::Grouping) {}
};

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (dynamic_cast<DialogWindow*>(widget) != nullptr) {
        return new DialogAccessible(widget);
    }
    if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        return new RadioButtonAccessible(radio);
    }
    if (dynamic_cast<IpAddressWidget*>(widget) != nullptr) {
        return new IpAddressAccessible(widget);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

void SetAccessibleText(CWnd& control, LPCSTR name, LPCSTR description) {
    if (QWidget* widget = control.GetWidget()) {
        widget->setAccessibleName(QString::fromUtf8(name != nullptr ? name : ""));
        widget->setAccessibleDescription(
            QString::fromUtf8(description != nullptr ? description : ""));
    }
}

void SetColumnDescription(CListCtrl& list, int column, LPCSTR description) {
    if (auto* view = dynamic_cast<detail::ListViewWidget*>(list.GetWidget())) {
        view->model()->setHeaderData(column, Qt::Horizontal,
                                     QString::fromUtf8(description != nullptr ? description : ""),
                                     Qt::AccessibleDescriptionRole);
    }
}

}  // namespace ordvane::framework
