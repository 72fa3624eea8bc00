#pragma once

#include <QFont>
#include <QString>

namespace vantor {

// The face that stands in for the windows' designed "MS Sans Serif": the
// condensed DejaVu face matches its line height and roughly its widths at the
// designed pixel sizes; plain DejaVu Sans when the condensed one is missing.
QString uiFontFamily();

// The user-interface font at a design height in pixels (a design height of
// -13 means 13 pixels; either sign is taken as that many pixels).
QFont uiFont(int pixelHeight, bool bold = false);

} // namespace vantor
