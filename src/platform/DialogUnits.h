#pragma once

#include <QFont>
#include <QRect>

// Dialog units. The horizontal base unit is the average width of the 52 Latin
// letters in the dialog font, the vertical one the font's height; a dialog
// unit is a quarter of the first and an eighth of the second.

struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// The font dialog templates are laid out with here: the application's default
// family at `pointSize` points, whatever face the template names.
QFont DialogFont(int pointSize);

DialogBaseUnits DialogBaseUnitsForFont(const QFont& font);

// Pixels of `dlu` dialog units, rounded to the nearest pixel.
int DialogUnitsToPixelsX(int dlu, DialogBaseUnits units);
int DialogUnitsToPixelsY(int dlu, DialogBaseUnits units);

// Maps the corners of a rectangle in dialog units, so that controls that touch
// in the template still touch in pixels.
QRect MapDialogRect(const QRect& dluRect, DialogBaseUnits units);
