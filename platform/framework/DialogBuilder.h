#pragma once
// Internal: builds a dialog's window and controls from its template, and wires the controls'
// Qt signals to the window messages their parent expects (BN_CLICKED, EN_CHANGE).

#include <QString>

#include "platform/framework/DialogTemplate.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace ordvane::framework::detail {

class DialogWindow;

// The font the templates are drawn in: the desktop's nearest sans-serif at 8 points.
void ApplyDialogFont(QWidget* window, const DialogTemplate& dialogTemplate);

// The size of the desktop's font that the templates' 8 points stand for: Qt's own default.
inline constexpr double kStandardDesktopPointSize = 9.0;
// The desktop's font size over the standard: 2 for an 18-point desktop font. The dialogs' font
// and their dialog units are scaled by it, so that everything grows with the desktop's font.
double DesktopFontScale();
// Creates the controls in template order, sets the tab order and the window's client size, and
// returns the id Enter sends: the first default push button's, otherwise IDOK.
int BuildControls(DialogWindow* window, const DialogTemplate& dialogTemplate);
// Gives a static whose template box holds one line of its font the room its whole text needs
// on that line: the template's font is narrower than any face installed here, so a tight
// static would otherwise wrap its last words out of sight. Statics of several lines keep
// wrapping inside their box. Called whenever a static's text is set.
void FitStaticToText(QLabel* label);
// Makes an edit read-only or writable, and shows which: a read-only edit is filled with the
// dialog's face colour instead of the colour of a field to type in, as the platform's is.
void SetEditReadOnly(QLineEdit* edit, bool readOnly);

// Windows draws "&x" as an underlined x and "&&" as "&": the text as shown (and read by a
// screen reader), without the marks.
QString WithoutPrefixMarks(const QString& text);

}  // namespace ordvane::framework::detail
