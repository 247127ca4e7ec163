#include "platform/framework/EditCharacterLimit.h"

#include <QLineEdit>
#include <QValidator>

namespace ordvane::framework::detail {

namespace {

int CountCharacters(const QString& text) {
    int count = 0;
    for (int index = 0; index < text.size(); ++index) {
        if (!(text.at(index).isHighSurrogate() && index + 1 < text.size() &&
              text.at(index + 1).isLowSurrogate())) {
            ++count;
        }
    }
    return count;
}

// Cuts what an edit would take beyond the limit. The cursor stands right after what was just
// typed or pasted, so the characters before it are the ones that do not fit.
class CharacterLimitValidator : public QValidator {
public:
    CharacterLimitValidator(int maxCharacters, QObject* parent)
        : QValidator(parent), m_maxCharacters(maxCharacters) {}

    int MaxCharacters() const { return m_maxCharacters; }

    State validate(QString& input, int& position) const override {
        int excess = CountCharacters(input) - m_maxCharacters;
        while (excess > 0 && position > 0) {
            const bool pair = position >= 2 && input.at(position - 1).isLowSurrogate() &&
                              input.at(position - 2).isHighSurrogate();
            const int width = pair ? 2 : 1;
            input.remove(position - width, width);
            position -= width;
            --excess;
        }
        return excess > 0 ? Invalid : Acceptable;
    }

private:
    int m_maxCharacters;
};

}  // namespace

void SetEditCharacterLimit(QLineEdit* edit, int maxCharacters) {
    const int limit = maxCharacters > 0 ? maxCharacters : kDefaultEditCharacterLimit;
    const QValidator* previous = edit->validator();
    if (dynamic_cast<const CharacterLimitValidator*>(previous) != nullptr) {
        delete previous;
    }
    // A character takes at most two UTF-16 units; the validator counts the characters.
    edit->setMaxLength(limit * 2);
    edit->setValidator(new CharacterLimitValidator(limit, edit));
}

int EditCharacterLimit(const QLineEdit* edit) {
    const auto* validator = dynamic_cast<const CharacterLimitValidator*>(edit->validator());
    return validator != nullptr ? validator->MaxCharacters() : kDefaultEditCharacterLimit;
}

}  // namespace ordvane::framework::detail
