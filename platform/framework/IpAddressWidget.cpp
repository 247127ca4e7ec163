#include "platform/framework/IpAddressWidget.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace ordvane::framework::detail {

IpAddressWidget::IpAddressWidget(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(3);
        field->setValidator(digits);
        field->setObjectName(QStringLiteral("field%1").arg(i));
        field->installEventFilter(this);
        QObject::connect(field, &QLineEdit::textEdited, this, [this, i]() { OnFieldEdited(i); });
        m_fields[static_cast<std::size_t>(i)] = field;
        if (i < 3) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            m_dots[static_cast<std::size_t>(i)] = dot;
        }
    }
    setFocusProxy(m_fields[0]);
}

std::optional<int> IpAddressWidget::Field(int index) const {
    const QString text = FieldEdit(index)->text();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return std::min(text.toInt(), 255);
}

void IpAddressWidget::SetField(int index, std::optional<int> value) {
    FieldEdit(index)->setText(value.has_value() ? QString::number(std::clamp(*value, 0, 255))
                                                : QString());
}

void IpAddressWidget::OnFieldEdited(int index) {
    QLineEdit* field = FieldEdit(index);
    if (!field->text().isEmpty() && field->text().toInt() > 255) {
        field->setText(QStringLiteral("255"));
    }
    if (field->text().size() == 3 && index < 3) {
        FieldEdit(index + 1)->setFocus();
        FieldEdit(index + 1)->selectAll();
    }
}

bool IpAddressWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        for (int i = 0; i < 3; ++i) {
            if (watched == m_fields[static_cast<std::size_t>(i)] && key->key() == Qt::Key_Period) {
                FieldEdit(i + 1)->setFocus();
                FieldEdit(i + 1)->selectAll();
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void IpAddressWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const QRect inside = contentsRect();
    const int dotWidth = std::max(4, fontMetrics().horizontalAdvance(QLatin1Char('.')) + 2);
    const int fieldWidth = std::max(0, (inside.width() - 3 * dotWidth) / 4);
    int x = inside.left();
    for (int i = 0; i < 4; ++i) {
        m_fields[static_cast<std::size_t>(i)]->setGeometry(x, inside.top(), fieldWidth,
                                                           inside.height());
        x += fieldWidth;
        if (i < 3) {
            m_dots[static_cast<std::size_t>(i)]->setGeometry(x, inside.top(), dotWidth,
                                                             inside.height());
            x += dotWidth;
        }
    }
}

}  // namespace ordvane::framework::detail
