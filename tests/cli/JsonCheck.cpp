#include "tests/cli/JsonCheck.h"

#include <cstring>

namespace ordvane::testing {

namespace {

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    bool Document() {
        SkipBlanks();
        if (!Value(0)) {
            return false;
        }
        SkipBlanks();
        return m_position == m_text.size();
    }

private:
    static constexpr int kDeepest = 64;

    bool AtEnd() const { return m_position >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_position]; }

    void SkipBlanks() {
        while (!AtEnd() && std::strchr(" \t\r\n", Peek()) != nullptr) {
            ++m_position;
        }
    }

    bool Take(char expected) {
        SkipBlanks();
        if (Peek() != expected) {
            return false;
        }
        ++m_position;
        return true;
    }

    bool Word(std::string_view word) {
        if (m_text.substr(m_position, word.size()) != word) {
            return false;
        }
        m_position += word.size();
        return true;
    }

    bool Digits() {
        const std::size_t start = m_position;
        while (Peek() >= '0' && Peek() <= '9') {
            ++m_position;
        }
        return m_position > start;
    }

    bool Number() {
        Take('-');
        if (!Take('0') && !Digits()) {
            return false;
        }
        if (Peek() == '.' && (++m_position, !Digits())) {
            return false;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++m_position;
            if (Peek() == '+' || Peek() == '-') {
                ++m_position;
            }
            return Digits();
        }
        return true;
    }

    bool String() {
        if (!Take('"')) {
            return false;
        }
        while (!AtEnd()) {
            const unsigned char character = static_cast<unsigned char>(m_text[m_position++]);
            if (character == '"') {
                return true;
            }
            if (character < 0x20) {
                return false;
            }
            if (character == '\\') {
                const char escaped = Peek();
                ++m_position;
                if (escaped == 'u') {
                    for (int digit = 0; digit < 4; ++digit, ++m_position) {
                        if (std::strchr("0123456789abcdefABCDEF", Peek()) == nullptr ||
                            Peek() == '\0') {
                            return false;
                        }
                    }
                } else if (std::strchr("\"\\/bfnrt", escaped) == nullptr || escaped == '\0') {
                    return false;
                }
            }
        }
        return false;
    }

    template <typename Member>
    bool Sequence(char close, int depth, Member member) {
        if (Take(close)) {
            return true;
        }
        do {
            if (!member(depth + 1)) {
                return false;
            }
        } while (Take(','));
        return Take(close);
    }

    bool Value(int depth) {
        if (depth > kDeepest) {
            return false;
        }
        SkipBlanks();
        switch (Peek()) {
            case '{':
                ++m_position;
                return Sequence('}', depth, [this](int inner) {
                    SkipBlanks();
                    return String() && Take(':') && Value(inner);
                });
            case '[':
                ++m_position;
                return Sequence(']', depth, [this](int inner) { return Value(inner); });
            case '"':
                return String();
            case 't':
                return Word("true");
            case 'f':
                return Word("false");
            case 'n':
                return Word("null");
            default:
                return Number();
        }
    }

    std::string_view m_text;
    std::size_t m_position = 0;
};

}  // namespace

bool IsValidJson(std::string_view text) {
    return JsonReader(text).Document();
}

}  // namespace ordvane::testing
