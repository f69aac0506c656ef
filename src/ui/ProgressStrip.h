#pragma once

#include <QWidget>

class PercentProgressBar;
class QLabel;
class QPushButton;

// How far long work on a worker thread has come, and the button that stops it: what a window shows in place of its
// own controls while the work runs. The work itself is the window's session's; the strip only shows it.
class ProgressStrip : public QWidget {
    Q_OBJECT
public:
    explicit ProgressStrip(QWidget* parent = nullptr);

    // Shown from nothing done, with its button ready again.
    void start();
    PercentProgressBar* bar() const { return m_bar; }
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void setPercent(int percent);

signals:
    // The operator asked the work to stop (once per start).
    void cancelRequested();

private:
    PercentProgressBar* m_bar = nullptr;
    QLabel* m_percent = nullptr;
    QPushButton* m_cancel = nullptr;
};
