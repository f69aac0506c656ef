#pragma once

#include <QProgressBar>

// A progress bar whose percent is drawn as every number is drawn (ShownNumbers), not by the widget's locale.
class PercentProgressBar : public QProgressBar {
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;

    QString text() const override;
};
