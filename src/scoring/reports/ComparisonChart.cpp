#include "scoring/reports/ComparisonChart.h"

#include "scoring/ChartGeometry.h"
#include "scoring/ComparisonTexts.h"
#include "scoring/PairComparison.h"
#include "scoring/ScaleColours.h"
#include "text/ShownNumbers.h"

#include <QPalette>

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

Report::PageContent ComparisonChart::layOut(
    const PairComparison& comparison, const QRectF& area, const QPalette& palette)
{
    Report::PageContent content;
    const QColor ink = palette.color(QPalette::WindowText);

    // Legend along the top, showing what the bars show: for the first code on the right, as it reads first, a swatch
    // of every scale's own colour; for the second, on the left, the same colours paler.
    const double half = area.width() / 2;
    const QRectF legendRight(area.left() + half, area.top(), half, legendHeight);
    const QRectF legendLeft(area.left(), area.top(), half, legendHeight);
    const auto legend = [&](const QRectF& rect, bool second, const QString& name) {
        const double swatch = 160;
        const double gap = 40;
        double right = rect.right() - 60;
        for (Scale scale : allScales) {
            const QColor colour = ScaleColours::of(scale, palette);
            const QRectF box(right - swatch, rect.top() + 70, swatch, swatch);
            content.shades.append({ box, second ? ScaleColours::paler(colour) : colour });
            // An outline in the scale's colour keeps a pale swatch visible, as it does a pale bar.
            content.rules.append({ QLineF(box.topLeft(), box.topRight()), 8, colour });
            content.rules.append({ QLineF(box.bottomLeft(), box.bottomRight()), 8, colour });
            content.rules.append({ QLineF(box.topLeft(), box.bottomLeft()), 8, colour });
            content.rules.append({ QLineF(box.topRight(), box.bottomRight()), 8, colour });
            right -= swatch + gap;
        }
        Report::TextStyle style = small(Qt::AlignRight | Qt::AlignVCenter);
        style.colour = ink;
        style.whole = true;
        content.texts.append({ name, ComparisonTexts::legendCaption(comparison, second),
            QRectF(rect.left() + 60, rect.top(), right - rect.left() - 100, rect.height()), style });
    };
    legend(legendRight, false, QStringLiteral("LegendFirst"));
    legend(legendLeft, true, QStringLiteral("LegendSecond"));

    // The value axis on the right with its scale beside it, as in the results chart.
    const double plotTop = area.top() + legendHeight + valueHeight;
    const double plotBottom = area.bottom() - captionHeight;
    const double plotLeft = area.left();
    const double plotRight = area.right() - axisWidth;
    const double factor = (plotBottom - plotTop) / double(ChartGeometry::MaxPercent * ChartGeometry::TwipsPerPercent);

    content.rules.append({ QLineF(plotLeft, plotBottom, plotRight, plotBottom), 12, ink });
    content.rules.append({ QLineF(plotRight, plotTop, plotRight, plotBottom), 12, ink });
    for (int percent : ChartGeometry::tickPercents()) {
        const double y = plotBottom - percent * ChartGeometry::TwipsPerPercent * factor;
        content.rules.append({ QLineF(plotRight, y, plotRight + 60, y), 10, ink });
        if (percent % 20 != 0)
            continue;
        Report::TextStyle style = small(Qt::AlignLeft | Qt::AlignVCenter);
        style.colour = ink;
        style.direction = Qt::LeftToRight;
        content.texts.append({ QStringLiteral("Axis%1").arg(percent), ShownNumbers::percent(percent),
            QRectF(plotRight + 90, y - 120, axisWidth - 90, 240), style });
    }

    const double slot = (plotRight - plotLeft) / 4;
    const double barWidth = slot * 0.3;
    int index = 0;
    for (Scale scale : allScales) {
        const double slotRight = plotRight - index * slot;
        const double centre = slotRight - slot / 2;
        const QColor colour = ScaleColours::of(scale, palette);
        const struct {
            const QString& percent;
            double left;
            QColor colour;
            const char* name;
        } pair[] = {
            { comparison.first.of(scale).percent, centre, colour, "BarFirst" },
            { comparison.second.of(scale).percent, centre - barWidth, ScaleColours::paler(colour), "BarSecond" },
        };
        for (const auto& bar : pair) {
            const ChartGeometry::Bar twips = ChartGeometry::barFor(ChartGeometry::cappedLabel(bar.percent));
            const double height = twips.height * factor;
            const QRectF rect(bar.left, plotBottom - height, barWidth, height);
            if (height > 0) {
                content.shades.append({ rect, bar.colour });
                // An outline in the scale's colour keeps a pale bar visible on paper.
                content.rules.append({ QLineF(rect.topLeft(), rect.topRight()), 8, colour });
                content.rules.append({ QLineF(rect.topLeft(), rect.bottomLeft()), 8, colour });
                content.rules.append({ QLineF(rect.topRight(), rect.bottomRight()), 8, colour });
            }
            Report::TextStyle style = small();
            style.colour = ink;
            content.texts.append({ QString::fromLatin1(bar.name) + QString::number(index),
                ShownNumbers::text(bar.percent),
                QRectF(bar.left - 120, rect.top() - valueHeight, barWidth + 240, valueHeight), style });
        }
        Report::TextStyle style = small();
        style.colour = ink;
        // A scale's name is read whole ("رضايت زناشويي"), set smaller where the slot is narrow, never cut.
        style.whole = true;
        content.texts.append({ QStringLiteral("Scale%1").arg(index), scaleInfo(scale).caption,
            QRectF(slotRight - slot, plotBottom + 30, slot, captionHeight - 30), style });
        ++index;
    }
    return content;
}
