#pragma once
// What the main window keeps between runs: the table's column widths, its sort column and
// direction, and the window's place and size. Kept with QSettings in the user's configuration
// folder ($XDG_CONFIG_HOME/ordvane/ordvane.conf); what is read there is checked, and a value
// out of range is ignored.

#include <QByteArray>
#include <optional>
#include <vector>

namespace ordvane {

struct MainWindowSettings {
    std::vector<int> columnWidths;  // pixels, one per column; empty when none are kept
    std::optional<int> sortColumn;
    bool sortAscending = true;
    QByteArray geometry;  // QWidget::saveGeometry; empty when none is kept
};

// Widths beyond this many pixels are not taken from the file.
inline constexpr int kWidestKeptColumn = 4000;

// The kept settings for a table of columnCount columns.
MainWindowSettings LoadMainWindowSettings(int columnCount);
void SaveMainWindowSettings(const MainWindowSettings& settings);
// Forgets everything kept (for a fresh start, and for tests).
void ClearMainWindowSettings();

}  // namespace ordvane
