#pragma once

#include "scoring/reports/PageContent.h"

#include <QColor>
#include <QPalette>
#include <QRectF>

struct PairComparison;

// The paired-bar chart of a comparison, laid out in twips inside `area`: per scale, right to left in the scales'
// order, the first examinee's percent bar on the right and the second's on its left, each as high as the results
// chart's own rule draws it (scaled to the area), with the percent above each bar, the scale's name below, the value
// axis and its percent scale on the right, and a legend showing each code with the four scales' colours as its bars
// have them. Each scale has its colour (ScaleColours) in `palette`: full for the first examinee, paler for the second.
// The comparison window paints it on screen in its theme and the report on paper.
namespace ComparisonChart {

Report::PageContent layOut(const PairComparison& comparison, const QRectF& area, const QPalette& palette);

} // namespace ComparisonChart
