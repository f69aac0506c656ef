#pragma once

#include "scoring/PairComparison.h"

#include <QWidget>

#include <optional>

// The paired-bar chart of the comparison window: paints the same layout the comparison report prints, scaled to the
// widget. Empty until a comparison is shown.
class ComparisonChartView : public QWidget {
    Q_OBJECT
public:
    explicit ComparisonChartView(QWidget* parent = nullptr);

    void showComparison(const std::optional<PairComparison>& comparison);

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<PairComparison> m_comparison;
};
