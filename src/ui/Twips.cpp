#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

double dpiX()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double dpiY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

int convert(double value, double from, double to)
{
    return static_cast<int>(std::lround(value * to / from));
}

} // namespace

namespace Twips {

int toPixelsX(int twips) { return convert(twips, PerInch, dpiX()); }
int toPixelsY(int twips) { return convert(twips, PerInch, dpiY()); }
int fromPixelsX(int pixels) { return convert(pixels, dpiX(), PerInch); }
int fromPixelsY(int pixels) { return convert(pixels, dpiY(), PerInch); }

QRect toPixels(int left, int top, int width, int height)
{
    return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(toPixels(left, top, width, height));
}

void placeWindow(QWidget* window, int left, int top)
{
    window->move(toPixelsX(left), toPixelsY(top));
}

} // namespace Twips
