#include "ui/ModuleListCopy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>
#include <vector>

#include "modlist/ColumnList.h"
#include "platform/SpreadsheetCell.h"
#include "platform/framework/CListCtrl.h"

namespace ordvane {

namespace {

// A cell as a spreadsheet may paste it: a single quote in front of one it would take for a
// formula, and control characters (a module's text comes from the network) shown as \xNN, so
// that no tab or line break splits a row and no escape reaches whatever shows the clipboard.
std::string CellText(const std::string& cell) {
    std::string text = StartsLikeFormula(cell) ? "'" : "";
    for (const char character : cell) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            text += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        } else {
            text += character;
        }
    }
    return text;
}

std::string TabLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t index = 0; index < cells.size(); ++index) {
        line += (index == 0 ? "" : "\t") + CellText(cells[index]);
    }
    return line + "\n";
}

std::vector<int> RowsToCopy(CListCtrl& list) {
    std::vector<int> rows;
    POSITION position = list.GetFirstSelectedItemPosition();
    while (position != nullptr) {
        rows.push_back(list.GetNextSelectedItem(position));
    }
    if (rows.empty()) {
        for (int row = 0; row < list.GetItemCount(); ++row) {
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace

std::string ModuleListCopyText(CListCtrl& list, const char* columnList) {
    list.FlushPendingChanges();
    std::vector<std::string> headings;
    for (const ColumnDefinition& column : ParseColumnList(columnList)) {
        headings.push_back(column.heading);
    }
    std::string text = TabLine(headings);
    for (const int row : RowsToCopy(list)) {
        std::vector<std::string> cells;
        for (std::size_t column = 0; column < headings.size(); ++column) {
            cells.push_back(list.GetItemText(row, static_cast<int>(column)).Str());
        }
        text += TabLine(cells);
    }
    return text;
}

void InstallModuleListCopy(CListCtrl& list, const char* columnList) {
    QWidget* widget = list.GetWidget();
    if (widget == nullptr) {
        return;
    }
    // Anywhere in the window; a focused edit with text of its own still takes the keys first.
    auto* shortcut = new QShortcut(QKeySequence::Copy, widget);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, widget,
                     [&list, columnList] { CopyModuleList(list, columnList); });
}

void CopyModuleList(CListCtrl& list, const char* columnList) {
    QGuiApplication::clipboard()->setText(
        QString::fromStdString(ModuleListCopyText(list, columnList)));
}

}  // namespace ordvane
