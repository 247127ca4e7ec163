#pragma once
// Internal: the widget of the IP-address control: four octet fields separated by dots inside one
// frame. Each field is blank or holds 0 to 255; typing a larger number puts 255 there, typing
// three digits or a dot moves on to the next field.

#include <QFrame>
#include <array>
#include <optional>

class QLineEdit;
class QLabel;

namespace ordvane::framework::detail {

class IpAddressWidget : public QFrame {
public:
    explicit IpAddressWidget(QWidget* parent);

    // The field's value; nothing for a blank field.
    std::optional<int> Field(int index) const;
    void SetField(int index, std::optional<int> value);
    QLineEdit* FieldEdit(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnFieldEdited(int index);

    std::array<QLineEdit*, 4> m_fields{};
    std::array<QLabel*, 3> m_dots{};
};

}  // namespace ordvane::framework::detail
