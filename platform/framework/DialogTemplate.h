#pragma once
// A dialog template as data: the dialog's caption, styles, size and font, and each control's
// id, class, text, styles and rectangle in dialog units, in template (tab) order. The window
// framework builds the widgets from it; the templates themselves live in res/dialogs.

#include <span>

#include "platform/framework/WinConstants.h"

// The window classes that the templates use.
enum class ControlClass {
    Button,     // push button, check box, radio button or group box, by its BS_ style
    Static,     // text, or an icon with SS_ICON
    Edit,       // single-line edit
    ListView,   // list view (report view)
    IpAddress,  // IP-address control with four octet fields
};

struct DialogControlTemplate {
    int id;  // IDC_STATIC (-1) for controls without an id
    ControlClass windowClass;
    const char* text;  // caption; for an SS_ICON static the icon resource id as "#128"
    DWORD style;       // the complete WS_ and class styles: WS_VISIBLE for a shown control
    DWORD exStyle;
    short x;
    short y;
    short cx;
    short cy;
};

struct DialogTemplate {
    UINT id;
    const char* caption;
    DWORD style;
    DWORD exStyle;
    short cx;  // client width in dialog units
    short cy;  // client height in dialog units
    const char* fontName;
    int pointSize;
    std::span<const DialogControlTemplate> controls;
};

// Looks a template up by its resource id; nullptr when there is none. Defined with the
// templates in res/dialogs.
const DialogTemplate* FindDialogTemplate(UINT id);
// Looks a string of the string table up by its id; nullptr when there is none. Defined with the
// table in res/strings.
const char* FindStringResource(UINT id);

// Windows' MulDiv: number * numerator / denominator rounded to the nearest integer, halves away
// from zero; -1 when denominator is 0.
constexpr int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = (denominator < 0 ? -denominator : denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude = (product < 0 ? -product : product);
    const long long divisor = denominator < 0 ? -denominator : denominator;
    const long long rounded = (magnitude + half) / divisor;
    return static_cast<int>(negative ? -rounded : rounded);
}

// Dialog base units of the templates' font ("MS Sans Serif" 8 pt at 96 DPI): a dialog unit is
// a quarter of the average character width horizontally and an eighth of its height
// vertically, so the pixel figures that the templates were laid out in keep their meaning. At
// another font resolution the base units grow with the font, as the dialog manager's do, so a
// dialog keeps room for its texts.
inline constexpr int kDialogBaseUnitX = 6;
inline constexpr int kDialogBaseUnitY = 13;
inline constexpr int kDialogBaseDpi = 96;
constexpr int DialogUnitsToPixelsX(int units, int fontDpi = kDialogBaseDpi) {
    return MulDiv(units, kDialogBaseUnitX * fontDpi, 4 * kDialogBaseDpi);
}
constexpr int DialogUnitsToPixelsY(int units, int fontDpi = kDialogBaseDpi) {
    return MulDiv(units, kDialogBaseUnitY * fontDpi, 8 * kDialogBaseDpi);
}
