#include "platform/framework/DialogBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "platform/framework/CWnd.h"
#include "platform/framework/DialogWindow.h"
#include "platform/framework/IpAddressWidget.h"
#include "platform/framework/ListViewWidget.h"
#include "platform/framework/Resources.h"
#include "platform/framework/WindowRegistry.h"

namespace ordvane::framework::detail {
namespace {

// Sends WM_COMMAND with the control's id and a notification code to the control's parent.
void NotifyParent(QWidget* control, UINT code) {
    QWidget* parent = control->parentWidget();
    CWnd* parentWindow = parent != nullptr ? CWnd::FromWidget(parent) : nullptr;
    if (parentWindow == nullptr) {
        return;
    }
    const auto id = static_cast<WORD>(ControlIdOf(control));
    parentWindow->SendMessage(WM_COMMAND, MAKEWPARAM(id, static_cast<WORD>(code)),
                              reinterpret_cast<LPARAM>(CWnd::HandleFromWidget(control)));
}

// An automatic radio button checks itself and unchecks the other buttons of its group (the
// radio buttons from the one with WS_GROUP up to the next control with WS_GROUP).
void CheckWithinGroup(QRadioButton* button) {
    int group = 0;
    int buttonGroup = -1;
    std::vector<std::pair<int, QRadioButton*>> radios;
    for (QWidget* control : ControlsInTemplateOrder(button->parentWidget())) {
        if ((StyleOf(control) & WS_GROUP) != 0) {
            ++group;
        }
        if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            radios.emplace_back(group, radio);
            if (radio == button) {
                buttonGroup = group;
            }
        }
    }
    for (const auto& [radioGroup, radio] : radios) {
        if (radioGroup == buttonGroup) {
            radio->setChecked(radio == button);
        }
    }
}

QWidget* CreateButton(QWidget* parent, const DialogControlTemplate& control, const QString& text) {
    switch (control.style & BS_TYPEMASK) {
        case BS_AUTOCHECKBOX:
        case BS_CHECKBOX: {
            auto* box = new QCheckBox(text, parent);
            QObject::connect(box, &QAbstractButton::clicked, box,
                             [box]() { NotifyParent(box, BN_CLICKED); });
            return box;
        }
        case BS_AUTORADIOBUTTON:
        case BS_RADIOBUTTON: {
            auto* radio = new QRadioButton(text, parent);
            radio->setAutoExclusive(false);
            const bool automatic = (control.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
            QObject::connect(radio, &QAbstractButton::clicked, radio, [radio, automatic]() {
                if (automatic) {
                    CheckWithinGroup(radio);
                }
                NotifyParent(radio, BN_CLICKED);
            });
            return radio;
        }
        case BS_GROUPBOX: {
            auto* group = new QGroupBox(text, parent);
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            return group;
        }
        default: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(false);
            button->setDefault((control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [button]() { NotifyParent(button, BN_CLICKED); });
            return button;
        }
    }
}

QWidget* CreateStatic(QWidget* parent, const DialogControlTemplate& control, const QString& text) {
    auto* label = new QLabel(parent);
    if ((control.style & SS_TYPEMASK) == SS_ICON) {
        const QString name = text.startsWith(QLatin1Char('#')) ? text.mid(1) : text;
        if (HICON icon = LoadIconResource(name.toUInt(), GetSystemMetrics(SM_CXICON))) {
            const int size = IconSizeFromHandle(icon);
            label->setPixmap(IconFromHandle(icon).pixmap(size, size));
        }
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    Qt::Alignment horizontal = Qt::AlignLeft;
    if ((control.style & SS_TYPEMASK) == SS_CENTER) {
        horizontal = Qt::AlignHCenter;
    } else if ((control.style & SS_TYPEMASK) == SS_RIGHT) {
        horizontal = Qt::AlignRight;
    }
    label->setAlignment(horizontal | Qt::AlignTop);
    return label;
}

QWidget* CreateEdit(QWidget* parent, const DialogControlTemplate& control) {
    auto* edit = new QLineEdit(parent);
    if ((control.style & ES_PASSWORD) != 0) {
        edit->setEchoMode(QLineEdit::Password);
    }
    edit->setReadOnly((control.style & ES_READONLY) != 0);
    edit->setFrame((control.style & WS_BORDER) != 0 || (control.exStyle & WS_EX_CLIENTEDGE) != 0);
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [edit]() { NotifyParent(edit, EN_CHANGE); });
    return edit;
}

QWidget* CreateControl(QWidget* parent, const DialogControlTemplate& control) {
    const QString text = QString::fromUtf8(control.text != nullptr ? control.text : "");
    switch (control.windowClass) {
        case ControlClass::Button:
            return CreateButton(parent, control, text);
        case ControlClass::Static:
            return CreateStatic(parent, control, text);
        case ControlClass::Edit:
            return CreateEdit(parent, control);
        case ControlClass::ListView:
            return new ListViewWidget(parent, control.style);
        case ControlClass::IpAddress:
            return new IpAddressWidget(parent);
    }
    return new QWidget(parent);
}

}  // namespace

void ApplyDialogFont(QWidget* window, const DialogTemplate& dialogTemplate) {
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 8);
    window->setFont(font);
}

int BuildControls(DialogWindow* window, const DialogTemplate& dialogTemplate) {
    int defaultId = 0;
    std::vector<QWidget*> created;
    for (const DialogControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(window, control);
        widget->setProperty(kControlIdProperty, control.id);
        widget->setProperty(kTemplateOrderProperty, static_cast<int>(created.size()));
        widget->setProperty(kStyleProperty, static_cast<uint>(control.style));
        widget->setProperty(kExStyleProperty, static_cast<uint>(control.exStyle));
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        widget->setGeometry(DialogUnitsToPixelsX(control.x), DialogUnitsToPixelsY(control.y),
                            DialogUnitsToPixelsX(control.cx), DialogUnitsToPixelsY(control.cy));
        CWnd* wrapper = CWnd::FromWidget(widget);
        // An icon static's text names its icon, which CreateStatic has put in place already.
        const bool iconStatic =
            control.windowClass == ControlClass::Static && (control.style & SS_TYPEMASK) == SS_ICON;
        const bool emptyEdit = control.windowClass == ControlClass::Edit &&
                               (control.text == nullptr || *control.text == '\0');
        if (!iconStatic && !emptyEdit) {
            wrapper->SetWindowText(control.text != nullptr ? control.text : "");
        }
        if (control.windowClass != ControlClass::Static &&
            (control.windowClass != ControlClass::Button ||
             (control.style & BS_TYPEMASK) != BS_GROUPBOX)) {
            widget->setFocusPolicy((control.style & WS_TABSTOP) != 0 ? Qt::StrongFocus
                                                                     : Qt::ClickFocus);
        }
        widget->setEnabled((control.style & WS_DISABLED) == 0);
        widget->setVisible((control.style & WS_VISIBLE) != 0);
        if (defaultId == 0 && control.windowClass == ControlClass::Button &&
            (control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            defaultId = control.id;
        }
        created.push_back(widget);
    }
    QWidget* previous = nullptr;
    for (QWidget* widget : created) {
        if (widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
    window->resize(DialogUnitsToPixelsX(dialogTemplate.cx),
                   DialogUnitsToPixelsY(dialogTemplate.cy));
    return defaultId != 0 ? defaultId : IDOK;
}

}  // namespace ordvane::framework::detail
