#include "ui/MainWindowSettings.h"

#include <QSettings>
#include <QStringList>

namespace ordvane {
namespace {

QSettings OpenSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ordvane"),
                     QStringLiteral("ordvane"));
}

const QString kColumnWidths = QStringLiteral("table/columnWidths");
const QString kSortColumn = QStringLiteral("table/sortColumn");
const QString kSortAscending = QStringLiteral("table/sortAscending");
const QString kGeometry = QStringLiteral("window/geometry");

}  // namespace

MainWindowSettings LoadMainWindowSettings(int columnCount) {
    const QSettings settings = OpenSettings();
    MainWindowSettings loaded;
    const QStringList widths = settings.value(kColumnWidths).toString().split(QLatin1Char(','));
    if (widths.size() == columnCount) {
        for (const QString& text : widths) {
            bool number = false;
            const int width = text.toInt(&number);
            if (!number || width < 0 || width > kWidestKeptColumn) {
                loaded.columnWidths.clear();
                break;
            }
            loaded.columnWidths.push_back(width);
        }
    }
    bool number = false;
    const int sortColumn = settings.value(kSortColumn).toString().toInt(&number);
    if (number && sortColumn >= 0 && sortColumn < columnCount) {
        loaded.sortColumn = sortColumn;
        loaded.sortAscending = settings.value(kSortAscending, true).toBool();
    }
    loaded.geometry = settings.value(kGeometry).toByteArray();
    return loaded;
}

void SaveMainWindowSettings(const MainWindowSettings& kept) {
    QSettings settings = OpenSettings();
    QStringList widths;
    for (int width : kept.columnWidths) {
        widths << QString::number(width);
    }
    settings.setValue(kColumnWidths, widths.join(QLatin1Char(',')));
    if (kept.sortColumn) {
        settings.setValue(kSortColumn, *kept.sortColumn);
        settings.setValue(kSortAscending, kept.sortAscending);
    }
    settings.setValue(kGeometry, kept.geometry);
}

void ClearMainWindowSettings() {
    OpenSettings().clear();
}

}  // namespace ordvane
