#include "scoring/ComparisonChartView.h"

#include "scoring/reports/ComparisonChart.h"
#include "scoring/reports/TextPainter.h"

#include <QPainter>

#include <algorithm>

namespace {

// The chart is laid out on a fixed design in twips and the painter scales it, so the screen and paper agree.
constexpr double designWidth = 9000;
constexpr double designHeight = 3600;

} // namespace

ComparisonChartView::ComparisonChartView(QWidget* parent)
    : QWidget(parent)
{
    // The chart follows the window's width and keeps its proportions, so its texts are never stretched.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setMinimumSize(360, 144);
}

bool ComparisonChartView::hasHeightForWidth() const
{
    return true;
}

int ComparisonChartView::heightForWidth(int width) const
{
    return static_cast<int>(width * designHeight / designWidth);
}

QSize ComparisonChartView::sizeHint() const
{
    return { 600, heightForWidth(600) };
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
    // One scale both ways, centred: a chart given more height than its width asks for is not stretched.
    const double scale = std::min(width() / designWidth, height() / designHeight);
    painter.translate((width() - designWidth * scale) / 2, (height() - designHeight * scale) / 2);
    painter.scale(scale, scale);
    const Report::PageContent content
        = ComparisonChart::layOut(*m_comparison, QRectF(120, 60, designWidth - 240, designHeight - 120), palette());
    Report::TextPainter().paint(painter, content);
}
