#pragma once

#include <QString>

class QWidget;

// The theme every skinned window applies when it loads: the theme number comes from the `TH` text of the single
// `Theme` row, read by the leading-number rule; only a whole 1..11 names a skin, anything else loads none.
namespace Theme {

constexpr int Count = 11;

// 1..11 for a text that names a theme, 0 otherwise ("1", "1.0" and " 1" name theme 1; "1.5", "0", "12", "" none).
int themeNumber(const QString& thText);

// The skin file of a theme, "" for 0 or a number outside 1..11.
QString skinFile(int theme);

// Applies the theme named by `thText` to a window that is loading; the window remembers the theme it was
// painted with in its "appliedTheme" property (0 when the text names none).
void applyTheme(QWidget* window, const QString& thText);

} // namespace Theme
