#include "platform/framework/DialogBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "platform/framework/CWnd.h"
#include "platform/framework/DialogWindow.h"
#include "platform/framework/IpAddressWidget.h"
#include "platform/framework/ListViewWidget.h"
#include "platform/framework/Resources.h"
#include "platform/framework/Translate.h"
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
            // Only the dialog's default button is drawn as the default (BuildControls picks it):
            // the dialog manager draws one, however many templates mark.
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
    SetEditReadOnly(edit, (control.style & ES_READONLY) != 0);
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

namespace {

// The templates' texts are sized for "MS Sans Serif" 8 pt, which is narrower than the usual
// Linux sans-serif faces (DejaVu Sans runs about a tenth wider and pushes the last word of a
// tight static onto a line it has no room for). Faces with Arial's widths come closest; the
// desktop's sans-serif is the last resort.
QStringList DialogFontFamilies(const DialogTemplate& dialogTemplate) {
    QStringList families;
    if (dialogTemplate.fontName != nullptr && *dialogTemplate.fontName != '\0') {
        families << QString::fromUtf8(dialogTemplate.fontName);
    }
    families << QStringLiteral("Liberation Sans") << QStringLiteral("Arimo")
             << QStringLiteral("Arial") << QStringLiteral("Nimbus Sans")
             << QApplication::font().family();
    return families;
}

// "&x" marks x as the access key; "&&" is a plain "&".
bool HasAccessKey(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&')) {
                return true;
            }
            ++i;
        }
    }
    return false;
}

// A text static's access key moves the focus to the next control that takes the focus, as the
// dialog manager does; as the field's buddy the label also names it for screen readers.
void TieLabelsToFields(const std::vector<QWidget*>& controls) {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        auto* label = qobject_cast<QLabel*>(controls[i]);
        if (label == nullptr || !label->pixmap().isNull() || (StyleOf(label) & SS_NOPREFIX) != 0 ||
            !HasAccessKey(label->property(kRawTextProperty).toString())) {
            continue;
        }
        for (std::size_t next = i + 1; next < controls.size(); ++next) {
            QWidget* field = controls[next];
            if (qobject_cast<QLabel*>(field) != nullptr) {
                break;
            }
            if (field->focusPolicy() != Qt::NoFocus) {
                label->setBuddy(field);
                if (auto* address = dynamic_cast<IpAddressWidget*>(field)) {
                    address->NameParts(
                        WithoutPrefixMarks(label->property(kRawTextProperty).toString()));
                }
                // With a buddy the label shows its access key instead of dropping the mark.
                label->setText(label->property(kRawTextProperty).toString());
                break;
            }
        }
    }
}

}  // namespace

double DesktopFontScale() {
    const double desktop = QApplication::font().pointSizeF();
    return desktop > 0 ? desktop / kStandardDesktopPointSize : 1.0;
}

void ApplyDialogFont(QWidget* window, const DialogTemplate& dialogTemplate) {
    QFont font = QApplication::font();
    font.setFamilies(DialogFontFamilies(dialogTemplate));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF((dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 8) *
                       DesktopFontScale());
    window->setFont(font);
}

void FitStaticToText(QLabel* label) {
    const QRect box = label->property(kTemplateRectProperty).toRect();
    if (!box.isValid() || !label->pixmap().isNull()) {
        return;
    }
    const QFontMetrics metrics(label->font());
    const bool oneLine = box.height() < 2 * metrics.lineSpacing();
    label->setWordWrap(!oneLine);
    if (!oneLine) {
        label->setGeometry(box);
        return;
    }
    // The drawn extent, which may pass the advance by a pixel of overhang; an access key's mark
    // takes no room.
    const int flags = static_cast<int>(label->alignment()) |
                      (label->buddy() != nullptr ? Qt::TextShowMnemonic : 0);
    const int boundingWidth = metrics.boundingRect(box, flags, label->text()).width();
    const int textWidth = label->buddy() != nullptr
                              ? boundingWidth
                              : std::max(metrics.horizontalAdvance(label->text()), boundingWidth);
    QRect fitted = box;
    fitted.setHeight(std::max(box.height(), metrics.height()));
    const int extra = std::max(0, textWidth - box.width());
    fitted.setWidth(box.width() + extra);
    // The text stays where its alignment puts it: a right-aligned static grows to the left, a
    // centred one to both sides.
    if ((label->alignment() & Qt::AlignRight) != 0) {
        fitted.moveLeft(box.left() - extra);
    } else if ((label->alignment() & Qt::AlignHCenter) != 0) {
        fitted.moveLeft(box.left() - extra / 2);
    }
    label->setGeometry(fitted);
}

QString WithoutPrefixMarks(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

void SetEditReadOnly(QLineEdit* edit, bool readOnly) {
    edit->setReadOnly(readOnly);
    const QPalette surrounding =
        edit->parentWidget() != nullptr ? edit->parentWidget()->palette() : QApplication::palette();
    QPalette palette = edit->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setBrush(group, QPalette::Base,
                         surrounding.brush(group, readOnly ? QPalette::Window : QPalette::Base));
    }
    edit->setPalette(palette);
}

int BuildControls(DialogWindow* window, const DialogTemplate& dialogTemplate) {
    // The dialog units grow with the font: with the desktop's font, and with the resolution.
    const int fontDpi = qRound(window->logicalDpiY() * DesktopFontScale());
    int defaultId = 0;
    std::vector<QWidget*> created;
    for (const DialogControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(window, control);
        widget->setProperty(kControlIdProperty, control.id);
        widget->setProperty(kTemplateOrderProperty, static_cast<int>(created.size()));
        widget->setProperty(kStyleProperty, static_cast<uint>(control.style));
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        const QRect box(
            DialogUnitsToPixelsX(control.x, fontDpi), DialogUnitsToPixelsY(control.y, fontDpi),
            DialogUnitsToPixelsX(control.cx, fontDpi), DialogUnitsToPixelsY(control.cy, fontDpi));
        widget->setGeometry(box);
        if (control.windowClass == ControlClass::Static) {
            widget->setProperty(kTemplateRectProperty, box);
        }
        CWnd* wrapper = CWnd::FromWidget(widget);
        // An icon static's text names its icon, which CreateStatic has put in place already.
        const bool iconStatic =
            control.windowClass == ControlClass::Static && (control.style & SS_TYPEMASK) == SS_ICON;
        const bool emptyEdit = control.windowClass == ControlClass::Edit &&
                               (control.text == nullptr || *control.text == '\0');
        if (!iconStatic && !emptyEdit) {
            // The templates hold the English texts; the user's language comes from the
            // catalogues.
            wrapper->SetWindowText(
                translate("Dialog", control.text != nullptr ? control.text : ""));
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
    TieLabelsToFields(created);
    if (auto* defaultButton = qobject_cast<QPushButton*>(
            window->findChild<QWidget*>(QStringLiteral("control%1").arg(defaultId)))) {
        defaultButton->setDefault(true);
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
    window->resize(DialogUnitsToPixelsX(dialogTemplate.cx, fontDpi),
                   DialogUnitsToPixelsY(dialogTemplate.cy, fontDpi));
    return defaultId != 0 ? defaultId : IDOK;
}

}  // namespace ordvane::framework::detail
