#include "about/AboutWindow.h"

#include "about/NoticesWindow.h"
#include "text/ShownNumbers.h"
#include "ui/ModalHold.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// Client area in twips. A wrapped credit line goes to 1500 twips above the bottom (3510), just below the visible
// part of the column, and the 600-twip steps between the lines stay as they started.
constexpr int kClientWidth = 6600;
constexpr int kClientHeight = 5010;

// The credit lines show between these two heights inside the frame: they slide in from below the wrap point and
// out under the top edge, so no line jumps in or out of sight.
constexpr int kCreditsTop = CreditScroll::WrapAtOrAbove + CreditScroll::LabelHeight;
constexpr int kCreditsBottom = kClientHeight - 1500;
constexpr int kCreditsLeft = 120;
constexpr int kCreditsWidth = 6120;

constexpr int kColourMs = 700;
constexpr int kTightenMs = 1;
constexpr int kScrollMs = 55;

QColor toColor(const CreditColours::Rgb& rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

AboutWindow::AboutWindow(const Maker::Details& maker, QWidget* parent, CreditColours::RandomSource random)
    : QDialog(parent)
    , m_sentence(CreditSentence::spreadOut(maker.programmer))
    , m_scroll(CreditScroll::lines(maker), kClientHeight)
    , m_colours(std::move(random))
{
    Kit::setUpWindow(this, QStringLiteral("FrmAbout"), QStringLiteral("about"), kClientWidth, kClientHeight);
    setModal(true);
    Kit::takeThemeColours(this, parent);

    m_aboutBox = new QGroupBox(QStringLiteral("درباره"), this);
    m_aboutBox->setObjectName(QStringLiteral("Frame1"));
    Twips::place(m_aboutBox, 120, 120, 6360, 3720);

    m_sentenceLine = new QLineEdit(m_aboutBox);
    m_sentenceLine->setObjectName(QStringLiteral("Text1"));
    // The sentence is English: it reads left to right whatever the window's direction.
    m_sentenceLine->setLayoutDirection(Qt::LeftToRight);
    m_sentenceLine->setAlignment(Qt::AlignCenter);
    m_sentenceLine->setReadOnly(true);
    m_sentenceLine->setFocusPolicy(Qt::NoFocus);
    Twips::place(m_sentenceLine, 240, 420, 5880, 435);

    m_credits = new QWidget(m_aboutBox);
    m_credits->setObjectName(QStringLiteral("Credits"));
    Twips::place(m_credits, kCreditsLeft, kCreditsTop, kCreditsWidth, kCreditsBottom - kCreditsTop);
    for (int i = 0; i < CreditScroll::LabelCount; ++i) {
        auto* label = new QLabel(m_credits);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        // The maker's details as they are set, never read as markup.
        label->setTextFormat(Qt::PlainText);
        // Every line starts at the right edge, also one that is all Latin letters (the name and version).
        label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        m_creditLabels.at(i) = label;
    }

    m_close = Kit::button(this, QStringLiteral("Command1"), QStringLiteral("خروج"), 3420, 4140, 1500, 495);
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    m_notices = Kit::button(this, QStringLiteral("CmdNotices"), QStringLiteral("مجوزها"), 1680, 4140, 1500, 495);
    connect(m_notices, &QPushButton::clicked, this, &AboutWindow::showNotices);
    setTabOrder(m_close, m_notices);

    m_colourTimer = new QTimer(this);
    m_colourTimer->setObjectName(QStringLiteral("Timer1"));
    m_colourTimer->setInterval(kColourMs);
    connect(m_colourTimer, &QTimer::timeout, this, &AboutWindow::colour);
    m_tightenTimer = new QTimer(this);
    m_tightenTimer->setObjectName(QStringLiteral("Timer3"));
    m_tightenTimer->setInterval(kTightenMs);
    m_tightenTimer->setTimerType(Qt::PreciseTimer);
    connect(m_tightenTimer, &QTimer::timeout, this, &AboutWindow::tighten);
    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setObjectName(QStringLiteral("Timer10"));
    m_scrollTimer->setInterval(kScrollMs);
    connect(m_scrollTimer, &QTimer::timeout, this, &AboutWindow::scroll);

    // Load.
    m_tightenTimer->start();
    m_sentenceLine->setText(m_sentence.text());
    m_sentenceLine->setCursorPosition(0);
    Twips::placeWindow(this, 1100, 1200);
    for (int i = 0; i < CreditScroll::LabelCount; ++i) {
        m_creditLabels.at(i)->setText(ShownNumbers::line(m_scroll.caption(i)));
        placeLabel(i);
    }
    m_colourTimer->start();
    m_scrollTimer->start();
}

void AboutWindow::placeLabel(int label)
{
    Twips::place(m_creditLabels.at(label), 0, m_scroll.top(label) - kCreditsTop, kCreditsWidth, CreditScroll::LabelHeight);
}

void AboutWindow::tighten()
{
    if (m_sentence.tick()) {
        m_sentenceLine->setText(m_sentence.text());
        m_sentenceLine->setCursorPosition(0);
    }
    // Once settled no tick can change the sentence; the 1 ms timer would only keep the processor awake.
    if (m_sentence.settled())
        m_tightenTimer->stop();
}

void AboutWindow::scroll()
{
    const int wrapped = m_scroll.tick();
    if (wrapped >= 0)
        m_creditLabels.at(wrapped)->setText(ShownNumbers::line(m_scroll.caption(wrapped)));
    for (int i = 0; i < CreditScroll::LabelCount; ++i)
        placeLabel(i);
}

void AboutWindow::colour()
{
    const CreditColours::Step step = m_colours.tick();
    // Each colour is drawn readable on the window's own background, light or dark.
    const QColor window = m_credits->palette().color(QPalette::Window);
    const CreditColours::Rgb background { window.red(), window.green(), window.blue() };
    const auto paint = [&background](QLabel* label, const CreditColours::Rgb& rgb) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, toColor(CreditColours::readableOn(rgb, background)));
        label->setPalette(palette);
    };
    paint(m_creditLabels.at(0), step.first);
    paint(m_creditLabels.at(2), step.third);
}

void AboutWindow::showNotices()
{
    NoticesWindow notices(this);
    ModalHold::exec(this, &notices);
}
