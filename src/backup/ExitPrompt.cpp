#include "backup/ExitPrompt.h"

#include "ui/PictureButton.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kBlinkMs = 500;

} // namespace

const QString& ExitPrompt::firstTitle()
{
    static const QString text = QStringLiteral(" تهيه نسخه پشتيبان");
    return text;
}

const QString& ExitPrompt::secondTitle()
{
    static const QString text = QStringLiteral("پشتيبان گيري");
    return text;
}

ExitPrompt::ExitPrompt(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ExitPrompt"));
    setTitle(QStringLiteral("تهيه نسخه پشتيبان"));
    setFixedSize(Twips::toPixelsX(4800), Twips::toPixelsY(2160));
    setMouseTracking(true);

    m_question = new QLabel(QStringLiteral("آيا براي خروج از برنامه اطمينان داريد"), this);
    m_question->setObjectName(QStringLiteral("Label1"));
    m_question->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    Twips::place(m_question, 240, 180, 4320, 420);

    m_backup = new QCheckBox(QStringLiteral("تهيه نسخه پشتيبان"), this);
    m_backup->setObjectName(QStringLiteral("Check1"));
    m_backup->setChecked(false);
    Twips::place(m_backup, 240, 660, 4320, 420);

    // Confirm on the reading side (right), cancel on the left.
    const QRect confirmPlace = Twips::toPixels(2760, 1260, 1560, 660);
    const QRect cancelPlace = Twips::toPixels(480, 1260, 1560, 660);
    using PictureButton::Mark;
    m_confirmResting = PictureButton::resting(this, QStringLiteral("k1"), Mark::Confirm, confirmPlace);
    m_confirm = PictureButton::highlighted(this, QStringLiteral("k2"), Mark::Confirm, confirmPlace);
    m_cancelResting = PictureButton::resting(this, QStringLiteral("C1"), Mark::Cancel, cancelPlace);
    m_cancel = PictureButton::highlighted(this, QStringLiteral("C2"), Mark::Cancel, cancelPlace);
    m_confirmResting->installEventFilter(this);
    m_cancelResting->installEventFilter(this);
    connect(m_confirm, &QToolButton::clicked, this, &ExitPrompt::confirm);
    connect(m_cancel, &QToolButton::clicked, this, &ExitPrompt::cancel);

    // Window load: placed here, and placed again by whoever opens it.
    Twips::placeWindow(this, 5000, 4500);
    showRestingPictures();

    m_firstTitleTimer = new QTimer(this);
    m_firstTitleTimer->setObjectName(QStringLiteral("Timer2"));
    m_secondTitleTimer = new QTimer(this);
    m_secondTitleTimer->setObjectName(QStringLiteral("Timer3"));
    m_captionTimer = new QTimer(this);
    m_captionTimer->setObjectName(QStringLiteral("tmCaptionAnimate"));
    for (QTimer* t : {m_firstTitleTimer, m_secondTitleTimer, m_captionTimer})
        t->setInterval(kBlinkMs);
    // Each blink timer hands over to the other, so the two titles alternate every half-second.
    connect(m_firstTitleTimer, &QTimer::timeout, this, [this] {
        setTitle(firstTitle());
        m_secondTitleTimer->start();
        m_firstTitleTimer->stop();
    });
    connect(m_secondTitleTimer, &QTimer::timeout, this, [this] {
        setTitle(secondTitle());
        m_firstTitleTimer->start();
        m_secondTitleTimer->stop();
    });
    connect(m_captionTimer, &QTimer::timeout, this, [this] { m_backup->setText(m_title); });
    m_firstTitleTimer->start();
    m_secondTitleTimer->start();
    m_captionTimer->start();
}

void ExitPrompt::setTitle(const QString& title)
{
    m_title = title;
    setWindowTitle(title);
}

void ExitPrompt::showRestingPictures()
{
    m_cancelResting->show();
    m_confirmResting->show();
    m_cancel->hide();
    m_confirm->hide();
}

bool ExitPrompt::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        if (watched == m_confirmResting) {
            m_confirmResting->hide();
            m_confirm->show();
        } else if (watched == m_cancelResting) {
            m_cancelResting->hide();
            m_cancel->show();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ExitPrompt::mouseMoveEvent(QMouseEvent* event)
{
    // Only the background: a highlighted picture passes the moves over it on to the window.
    if (!childAt(event->position().toPoint()))
        showRestingPictures();
    QWidget::mouseMoveEvent(event);
}

void ExitPrompt::keyPressEvent(QKeyEvent* event)
{
    // The pictures answer the mouse only; Enter and Escape give the keyboard the same two choices.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm();
        return;
    case Qt::Key_Escape:
        cancel();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ExitPrompt::confirm()
{
    const bool ticked = m_backup->isChecked();
    emit confirmed(ticked);
    if (ticked)
        hide();
}

void ExitPrompt::cancel()
{
    emit cancelled();
    close();
}
