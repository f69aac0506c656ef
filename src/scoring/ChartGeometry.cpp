#include "scoring/ChartGeometry.h"

#include "text/Digits.h"
#include "text/ShownNumbers.h"
#include "ui/LeadingNumber.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace ChartGeometry {

QList<int> tickPercents()
{
    QList<int> percents;
    for (int percent = MaxPercent; percent >= 0; percent -= TickStep)
        percents << percent;
    return percents;
}

QString cappedLabel(const QString& text)
{
    return leadingNumber(text) > MaxPercent ? ShownNumbers::number(MaxPercent) : text;
}

Bar barFor(const QString& shownText)
{
    const QString labelText = Digits::toAscii(shownText);
    static const QRegularExpression plainDecimal(QStringLiteral("^ *[0-9]+(\\.[0-9]+)? *$"));
    if (!plainDecimal.match(labelText).hasMatch())
        return {};
    const double percent = std::min<double>(labelText.trimmed().toDouble(), MaxPercent);
    const int height = static_cast<int>(std::lround(percent * TwipsPerPercent));
    // The top is 6000 - (height - 15), which keeps the bottom edge on BarBottom.
    return {BarBottom - height, height};
}

} // namespace ChartGeometry
