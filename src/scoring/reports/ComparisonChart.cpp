#include "scoring/reports/ComparisonChart.h"

#include "scoring/ChartGeometry.h"
#include "scoring/PairComparison.h"
#include "text/ShownNumbers.h"

namespace {

constexpr double legendHeight = 300;
constexpr double captionHeight = 300;
constexpr double valueHeight = 240;
constexpr double axisWidth = 480;

Report::TextStyle small(Qt::Alignment alignment = Qt::AlignCenter)
{
    Report::TextStyle style;
    style.size = 150;
    style.alignment = alignment;
    return style;
}

} // namespace

QColor ComparisonChart::firstColour()
{
    return QColor(0x2f, 0x6d, 0xb5);
}

QColor ComparisonChart::secondColour()
{
    return QColor(0xe0, 0x8a, 0x1e);
}

Report::PageContent ComparisonChart::layOut(const PairComparison& comparison, const QRectF& area)
{
    Report::PageContent content;

    // Legend along the top: the first code on the right, as it reads first.
    const double half = area.width() / 2;
    const QRectF legendRight(area.left() + half, area.top(), half, legendHeight);
    const QRectF legendLeft(area.left(), area.top(), half, legendHeight);
    const auto legend = [&content](const QRectF& rect, const QColor& colour, const QString& code, const QString& name) {
        const double swatch = 180;
        content.shades.append({ QRectF(rect.right() - swatch - 60, rect.top() + 60, swatch, swatch), colour });
        content.texts.append({ name, code, QRectF(rect.left(), rect.top(), rect.width() - swatch - 180, rect.height()),
            small(Qt::AlignRight | Qt::AlignVCenter) });
    };
    legend(legendRight, firstColour(), comparison.first.code, QStringLiteral("LegendFirst"));
    legend(legendLeft, secondColour(), comparison.second.code, QStringLiteral("LegendSecond"));

    const double plotTop = area.top() + legendHeight + valueHeight;
    const double plotBottom = area.bottom() - captionHeight;
    const double plotLeft = area.left() + axisWidth;
    const double plotRight = area.right();
    const double factor = (plotBottom - plotTop) / double(ChartGeometry::MaxPercent * ChartGeometry::TwipsPerPercent);

    // Axes and the 0, 50 and 100 marks.
    content.rules.append({ QLineF(plotLeft, plotBottom, plotRight, plotBottom), 12 });
    content.rules.append({ QLineF(plotLeft, plotTop, plotLeft, plotBottom), 12 });
    for (int percent : { 0, 50, 100 }) {
        const double y = plotBottom - percent * ChartGeometry::TwipsPerPercent * factor;
        content.rules.append({ QLineF(plotLeft - 60, y, plotLeft, y), 10 });
        content.texts.append({ QStringLiteral("Axis%1").arg(percent), ShownNumbers::number(percent),
            QRectF(area.left(), y - 120, axisWidth - 90, 240), small(Qt::AlignRight | Qt::AlignVCenter) });
    }

    const double slot = (plotRight - plotLeft) / 4;
    const double barWidth = slot * 0.3;
    int index = 0;
    for (Scale scale : allScales) {
        const double slotRight = plotRight - index * slot;
        const double centre = slotRight - slot / 2;
        const struct {
            const QString& percent;
            double left;
            QColor colour;
            const char* name;
        } pair[] = {
            { comparison.first.of(scale).percent, centre, firstColour(), "BarFirst" },
            { comparison.second.of(scale).percent, centre - barWidth, secondColour(), "BarSecond" },
        };
        for (const auto& bar : pair) {
            const ChartGeometry::Bar twips = ChartGeometry::barFor(ChartGeometry::cappedLabel(bar.percent));
            const double height = twips.height * factor;
            const QRectF rect(bar.left, plotBottom - height, barWidth, height);
            if (height > 0)
                content.shades.append({ rect, bar.colour });
            content.texts.append({ QString::fromLatin1(bar.name) + QString::number(index), ShownNumbers::text(bar.percent),
                QRectF(bar.left - 120, rect.top() - valueHeight, barWidth + 240, valueHeight), small() });
        }
        content.texts.append({ QStringLiteral("Scale%1").arg(index), scaleInfo(scale).caption,
            QRectF(slotRight - slot, plotBottom + 30, slot, captionHeight - 30), small() });
        ++index;
    }
    return content;
}
