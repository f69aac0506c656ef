#include "ui/ProgressStrip.h"

#include "ui/MessageCatalogue.h"
#include "ui/PercentProgressBar.h"

#include <QHBoxLayout>
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
    m_bar->setAlignment(Qt::AlignCenter);
    m_cancel = new QPushButton(Msg::ButtonCancel, this);
    m_cancel->setObjectName(QStringLiteral("CancelWork"));
    layout->addWidget(m_bar, 1);
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
    m_bar->setValue(0);
    m_cancel->setEnabled(true);
    show();
    raise();
}

void ProgressStrip::setPercent(int percent)
{
    m_bar->setValue(percent);
}
