#include "settings/ThemeConfirmation.h"

#include "data/TableCursor.h"
#include "settings/Theme.h"
#include "ui/ColumnBinding.h"
#include "ui/PictureButton.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

namespace {

constexpr int kClientWidth = 4800;
constexpr int kClientHeight = 2280;

} // namespace

ThemeConfirmation::ThemeConfirmation(Database& db, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    Kit::setUpWindow(this, QStringLiteral("Frmskin"), QStringLiteral("Skin"), kClientWidth, kClientHeight);
    setMouseTracking(true);

    m_themeRow = new TableCursor(db, QStringLiteral("Theme"), this);
    m_themeRow->setObjectName(QStringLiteral("Adodc1"));
    m_themeNumber = Kit::hiddenField(this, QStringLiteral("Text1"));

    m_done = new QLabel(this);
    m_done->setObjectName(QStringLiteral("Label3"));
    m_done->setAlignment(Qt::AlignCenter);
    QFont bold = m_done->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_done->setFont(bold);
    Twips::place(m_done, 240, 240, 4320, 600);

    const QRect place = Twips::toPixels(1620, 1080, 1560, 780);
    m_backResting = PictureButton::resting(this, QStringLiteral("k1"), PictureButton::Mark::Confirm, place);
    m_back = PictureButton::highlighted(this, QStringLiteral("k2"), PictureButton::Mark::Confirm, place);
    m_backResting->installEventFilter(this);
    connect(m_back, &QToolButton::clicked, this, &ThemeConfirmation::backToMainWindow);

    // Load: placed, the theme row read, the theme just stored applied, the news shown.
    Twips::placeWindow(this, 5000, 3500);
    ColumnBinding::of(*m_themeRow).bind(m_themeNumber, QStringLiteral("TH"));
    Theme::applyTheme(this, db, m_themeNumber->text());
    m_done->setText(QStringLiteral("تغييرات با موفقيت به پايان رسيد"));
    showRestingPicture();
}

void ThemeConfirmation::showRestingPicture()
{
    m_backResting->show();
    m_back->hide();
}

bool ThemeConfirmation::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_backResting && (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)) {
        m_backResting->hide();
        m_back->show();
    }
    return QWidget::eventFilter(watched, event);
}

void ThemeConfirmation::mouseMoveEvent(QMouseEvent* event)
{
    // Only the background: the highlighted picture passes the moves over it on to the window.
    if (!childAt(event->position().toPoint()))
        showRestingPicture();
    QWidget::mouseMoveEvent(event);
}

void ThemeConfirmation::keyPressEvent(QKeyEvent* event)
{
    // The picture answers the mouse only; Enter gives the keyboard the same way back.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        backToMainWindow();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ThemeConfirmation::backToMainWindow()
{
    emit mainWindowWanted();
    close();
}
