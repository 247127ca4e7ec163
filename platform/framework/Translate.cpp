#include "platform/framework/Translate.h"

#include <QCoreApplication>
#include <QString>
#include <string>
#include <utility>

namespace ordvane {

CString translate(const char* context, const char* sourceText, const char* disambiguation, int n) {
    return CString(
        QCoreApplication::translate(context, sourceText, disambiguation, n).toUtf8().toStdString());
}

CString FillIn(const CString& text, std::initializer_list<std::string_view> values) {
    // One pass over the text, so that a value which itself holds "%2" (an interface's name, a
    // module's text) is shown as it is instead of being filled in again.
    const std::string& source = text.Str();
    const std::string_view* first = values.begin();
    std::string filled;
    filled.reserve(source.size());
    for (std::size_t at = 0; at < source.size(); ++at) {
        const auto digit = [&source](std::size_t position) {
            return position < source.size() && source[position] >= '0' && source[position] <= '9'
                       ? source[position] - '0'
                       : -1;
        };
        if (source[at] == '%' && digit(at + 1) > 0) {
            // %1 to %99, as the translation tools number them.
            std::size_t number = static_cast<std::size_t>(digit(at + 1));
            std::size_t length = 2;
            if (digit(at + 2) >= 0 &&
                number * 10 + static_cast<std::size_t>(digit(at + 2)) <= values.size()) {
                number = number * 10 + static_cast<std::size_t>(digit(at + 2));
                length = 3;
            }
            if (number <= values.size()) {
                filled += first[number - 1];
                at += length - 1;
                continue;
            }
        }
        filled += source[at];
    }
    return CString(std::move(filled));
}

}  // namespace ordvane
