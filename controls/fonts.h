#pragma once

#include <QFont>
#include <QString>

namespace vantor {

// The face that stands in for the windows' "MS Sans Serif": the condensed
// DejaVu face matches its line height and roughly its widths at the pixel
// sizes the windows use; plain DejaVu Sans when the condensed one is missing.
QString uiFontFamily();

// The user-interface font at a height in pixels (-13 means 13 pixels; either
// sign is taken as that many pixels).
QFont uiFont(int pixelHeight, bool bold = false);

} // namespace vantor
