#include "ui/ProgressStrip.h"

#include "ui/MessageCatalogue.h"
#include "ui/PercentProgressBar.h"
#include "text/ShownNumbers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ProgressStrip::ProgressStrip(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("WorkProgress"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bar = new PercentProgressBar(this);
    m_bar->setObjectName(QStringLiteral("WorkPercent"));
    m_bar->setRange(0, 100);
    // The percent in a label of its own: a bar filling from the right, as in a right-to-left window, draws no text
    // of its own in Qt's plain style.
    m_bar->setTextVisible(false);
    m_percent = new QLabel(this);
    m_percent->setObjectName(QStringLiteral("WorkPercentShown"));
    m_percent->setAlignment(Qt::AlignCenter);
    m_percent->setMinimumWidth(m_percent->fontMetrics().horizontalAdvance(ShownNumbers::percent(100)) + 8);
    m_cancel = new QPushButton(Msg::ButtonCancel, this);
    m_cancel->setObjectName(QStringLiteral("CancelWork"));
    layout->addWidget(m_bar, 1);
    layout->addWidget(m_percent);
    layout->addWidget(m_cancel);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        // Stopping takes until the work's next batch: the button says it was heard.
        m_cancel->setEnabled(false);
        emit cancelRequested();
    });
    hide();
}

void ProgressStrip::start()
{
    setPercent(0);
    m_cancel->setEnabled(true);
    show();
    raise();
}

void ProgressStrip::setPercent(int percent)
{
    m_bar->setValue(percent);
    m_percent->setText(ShownNumbers::percent(percent));
}
