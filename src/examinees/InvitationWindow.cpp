#include "examinees/InvitationWindow.h"

#include "calendar/SolarHijri.h"
#include "data/ComparedPairs.h"
#include "data/Database.h"
#include "data/Invitations.h"
#include "examinees/InvitationSlip.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/NumberSpinBox.h"
#include "ui/QrCode.h"
#include "ui/WindowKit.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString marks[2] = { QStringLiteral("همسر اول"), QStringLiteral("همسر دوم") };
// The code's square: some 7 cm on a common screen, which a phone reads at arm's length; a short link's modules are
// six pixels or more.
constexpr int QrSide = 280;

QPixmap qrPicture(const QString& link)
{
    const QrCode::Modules modules = QrCode::encode(link);
    if (modules.size == 0)
        return QPixmap();
    const int module = std::max(3, QrSide / (modules.size + 8));
    return QPixmap::fromImage(QrCode::image(link, module));
}

} // namespace

InvitationWindow::InvitationWindow(
    Database& db, Messages& messages, const Setting& setting, const QString& code, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_db(db)
    , m_messages(messages)
    , m_setting(setting)
{
    setObjectName(QStringLiteral("FrmInvite"));
    setWindowTitle(Msg::InviteTitle);
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (!m_setting.clock)
        m_setting.clock = [] { return QDateTime::currentDateTimeUtc(); };

    auto* layout = new QVBoxLayout(this);
    // Never smaller than its contents: the codes must show whole.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    auto* form = new QGridLayout;
    layout->addLayout(form);

    m_code = new QLineEdit(code, this);
    m_code->setObjectName(QStringLiteral("TextCode"));
    Kit::alignRight(m_code);
    m_partner = new QLineEdit(this);
    m_partner->setObjectName(QStringLiteral("TextPartner"));
    Kit::alignRight(m_partner);
    m_days = new NumberSpinBox(this);
    m_days->setObjectName(QStringLiteral("SpinDays"));
    m_days->setRange(1, 30);
    m_days->setValue(Invitations::DefaultDays);
    auto caption = [this](const QString& name, const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setBuddy(buddy);
        buddy->setAccessibleName(text);
        return label;
    };
    form->addWidget(caption(QStringLiteral("LabelCode"), QStringLiteral("کد آزمودني:"), m_code), 0, 0);
    form->addWidget(m_code, 0, 1);
    form->addWidget(caption(QStringLiteral("LabelPartner"), QStringLiteral("کد همسر (براي دعوت زوج):"), m_partner), 1, 0);
    form->addWidget(m_partner, 1, 1);
    form->addWidget(caption(QStringLiteral("LabelDays"), QStringLiteral("روزهاي اعتبار:"), m_days), 2, 0);
    form->addWidget(m_days, 2, 1);

    auto* makeRow = new QHBoxLayout;
    m_invite = new QPushButton(QStringLiteral("ساختن پيوند"), this);
    m_invite->setObjectName(QStringLiteral("CommandInvite"));
    m_invite->setDefault(true);
    m_couple = new QPushButton(QStringLiteral("دعوت زوج"), this);
    m_couple->setObjectName(QStringLiteral("CommandCouple"));
    makeRow->addWidget(m_invite);
    makeRow->addWidget(m_couple);
    layout->addLayout(makeRow);

    auto* codesRow = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto* column = new QVBoxLayout;
        m_marks[i] = new QLabel(marks[i], this);
        m_marks[i]->setObjectName(i == 0 ? QStringLiteral("LabelFirst") : QStringLiteral("LabelSecond"));
        m_marks[i]->setAlignment(Qt::AlignCenter);
        m_codes[i] = new QLabel(this);
        m_codes[i]->setObjectName(i == 0 ? QStringLiteral("PictureQr") : QStringLiteral("PictureQrSecond"));
        m_codes[i]->setAlignment(Qt::AlignCenter);
        // Of one size whatever the link: the window keeps its shape, and a code is never squeezed (cut short, it
        // would not scan).
        m_codes[i]->setFixedSize(QrSide, QrSide);
        m_links[i] = new QLineEdit(this);
        m_links[i]->setObjectName(i == 0 ? QStringLiteral("TextLink") : QStringLiteral("TextLinkSecond"));
        // A link reads left to right, whole, and can be selected but not changed.
        m_links[i]->setReadOnly(true);
        m_links[i]->setLayoutDirection(Qt::LeftToRight);
        m_links[i]->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
        m_links[i]->setAccessibleName(QStringLiteral("پيوند"));
        m_links[i]->setMinimumWidth(QrSide + 40);
        m_copies[i] = new QPushButton(QStringLiteral("کپي پيوند"), this);
        m_copies[i]->setObjectName(i == 0 ? QStringLiteral("CommandCopy") : QStringLiteral("CommandCopySecond"));
        column->addWidget(m_marks[i]);
        column->addWidget(m_codes[i]);
        column->addWidget(m_links[i]);
        column->addWidget(m_copies[i]);
        codesRow->addLayout(column);
        connect(m_copies[i], &QPushButton::clicked, this, [this, i] { copyLink(i); });
    }
    layout->addLayout(codesRow);

    m_expiry = new QLabel(this);
    m_expiry->setObjectName(QStringLiteral("LabelExpiry"));
    m_expiry->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_expiry);
    auto* lost = new QLabel(Msg::InviteLostSlip, this);
    lost->setObjectName(QStringLiteral("LabelLost"));
    lost->setWordWrap(true);
    layout->addWidget(lost);

    auto* endRow = new QHBoxLayout;
    m_print = new QPushButton(QStringLiteral("چاپ برگه دعوت"), this);
    m_print->setObjectName(QStringLiteral("CommandPrint"));
    m_revoke = new QPushButton(QStringLiteral("لغو دعوت"), this);
    m_revoke->setObjectName(QStringLiteral("CommandRevoke"));
    auto* close = new QPushButton(QStringLiteral("خروج"), this);
    close->setObjectName(QStringLiteral("CommandClose"));
    endRow->addWidget(m_print);
    endRow->addWidget(m_revoke);
    endRow->addStretch();
    endRow->addWidget(close);
    layout->addLayout(endRow);

    connect(m_invite, &QPushButton::clicked, this, &InvitationWindow::invite);
    connect(m_couple, &QPushButton::clicked, this, &InvitationWindow::inviteCouple);
    connect(m_print, &QPushButton::clicked, this, &InvitationWindow::printSlip);
    connect(m_revoke, &QPushButton::clicked, this, &InvitationWindow::revoke);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    showMade();
}

QStringList InvitationWindow::links() const
{
    QStringList all;
    for (const Made& made : m_made)
        all << made.link;
    return all;
}

bool InvitationWindow::invite()
{
    return make({ m_code->text() });
}

bool InvitationWindow::inviteCouple()
{
    if (m_partner->text().trimmed().isEmpty()) {
        m_messages.ShowNotice(this, Msg::InviteEnterPartner);
        m_partner->setFocus();
        return false;
    }
    if (!make({ m_code->text(), m_partner->text() }))
        return false;
    // Remembered as a couple, so the comparison window brings one spouse back from the other's code.
    ComparedPairs pairs(m_db);
    if (!pairs.remember({ m_made.at(0).code, m_made.at(1).code, ComparedPairs::CoupleKind }))
        Kit::reportDatabaseTrouble(m_messages, this, pairs.busy(), pairs.error());
    emit coupleInvited(m_made.at(0).code, m_made.at(1).code);
    return true;
}

bool InvitationWindow::make(const QStringList& codes)
{
    const QDateTime now = m_setting.clock();
    QList<Made> made;
    for (const QString& code : codes) {
        const Invitations::Made one = Invitations::make(m_db, code, m_days->value(), m_setting.user, now);
        switch (one.status) {
        case Invitations::Made::Status::Made:
            made.append({ one.code, Invitations::link(m_setting.linkBase, one.token),
                Invitations::hashOf(one.token), now.addDays(m_days->value()) });
            continue;
        case Invitations::Made::Status::NoExaminee:
            m_messages.ShowNotice(this, Msg::NoExamineeWithCode + QStringLiteral(": ") + code.trimmed());
            break;
        case Invitations::Made::Status::BadDays:
        case Invitations::Made::Status::Failed:
            Kit::reportDatabaseTrouble(m_messages, this, one.busy, one.error);
            break;
        }
        // The spouse invited already is not left with a link nobody saw.
        for (const Made& orphan : std::as_const(made))
            Invitations::revoke(m_db, orphan.tokenHash, m_setting.user, now);
        return false;
    }
    m_made = made;
    showMade();
    return true;
}

void InvitationWindow::showMade()
{
    const bool couple = m_made.size() == 2;
    for (int i = 0; i < 2; ++i) {
        const bool shown = i < m_made.size();
        m_links[i]->setText(shown ? m_made.at(i).link : QString());
        m_links[i]->setCursorPosition(0); // from "https://", as the link is read
        m_codes[i]->setPixmap(shown ? qrPicture(m_made.at(i).link) : QPixmap());
        m_codes[i]->setVisible(i == 0 || couple);
        m_links[i]->setVisible(i == 0 || couple);
        m_copies[i]->setVisible(i == 0 || couple);
        m_copies[i]->setEnabled(shown);
        m_marks[i]->setVisible(couple);
    }
    m_print->setEnabled(!m_made.isEmpty());
    m_revoke->setEnabled(!m_made.isEmpty());
    m_expiry->setText(m_made.isEmpty()
            ? QString()
            : Msg::InviteOpenUntil.arg(ShownNumbers::text(SolarHijriDate(m_made.first().expires.toLocalTime().date()))));
    // As tall as its wrapped lines need at its width: the codes are never drawn over.
    adjustSize();
    if (layout()->hasHeightForWidth())
        resize(width(), std::max(height(), layout()->totalHeightForWidth(width())));
}

void InvitationWindow::copyLink(int which)
{
    if (which < 0 || which >= m_made.size())
        return;
    QGuiApplication::clipboard()->setText(m_made.at(which).link);
}

void InvitationWindow::printSlip()
{
    if (m_made.isEmpty())
        return;
    QList<InvitationSlip::Half> halves;
    for (const Made& made : std::as_const(m_made))
        halves.append({ made.link, made.expires.toLocalTime().date() });
    emit previewRequested(std::make_shared<InvitationSlip>(m_setting.clinicName, halves));
}

bool InvitationWindow::revoke()
{
    if (m_made.isEmpty())
        return false;
    if (m_messages.AskOperator(this, Msg::InviteConfirmRevoke, Msg::Style::YesNo | Msg::Style::DefaultSecond,
            Msg::ApplicationTitle)
        != Msg::Yes)
        return false;
    const QDateTime now = m_setting.clock();
    for (const Made& made : std::as_const(m_made)) {
        const Invitations::Changed changed = Invitations::revoke(m_db, made.tokenHash, m_setting.user, now);
        if (!changed.ok) {
            Kit::reportDatabaseTrouble(m_messages, this, changed.busy, changed.error);
            return false;
        }
    }
    m_made.clear();
    showMade();
    m_messages.ShowNotice(this, Msg::InviteRevoked);
    return true;
}
