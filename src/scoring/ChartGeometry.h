#pragma once

#include <QString>

// The drawing rule of the results chart, in twips with y growing downward: 50 twips per percent, every bar standing
// on y = 6015, just above the horizontal axis, so a bar of 100 percent reaches up to y = 1015.
namespace ChartGeometry {

constexpr int TwipsPerPercent = 50;
constexpr int BarBottom = 6015;
constexpr int MaxPercent = 100;

struct Bar {
    int top = BarBottom;
    int height = 0;

    friend bool operator==(const Bar&, const Bar&) = default;
};

// A value label after the above-100 rule: a text whose leading number exceeds 100 reads "100"; any other text stays.
QString cappedLabel(const QString& text);

// The bar drawn for a value label: a plain decimal percent (blanks around it allowed), never taller than 100 percent.
// Any other text (empty, "50x", "-5", "1e3") draws an empty bar rather than keeping a height left from another scale.
Bar barFor(const QString& labelText);

} // namespace ChartGeometry
