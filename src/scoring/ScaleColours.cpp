#include "scoring/ScaleColours.h"

#include <QPalette>

namespace ScaleColours {

QColor of(Scale scale, const QPalette& palette)
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
