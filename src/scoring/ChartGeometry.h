#pragma once

#include <QList>
#include <QString>

// The drawing rule of the results chart, in twips with y growing downward: 50 twips per percent, every bar standing
// on y = 6015, just above the horizontal axis, so a bar of 100 percent reaches up to y = 1015.
//
// The chart reads right to left, as its Persian captions do: the value axis stands on the right with its scale to
// the right of it, and the bars follow the scales' order from the axis leftwards, so the first scale is the
// rightmost. Ticks are one every ten percent, each exactly where a bar of that percent ends.
namespace ChartGeometry {

constexpr int TwipsPerPercent = 50;
constexpr int BarBottom = 6015;
constexpr int MaxPercent = 100;

// The window's drawing area.
constexpr int ChartWidth = 7020;

// The vertical value axis, on the right, and the horizontal axis beneath the bars.
constexpr int AxisX = 5940;
constexpr int AxisTop = 900;
constexpr int AxisBottom = 5985;
constexpr int BaselineY = 6030;
constexpr int BaselineLeft = 540;
constexpr int BaselineRight = 5895;

// Ticks reach out from the axis to the right, towards their labels.
constexpr int TickLength = 225;
constexpr int TickStep = 10;
constexpr int TickLabelLeft = AxisX + TickLength + 30;
constexpr int TickLabelWidth = 750;
constexpr int TickLabelHeight = 330;

constexpr int BarCount = 4;
constexpr int BarWidth = 1140;
constexpr int BarPitch = 1260;
constexpr int BarGap = 180; // between the axis and the first bar

struct Bar {
    int top = BarBottom;
    int height = 0;

    friend bool operator==(const Bar&, const Bar&) = default;
};

// Where a bar of `percent` ends, and so where its tick is.
constexpr int tickY(int percent)
{
    return BarBottom - percent * TwipsPerPercent;
}

// The percents that have a tick, from the top of the scale down: 100, 90, ..., 0.
QList<int> tickPercents();

// The left edge of bar `index` (0..3 in the scales' order); the first stands next to the axis.
constexpr int barLeft(int index)
{
    return AxisX - BarGap - BarWidth - index * BarPitch;
}

// A value label after the above-100 rule: a text whose leading number exceeds 100 reads "100" (drawn as every number
// is drawn); any other text stays.
QString cappedLabel(const QString& text);

// The bar drawn for a value label: a plain decimal percent in digits of any script (blanks around it allowed), never
// taller than 100 percent. Any other text (empty, "50x", "-5", "1e3") draws an empty bar rather than keeping a height
// left from another scale.
Bar barFor(const QString& labelText);

} // namespace ChartGeometry
