#pragma once
// Internal: the widget of the IP-address control: four octet fields separated by dots inside one
// frame, behaving as the platform's control does. Each field is blank or holds 0 to 255: a
// larger number is replaced by 255 with a message naming the allowed range. Three digits move
// on to the next field, and a dot typed right after that jump is swallowed, so typing a dotted
// address gives exactly that address. A dot in a field that has digits moves on as well. The
// whole control is one tab stop, and pasting a dotted address fills all four fields.

#include <QFrame>
#include <array>
#include <optional>

class QKeyEvent;
class QLineEdit;
class QLabel;

namespace ordvane::framework::detail {

class IpAddressWidget : public QFrame {
public:
    static constexpr int kFieldCount = 4;
    static constexpr int kHighestValue = 255;

    explicit IpAddressWidget(QWidget* parent);

    // The field's value; nothing for a blank field.
    std::optional<int> Field(int index) const;
    void SetField(int index, std::optional<int> value);
    QLineEdit* FieldEdit(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }

    // Names the four edits for screen readers after the control's label: "IP address", part 1
    // of 4, and so on.
    void NameParts(const QString& name);

    // "300 is not a valid entry. Please specify a value between 0 and 255."
    static QString RangeMessage(int typed);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int IndexOf(const QObject* field) const;
    // Handles a key pressed in field index; true when the key is used up.
    bool OnFieldKey(int index, const QKeyEvent& key);
    void OnFieldEdited(int index);
    // Puts 255 in a field that holds more, says so, and leaves the field selected.
    bool ClampField(int index);
    void FocusField(int index, bool selectAll);
    // Moves the focus to the next (or previous) tab stop outside this control.
    void LeaveControl(bool forward);
    // Fills the four fields from a dotted address on the clipboard; false when it holds none.
    bool PasteAddress();

    std::array<QLineEdit*, kFieldCount> m_fields{};
    std::array<QLabel*, kFieldCount - 1> m_dots{};
    // The field the focus was moved to after three digits, until another key is pressed there.
    int m_fieldEnteredByJump = -1;
};

}  // namespace ordvane::framework::detail
