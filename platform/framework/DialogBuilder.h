#pragma once
// Internal: builds a dialog's window and controls from its template, and wires the controls'
// Qt signals to the window messages their parent expects (BN_CLICKED, EN_CHANGE).

#include "platform/framework/DialogTemplate.h"

class QWidget;

namespace ordvane::framework::detail {

class DialogWindow;

// The font the templates are drawn in: the desktop's nearest sans-serif at 8 points.
void ApplyDialogFont(QWidget* window, const DialogTemplate& dialogTemplate);
// Creates the controls in template order, sets the tab order and the window's client size, and
// returns the id Enter sends: the first default push button's, otherwise IDOK.
int BuildControls(DialogWindow* window, const DialogTemplate& dialogTemplate);

}  // namespace ordvane::framework::detail
