#pragma once

#include <QRect>

class QWidget;

// Window geometry is given in twips (1/1440 inch); this is the one place that turns twips into pixels,
// from the screen's logical DPI, so the layout keeps its proportions on any screen.
namespace Twips {

constexpr int PerInch = 1440;

int toPixelsX(int twips);
int toPixelsY(int twips);
int fromPixelsX(int pixels);
int fromPixelsY(int pixels);
QRect toPixels(int left, int top, int width, int height);

// Moves a control within its parent's client area.
void place(QWidget* widget, int left, int top, int width, int height);
// Moves a top-level window to a screen position given in twips, keeping its size.
void placeWindow(QWidget* window, int left, int top);

} // namespace Twips
