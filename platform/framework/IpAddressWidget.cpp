#include "platform/framework/IpAddressWidget.h"

#include <QCoreApplication>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <utility>

#include "platform/framework/MessageBox.h"

namespace ordvane::framework::detail {

namespace {

constexpr int kDigitsPerField = 3;

bool IsFieldSeparator(const QKeyEvent& key) {
    return key.key() == Qt::Key_Period || key.key() == Qt::Key_Space;
}

}  // namespace

IpAddressWidget::IpAddressWidget(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < kFieldCount; ++i) {
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(kDigitsPerField);
        field->setValidator(digits);
        field->setObjectName(QStringLiteral("field%1").arg(i));
        // Only the first field is a tab stop: Tab leaves the control from any field.
        field->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        field->installEventFilter(this);
        QObject::connect(field, &QLineEdit::textEdited, this, [this, i]() { OnFieldEdited(i); });
        m_fields[static_cast<std::size_t>(i)] = field;
        if (i < kFieldCount - 1) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            m_dots[static_cast<std::size_t>(i)] = dot;
        }
    }
    setFocusProxy(m_fields[0]);
}

void IpAddressWidget::NameParts(const QString& name) {
    for (int i = 0; i < kFieldCount; ++i) {
        QLineEdit* field = m_fields.at(static_cast<std::size_t>(i));
        field->setAccessibleName(name);
        field->setAccessibleDescription(
            QCoreApplication::translate("IpAddressWidget", "Part %1 of %2")
                .arg(i + 1)
                .arg(kFieldCount));
    }
}

QString IpAddressWidget::RangeMessage(int typed) {
    return QCoreApplication::translate(
               "IpAddressWidget",
               "%1 is not a valid entry. Please specify a value between 0 and %2.")
        .arg(typed)
        .arg(kHighestValue);
}

std::optional<int> IpAddressWidget::Field(int index) const {
    const QString text = FieldEdit(index)->text();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return std::min(text.toInt(), kHighestValue);
}

void IpAddressWidget::SetField(int index, std::optional<int> value) {
    FieldEdit(index)->setText(
        value.has_value() ? QString::number(std::clamp(*value, 0, kHighestValue)) : QString());
}

int IpAddressWidget::IndexOf(const QObject* field) const {
    const auto found = std::find(m_fields.begin(), m_fields.end(), field);
    return found != m_fields.end() ? static_cast<int>(found - m_fields.begin()) : -1;
}

void IpAddressWidget::FocusField(int index, bool selectAll) {
    QLineEdit* field = FieldEdit(index);
    field->setFocus(Qt::OtherFocusReason);
    if (selectAll) {
        field->selectAll();
    }
}

bool IpAddressWidget::ClampField(int index) {
    QLineEdit* field = FieldEdit(index);
    const int typed = field->text().toInt();
    if (field->text().isEmpty() || typed <= kHighestValue) {
        return false;
    }
    // The field shows what is kept before the message appears, so the message never stands
    // beside a number that will not be used.
    field->setText(QString::number(kHighestValue));
    AfxMessageBox(RangeMessage(typed).toUtf8().constData(), MB_ICONEXCLAMATION);
    FocusField(index, true);
    return true;
}

void IpAddressWidget::OnFieldEdited(int index) {
    if (ClampField(index)) {
        return;
    }
    QLineEdit* field = FieldEdit(index);
    if (field->text().size() == kDigitsPerField && field->cursorPosition() == kDigitsPerField &&
        index < kFieldCount - 1) {
        FocusField(index + 1, true);
        m_fieldEnteredByJump = index + 1;
    }
}

void IpAddressWidget::LeaveControl(bool forward) {
    QWidget* start = forward ? FieldEdit(kFieldCount - 1) : FieldEdit(0);
    QWidget* candidate = forward ? start->nextInFocusChain() : start->previousInFocusChain();
    while (candidate != nullptr && candidate != start) {
        const bool ours = candidate == this || isAncestorOf(candidate);
        if (!ours && candidate->window() == window() &&
            (candidate->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            candidate->isVisibleTo(window()) && candidate->isEnabled()) {
            candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
        candidate = forward ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
    }
}

bool IpAddressWidget::PasteAddress() {
    static const QRegularExpression dotted(
        QStringLiteral("^\\s*(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\s*$"));
    const QRegularExpressionMatch match = dotted.match(QApplication::clipboard()->text());
    if (!match.hasMatch()) {
        return false;
    }
    for (int i = 0; i < kFieldCount; ++i) {
        FieldEdit(i)->setText(match.captured(i + 1));
    }
    for (int i = 0; i < kFieldCount; ++i) {
        if (ClampField(i)) {
            return true;
        }
    }
    FocusField(kFieldCount - 1, false);
    FieldEdit(kFieldCount - 1)->end(false);
    return true;
}

bool IpAddressWidget::OnFieldKey(int index, const QKeyEvent& key) {
    const int enteredByJump = std::exchange(m_fieldEnteredByJump, -1);
    QLineEdit* field = FieldEdit(index);
    const bool plain = (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0;
    if (key.matches(QKeySequence::Paste)) {
        return PasteAddress();
    }
    if (plain && (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)) {
        const bool backwards =
            key.key() == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier) != 0;
        LeaveControl(!backwards);
        return true;
    }
    if (IsFieldSeparator(key)) {
        // Right after the jump the dot only confirms it; in an empty field it has nothing to
        // end; elsewhere it ends the field.
        if (enteredByJump != index && !field->text().isEmpty() && index < kFieldCount - 1) {
            FocusField(index + 1, true);
        }
        return true;
    }
    const bool atStart = field->cursorPosition() == 0 && !field->hasSelectedText();
    const bool atEnd = field->cursorPosition() == field->text().size() && !field->hasSelectedText();
    if (key.key() == Qt::Key_Backspace && atStart && index > 0) {
        FocusField(index - 1, false);
        FieldEdit(index - 1)->end(false);
        return true;
    }
    if (key.key() == Qt::Key_Left && atStart && index > 0) {
        FocusField(index - 1, false);
        FieldEdit(index - 1)->end(false);
        return true;
    }
    if (key.key() == Qt::Key_Right && atEnd && index < kFieldCount - 1) {
        FocusField(index + 1, false);
        FieldEdit(index + 1)->home(false);
        return true;
    }
    return false;
}

bool IpAddressWidget::eventFilter(QObject* watched, QEvent* event) {
    const int index = IndexOf(watched);
    if (index >= 0 && event->type() == QEvent::ShortcutOverride) {
        // Tab, paste and the dot are the control's own, ahead of any shortcut of the window.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste) || IsFieldSeparator(*key)) {
            event->accept();
        }
    }
    if (index >= 0 && event->type() == QEvent::KeyPress &&
        OnFieldKey(index, *static_cast<QKeyEvent*>(event))) {
        return true;
    }
    if (index >= 0 && event->type() == QEvent::MouseButtonPress) {
        m_fieldEnteredByJump = -1;
    }
    return QFrame::eventFilter(watched, event);
}

void IpAddressWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const QRect inside = contentsRect();
    const int dotWidth = std::max(4, fontMetrics().horizontalAdvance(QLatin1Char('.')) + 2);
    const int fieldWidth = std::max(0, (inside.width() - 3 * dotWidth) / 4);
    int x = inside.left();
    for (int i = 0; i < kFieldCount; ++i) {
        m_fields[static_cast<std::size_t>(i)]->setGeometry(x, inside.top(), fieldWidth,
                                                           inside.height());
        x += fieldWidth;
        if (i < kFieldCount - 1) {
            m_dots[static_cast<std::size_t>(i)]->setGeometry(x, inside.top(), dotWidth,
                                                             inside.height());
            x += dotWidth;
        }
    }
}

}  // namespace ordvane::framework::detail
