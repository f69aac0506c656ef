#include "scoring/ScaleColours.h"

#include <QPalette>

#include <cmath>

namespace ScaleColours {

namespace {

// Relative luminance and contrast as WCAG 2 reckons them.
double luminance(const QColor& c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a bar needs to stand out from what it is drawn on.
constexpr double kBarContrast = 3.0;

// `colour`, or the nearest step of it towards white on a dark ground (towards black on a light one) that stands out
// from `ground`: a dark theme's black frame shade would leave its bar unseen on the dark window.
QColor standingOut(const QColor& colour, const QColor& ground)
{
    if (contrast(colour, ground) >= kBarContrast)
        return colour;
    const QColor toward = luminance(ground) < 0.18 ? QColor(255, 255, 255) : QColor(0, 0, 0);
    for (int step = 1; step <= 10; ++step) {
        const auto mix = [&](int from, int to) { return from + (to - from) * step / 10; };
        const QColor mixed(mix(colour.red(), toward.red()), mix(colour.green(), toward.green()),
            mix(colour.blue(), toward.blue()));
        if (contrast(mixed, ground) >= kBarContrast)
            return mixed;
    }
    return toward;
}

QColor fromPalette(Scale scale, const QPalette& palette)
{
    switch (scale) {
    case Scale::Rezayat:
        return palette.color(QPalette::Active, QPalette::Shadow);
    case Scale::Ertebat:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case Scale::HaleT:
        return palette.color(QPalette::Active, QPalette::Mid);
    case Scale::TahrifeA:
        break;
    }
    return QColor(0, 128, 0);
}

} // namespace

QColor of(Scale scale, const QPalette& palette)
{
    return standingOut(fromPalette(scale, palette), palette.color(QPalette::Active, QPalette::Window));
}

QColor paler(const QColor& colour)
{
    // Halfway to white, so it stays the same hue on paper and on a dark screen alike.
    return QColor((colour.red() + 255) / 2, (colour.green() + 255) / 2, (colour.blue() + 255) / 2);
}

const QPalette& paper()
{
    static const QPalette palette = [] {
        QPalette p(QColor(240, 240, 240), QColor(255, 255, 255));
        p.setColor(QPalette::Highlight, QColor(0, 120, 215));
        p.setColor(QPalette::Shadow, QColor(30, 30, 30));
        p.setColor(QPalette::Mid, QColor(160, 160, 160));
        return p;
    }();
    return palette;
}

} // namespace ScaleColours
