#include "scoring/ComparisonChartView.h"

#include "scoring/reports/ComparisonChart.h"
#include "scoring/reports/TextPainter.h"

#include <QPainter>

namespace {

// The chart is laid out on a fixed design in twips and the painter scales it, so the screen and paper agree.
constexpr double designWidth = 9000;
constexpr double designHeight = 3600;

} // namespace

ComparisonChartView::ComparisonChartView(QWidget* parent)
    : QWidget(parent)
{
}

void ComparisonChartView::showComparison(const std::optional<PairComparison>& comparison)
{
    m_comparison = comparison;
    update();
}

void ComparisonChartView::paintEvent(QPaintEvent*)
{
    if (!m_comparison)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(width() / designWidth, height() / designHeight);
    const Report::PageContent content
        = ComparisonChart::layOut(*m_comparison, QRectF(120, 60, designWidth - 240, designHeight - 120), palette());
    Report::TextPainter().paint(painter, content);
}
