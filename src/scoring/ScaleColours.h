#pragma once

#include "scoring/Scales.h"

#include <QColor>

class QPalette;

// The one colour of each scale wherever the scales are drawn side by side: the results chart, the comparison chart on
// screen and on paper. Taken from the palette the drawing is in, so a bar follows the applied theme: the active title
// bar's colour (the darkest frame shade stands for it), the selected items' colour, the scroll bars' (the mid shade,
// which styles give scroll-bar grooves), then green; each made lighter on a dark window (darker on a light one) where
// it would not stand out from the window's colour.
namespace ScaleColours {

QColor of(Scale scale, const QPalette& palette);

// The same scale's colour, paler, for a second examinee's bar beside the first's.
QColor paler(const QColor& colour);

// The palette a printed page is drawn in: a light one whatever the screen's theme, as paper is white.
const QPalette& paper();

} // namespace ScaleColours
