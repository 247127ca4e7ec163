#include "platform/framework/Translate.h"

#include <QCoreApplication>
#include <QString>

namespace ordvane {

CString translate(const char* context, const char* sourceText, const char* disambiguation, int n) {
    return CString(
        QCoreApplication::translate(context, sourceText, disambiguation, n).toUtf8().toStdString());
}

CString FillIn(const CString& text, std::initializer_list<std::string_view> values) {
    QString filled =
        QString::fromUtf8(text.Str().data(), static_cast<qsizetype>(text.Str().size()));
    for (std::string_view value : values) {
        filled = filled.arg(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    }
    return CString(filled.toUtf8().toStdString());
}

}  // namespace ordvane
