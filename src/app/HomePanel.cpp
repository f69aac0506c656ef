#include "app/HomePanel.h"


#include "calendar/SolarHijri.h"
#include "data/HomeFigures.h"
#include "data/Invitations.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"

#include <QDateTime>
#include <QEvent>
#include <QSet>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A date as stored, and a count, drawn for a person the one way the program draws numbers.
QString shown(const QString& text)
{
    return ShownNumbers::text(text);
}

QString shown(int n)
{
    return ShownNumbers::number(n);
}

constexpr int kStatusMilliseconds = 6000;
constexpr int kInvitationMilliseconds = 5000;

QLabel* line(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    return label;
}

} // namespace

HomePanel::HomePanel(Database& db, HomeFigures::Reader& figures, QWidget* parent)
    : QFrame(parent)
    , m_db(db)
    , m_figures(figures)
{
    setObjectName(QStringLiteral("HomePanel"));
    setFrameShape(QFrame::StyledPanel);

    m_name = line(this, QStringLiteral("HomeClinicName"));
    QFont big = m_name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.2);
    m_name->setFont(big);
    m_address = line(this, QStringLiteral("HomeClinicAddress"));
    m_today = line(this, QStringLiteral("HomeToday"));
    m_registered = line(this, QStringLiteral("HomeRegistered"));
    m_answered = line(this, QStringLiteral("HomeAnswered"));

    auto* recentTitle = line(this, QString());
    recentTitle->setText(Msg::HomeRecentTitle);
    QFont bold = recentTitle->font();
    bold.setBold(true);
    recentTitle->setFont(bold);
    m_recent = new QTableWidget(0, 3, this);
    m_recent->setObjectName(QStringLiteral("HomeRecent"));
    m_recent->setAccessibleName(Msg::HomeRecentTitle);
    m_recent->setHorizontalHeaderLabels({ Msg::HomeRecentCode, Msg::HomeRecentName, Msg::HomeRecentDate });
    m_recent->verticalHeader()->hide();
    m_recent->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_recent->setSelectionMode(QAbstractItemView::NoSelection);
    m_recent->setFocusPolicy(Qt::NoFocus);
    m_recent->setWordWrap(false);
    m_recent->verticalHeader()->setDefaultSectionSize(m_recent->fontMetrics().height() + 10);
    m_recent->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_recent->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_recent->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    recentTitle->setBuddy(m_recent);

    m_status = line(this, QStringLiteral("HomeStatus"));
    // Room for two lines kept whether a confirmation shows or not, so nothing above it moves.
    m_status->setMinimumHeight(2 * m_status->fontMetrics().lineSpacing());
    m_status->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    m_statusTimer = new QTimer(this);
    m_statusTimer->setObjectName(QStringLiteral("HomeStatusTimer"));
    m_statusTimer->setSingleShot(true);
    m_statusTimer->setInterval(kStatusMilliseconds);
    connect(m_statusTimer, &QTimer::timeout, m_status, &QLabel::clear);
    m_statusAction = new QPushButton(this);
    m_statusAction->setObjectName(QStringLiteral("HomeStatusAction"));
    m_statusAction->hide();
    connect(m_statusTimer, &QTimer::timeout, m_statusAction, &QWidget::hide);
    connect(m_statusAction, &QPushButton::clicked, this, [this] {
        if (m_onStatusAction)
            m_onStatusAction();
    });
    m_invitations = line(this, QStringLiteral("HomeInvitations"));
    // Examinees answer on their phones while the panel is shown: what they did shows within seconds, at the cost of
    // one small query.
    m_invitationTimer = new QTimer(this);
    m_invitationTimer->setObjectName(QStringLiteral("HomeInvitationTimer"));
    m_invitationTimer->setInterval(kInvitationMilliseconds);
    connect(m_invitationTimer, &QTimer::timeout, this, &HomePanel::refreshInvitations);

    m_help = new QPushButton(Msg::HomeHelpLink, this);
    m_help->setObjectName(QStringLiteral("HomeHelp"));
    m_help->setFlat(true);
    m_help->setAutoDefault(false);
    m_help->setCursor(Qt::PointingHandCursor);
    // Drawn as a link, not as one more of the main buttons, whatever the theme draws buttons with.
    m_help->setStyleSheet(
        QStringLiteral("QPushButton#HomeHelp { border: none; background: transparent; "
                       "color: palette(window-text); text-decoration: underline; padding: 2px 8px; }"));
    m_help->setToolTip(QStringLiteral("F1"));
    connect(m_help, &QPushButton::clicked, this, &HomePanel::helpWanted);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    layout->addWidget(m_address);
    layout->addSpacing(6);
    layout->addWidget(m_today);
    layout->addWidget(m_registered);
    layout->addWidget(m_answered);
    layout->addWidget(m_invitations);
    layout->addSpacing(6);
    layout->addWidget(recentTitle);
    layout->addWidget(m_recent, 1);
    layout->addWidget(m_status);
    layout->addWidget(m_statusAction, 0, Qt::AlignLeading);
    layout->addWidget(m_help, 0, Qt::AlignLeading);

    m_today->setText(Msg::HomeToday.arg(shown(SolarHijriToday(0))));
    connect(&m_figures, &HomeFigures::Reader::figuresRead, this, &HomePanel::showFigures);
    if (const std::optional<HomeFigures::Figures>& last = m_figures.latest())
        showFigures(*last);
}

void HomePanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    // Asked once the panel is first drawn, so the reading never holds up the window's first frame.
    if (!m_figuresAsked) {
        m_figuresAsked = true;
        QTimer::singleShot(0, this, &HomePanel::refresh);
    }
}

void HomePanel::styleHelpLink()
{
    // Drawn as a link in the colour of the panel's text, not as one more of the main buttons, whatever the theme
    // draws buttons with.
    m_help->setStyleSheet(QStringLiteral("QPushButton#HomeHelp, QPushButton#HomeStatusAction { border: none; background: transparent; color: %1; "
                                         "text-decoration: underline; padding: 2px 8px; }")
                              .arg(palette().color(QPalette::WindowText).name()));
}

void HomePanel::changeEvent(QEvent* event)
{
    // The theme gives the panel its palette after the panel is built.
    if (event->type() == QEvent::PaletteChange && m_help) {
        styleHelpLink();
        m_statusAction->setStyleSheet(m_help->styleSheet());
    }
    QFrame::changeEvent(event);
}

void HomePanel::setClinic(const QString& name, const QString& address)
{
    if (name.trimmed().isEmpty() && address.trimmed().isEmpty()) {
        m_name->setText(Msg::HomeNoClinicName);
        m_address->clear();
        m_address->hide();
        return;
    }
    m_name->setText(name);
    m_address->setText(address);
    m_address->setVisible(!address.trimmed().isEmpty());
}

void HomePanel::refresh()
{
    m_figuresAsked = true;
    m_today->setText(Msg::HomeToday.arg(shown(SolarHijriToday(0))));
    m_figures.request();
}

void HomePanel::showFigures(const HomeFigures::Figures& figures)
{
    m_recent->setRowCount(0);
    if (!figures.read) {
        m_registered->setText(Msg::HomeReadFailed);
        m_answered->clear();
        return;
    }
    m_registered->setText(Msg::HomeRegistered.arg(shown(figures.registered)));
    m_answered->setText(Msg::HomeAnswered.arg(shown(figures.answered)));
    refreshInvitations();
    m_recent->setRowCount(static_cast<int>(figures.recent.size()));
    int row = 0;
    for (const HomeFigures::Recent& recent : figures.recent) {
        const QString cells[]
            = { recent.code, recent.firstName + QLatin1Char(' ') + recent.familyName, shown(recent.date) };
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem(cells[column].trimmed());
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_recent->setItem(row, column, item);
        }
        ++row;
    }
    if (figures.recent.isEmpty()) {
        m_recent->setRowCount(1);
        auto* none = new QTableWidgetItem(Msg::HomeNoExaminees);
        m_recent->setItem(0, 0, none);
        m_recent->setSpan(0, 0, 1, 3);
    } else {
        m_recent->clearSpans();
    }
}

void HomePanel::showStatus(const QString& text)
{
    m_status->setText(text);
    m_statusAction->hide();
    m_onStatusAction = nullptr;
    m_statusTimer->start(kStatusMilliseconds);
}

void HomePanel::showStatus(const QString& text, const QString& action, std::function<void()> onAction)
{
    m_status->setText(text);
    m_statusAction->setText(action);
    m_statusAction->setStyleSheet(m_help->styleSheet());
    m_onStatusAction = std::move(onAction);
    m_statusAction->show();
    m_statusTimer->start(3 * kStatusMilliseconds);
}

void HomePanel::refreshInvitations()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const Invitations::Counts counts
        = Invitations::counts(m_db, now, QDateTime(QDate::currentDate(), QTime(0, 0)).toUTC());
    if (!counts.read) {
        m_invitations->clear();
        return;
    }
    m_invitations->setText(Msg::HomeInvitations.arg(shown(counts.open), shown(counts.finishedToday)));

    // A couple both of whom finished today is offered for comparison once in the program's run (the main window is
    // made afresh on every return to it), as soon as the panel sees the second one finished.
    const Invitations::CouplesRead couples
        = Invitations::finishedCouples(m_db, QDateTime(QDate::currentDate(), QTime(0, 0)).toUTC());
    if (!couples.read)
        return;
    static QSet<QString> offered;
    for (const Invitations::Couple& couple : couples.couples) {
        const QString key = couple.firstCode + QLatin1Char('\n') + couple.secondCode;
        if (offered.contains(key))
            continue;
        offered.insert(key);
        showStatus(Msg::HomeCoupleFinished.arg(couple.firstCode, couple.secondCode), Msg::HomeCompareCouple,
            [this, couple] { emit coupleComparisonWanted(couple.firstCode, couple.secondCode); });
        break; // one offer at a time; the next round shows the next
    }
}

void HomePanel::showEvent(QShowEvent* event)
{
    refreshInvitations();
    m_invitationTimer->start();
    QFrame::showEvent(event);
}

void HomePanel::hideEvent(QHideEvent* event)
{
    m_invitationTimer->stop();
    QFrame::hideEvent(event);
}

QString HomePanel::status() const
{
    return m_status->text();
}

void HomePanel::followPanels(const QList<QWidget*>& panels)
{
    for (QWidget* panel : panels) {
        m_panels.append(panel);
        panel->installEventFilter(this);
    }
    followVisibility();
}

void HomePanel::followVisibility()
{
    for (const QPointer<QWidget>& panel : m_panels)
        if (panel && !panel->isHidden()) {
            hide();
            return;
        }
    show();
}

bool HomePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
        followVisibility();
    return QFrame::eventFilter(watched, event);
}
