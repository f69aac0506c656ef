#include "settings/DatabasePanel.h"

#include "data/Rights.h"
#include "data/TransferJob.h"
#include "settings/ServerLogin.h"
#include "text/Digits.h"
#include "text/ProgramSettings.h"
#include "ui/DigitsField.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/PercentProgressBar.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int fieldLeft = 240;
constexpr int fieldWidth = 3300;
constexpr int captionLeft = 3600;
constexpr int captionWidth = 1860;
constexpr int rowHeight = 375;

QString isolated(const QString& text)
{
    return QChar(0x2066) + text + QChar(0x2069);
}

// Host names, database names and users are Latin words: typed and read left to right.
QLineEdit* latinField(
    QLineEdit* field, QWidget* parent, const QString& name, const QString& caption, const QString& captionName, int top)
{
    field->setParent(parent);
    field->setObjectName(name);
    field->setLayoutDirection(Qt::LeftToRight);
    field->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
    Twips::place(field, fieldLeft, top, fieldWidth, rowHeight);
    QLabel* label = Kit::caption(parent, captionName, caption, field, captionLeft, top, captionWidth, rowHeight);
    label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    return field;
}

QRadioButton* kindButton(QWidget* parent, const QString& name, const QString& caption, int top)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->setLayoutDirection(Qt::RightToLeft);
    // As wide as its caption needs, at the right edge of the captions: a click beside the caption is no choice.
    const QRect row = Twips::toPixels(fieldLeft, top, captionLeft + captionWidth - fieldLeft, rowHeight);
    const int width = qMin(row.width(), button->sizeHint().width());
    button->setGeometry(row.right() + 1 - width, row.top(), width, row.height());
    return button;
}

// The codes a box lists: the first ones, and how many more, so a long list never outgrows the screen.
QString codeList(const QStringList& codes)
{
    constexpr int shown = 20;
    QString list = codes.mid(0, shown).join(QStringLiteral("، "));
    if (codes.size() > shown)
        list += QLatin1Char(' ') + Msg::AndMoreCodes.arg(codes.size() - shown);
    return list;
}

} // namespace

DatabasePanel::DatabasePanel(Messages& messages, const QString& dataFolder, QWidget* parent)
    : QFrame(parent)
    , m_messages(messages)
    , m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("DatabasePanel"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setLayoutDirection(Qt::RightToLeft);
    hide();

    m_local = kindButton(this, QStringLiteral("DatabaseLocal"), QStringLiteral("همين رايانه"), 180);
    m_server = kindButton(this, QStringLiteral("DatabaseServer"), QStringLiteral("سرور کلينيک"), 600);
    m_host = latinField(new QLineEdit, this, QStringLiteral("DatabaseHost"), QStringLiteral("نام يا نشاني سرور:"),
        QStringLiteral("DatabaseHostCaption"), 1080);
    m_port = latinField(new DigitsField(nullptr, 5), this, QStringLiteral("DatabasePort"),
        QStringLiteral("شماره درگاه (port):"), QStringLiteral("DatabasePortCaption"), 1560);
    // A number, drawn in the operator's digits: it starts at the right edge as every number of a Persian form does.
    m_port->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    m_name = latinField(new QLineEdit, this, QStringLiteral("DatabaseName"), QStringLiteral("نام پايگاه داده:"),
        QStringLiteral("DatabaseNameCaption"), 2040);
    m_user = latinField(new QLineEdit, this, QStringLiteral("DatabaseUser"), QStringLiteral("نام کاربر:"),
        QStringLiteral("DatabaseUserCaption"), 2520);

    // Right to left in the order of work: try the server, move the clinic's file onto it; then store or leave.
    m_test = Kit::button(this, QStringLiteral("DatabaseTest"), QStringLiteral("آزمايش اتصال"), 2910, 3060, 2550, 405);
    m_copy = Kit::button(this, QStringLiteral("DatabaseCopy"), QStringLiteral("انتقال به سرور"), 240, 3060, 2550, 405);
    m_save = Kit::button(this, QStringLiteral("DatabaseSave"), QStringLiteral("ذخيره"), 2910, 3600, 2550, 405);
    m_cancel = Kit::button(this, QStringLiteral("DatabaseCancel"), QStringLiteral("انصراف"), 240, 3600, 2550, 405);
    // How far a copy onto the server is; shown only while one runs, where the buttons that start one were.
    m_progress = new PercentProgressBar(this);
    m_progress->setObjectName(QStringLiteral("CopyProgress"));
    m_progress->setRange(0, 100);
    m_progress->setAlignment(Qt::AlignCenter);
    Twips::place(m_progress, 240, 3060, 5220, 405);
    m_progress->hide();

    const QList<QWidget*> order { m_local, m_server, m_host, m_port, m_name, m_user, m_test, m_copy, m_save, m_cancel };
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connect(m_local, &QRadioButton::toggled, this, &DatabasePanel::showKind);
    connect(m_test, &QPushButton::clicked, this, &DatabasePanel::testConnection);
    connect(m_copy, &QPushButton::clicked, this, &DatabasePanel::copyToServer);
    connect(m_save, &QPushButton::clicked, this, &DatabasePanel::save);
    connect(m_cancel, &QPushButton::clicked, this, &DatabasePanel::cancel);
    showStored();
}

void DatabasePanel::showStored()
{
    const DatabaseChoice stored = DatabaseChoice::stored();
    // The fields as stored, also when the choice was refused for its options.
    const ServerAddress server = DatabaseChoice::storedServer();
    m_host->setText(server.host);
    m_port->setText(QString::number(server.port));
    m_name->setText(server.database);
    m_user->setText(server.user);
    // Options the program does not pass on (a password among them) are not shown again, nor written back.
    m_options = server.optionsAllowed() ? server.options : QString();
    (stored.isServer() ? m_server : m_local)->setChecked(true);
    showKind();
}

void DatabasePanel::showKind()
{
    const bool server = m_server->isChecked();
    for (QWidget* w : { static_cast<QWidget*>(m_host), static_cast<QWidget*>(m_port), static_cast<QWidget*>(m_name),
             static_cast<QWidget*>(m_user), static_cast<QWidget*>(m_test), static_cast<QWidget*>(m_copy) })
        w->setEnabled(server);
    // Their captions grey out with them, so the server's part of the panel reads as not in use.
    for (const char* caption :
        { "DatabaseHostCaption", "DatabasePortCaption", "DatabaseNameCaption", "DatabaseUserCaption" })
        if (QWidget* label = findChild<QWidget*>(QString::fromLatin1(caption)))
            label->setEnabled(server);
}

DatabaseChoice DatabasePanel::choice() const
{
    DatabaseChoice choice;
    choice.kind = m_server->isChecked() ? DatabaseChoice::Kind::Server : DatabaseChoice::Kind::Local;
    choice.server.host = m_host->text().trimmed();
    choice.server.port = Digits::toAscii(m_port->text()).toInt();
    choice.server.database = m_name->text().trimmed();
    choice.server.user = m_user->text().trimmed();
    choice.server.options = m_options;
    return choice;
}

bool DatabasePanel::serverFieldsComplete()
{
    const int port = Digits::toAscii(m_port->text()).toInt();
    if (port < 1 || port > 65535) {
        m_messages.ShowNotice(window(), Msg::DatabasePortWrong);
        m_port->setFocus();
        return false;
    }
    if (m_name->text().trimmed().isEmpty()) {
        m_messages.ShowNotice(window(), Msg::DatabaseNameNeeded);
        m_name->setFocus();
        return false;
    }
    return true;
}

void DatabasePanel::testConnection()
{
    if (!serverFieldsComplete())
        return;
    const ServerAddress server = choice().server;
    const ServerLogin::Outcome login = ServerLogin::open(server, m_messages, window());
    if (login.ok())
        m_messages.AskOperator(window(), Msg::ServerConnectionWorks.arg(isolated(server.displayName())),
            Msg::Style::InformationRtl, Msg::ApplicationTitle);
    else
        m_messages.AskOperator(
            window(), ServerLogin::failureText(login, server), Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
}

void DatabasePanel::copyToServer()
{
    if (!serverFieldsComplete())
        return;
    const ServerAddress server = choice().server;
    const QString name = isolated(server.displayName());
    if (m_messages.AskOperator(window(), Msg::CopyToServerConfirm.arg(name), Msg::Style::YesNo, Msg::ApplicationTitle)
        != Msg::Yes)
        return;
    const ServerLogin::Outcome login = ServerLogin::open(server, m_messages, window());
    if (!login.ok()) {
        m_messages.AskOperator(
            window(), ServerLogin::failureText(login, server), Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    // Copying a data file in is the head's; the server refuses a counsellor anyway.
    if (!Rights::may(*login.database, Rights::Act::CopyToServer)) {
        m_messages.AskOperator(window(), Msg::HeadOnly, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    ClinicMove::Outcome moved;
    // On a connection of the worker's own: the one that logged in belongs to this thread.
    TransferJob job([&moved, folder = m_dataFolder, server = login.database->location()](
                        const TableTransfer::Watch& watch) { moved = ClinicMove::copy(folder, server, watch); });
    connect(&job, &TransferJob::progressChanged, m_progress, &QProgressBar::setValue);
    m_job = &job;
    setCopying(true);
    job.run();
    m_job = nullptr;
    setCopying(false);
    if (moved.status != ClinicMove::Outcome::Status::Cancelled)
        tellCopied(moved, name);
    // Stopped: the panel closes as its cancel button closes it, also when the copy was done before it could stop.
    if (job.cancelled())
        emit cancelled();
}

void DatabasePanel::tellCopied(const ClinicMove::Outcome& moved, const QString& name)
{
    switch (moved.status) {
    case ClinicMove::Outcome::Status::Copied:
        m_messages.AskOperator(window(), Msg::CopyToServerDone.arg(name, QString::number(moved.examinees)),
            Msg::Style::InformationRtl, Msg::ApplicationTitle);
        return;
    case ClinicMove::Outcome::Status::CodesTaken:
        m_messages.AskOperator(window(),
            Msg::CopyToServerCodesTaken.arg(name) + QLatin1Char('\n') + codeList(moved.takenCodes),
            Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    case ClinicMove::Outcome::Status::CodesDoubled:
        m_messages.AskOperator(window(),
            Msg::CopyToServerCodesDoubled.arg(name) + QLatin1Char('\n') + codeList(moved.doubledCodes),
            Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    case ClinicMove::Outcome::Status::NoLocalFile:
        m_messages.AskOperator(window(), Msg::CopyToServerNoFile, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    case ClinicMove::Outcome::Status::LocalRefused:
        m_messages.AskOperator(window(), Msg::DatabaseCannotOpen + QLatin1Char('\n') + moved.error, Msg::Style::StopRtl,
            Msg::ErrorTitlePersian);
        return;
    case ClinicMove::Outcome::Status::Failed:
    case ClinicMove::Outcome::Status::Cancelled:
        break;
    }
    m_messages.AskOperator(window(), Msg::CopyToServerFailed.arg(name) + QLatin1Char('\n') + moved.error,
        Msg::Style::StopRtl, Msg::ErrorTitlePersian);
}

void DatabasePanel::setCopying(bool copying)
{
    // One copy at a time, and nothing else meanwhile but stopping it.
    for (QWidget* w : { static_cast<QWidget*>(m_local), static_cast<QWidget*>(m_server), static_cast<QWidget*>(m_host),
             static_cast<QWidget*>(m_port), static_cast<QWidget*>(m_name), static_cast<QWidget*>(m_user),
             static_cast<QWidget*>(m_save) })
        w->setEnabled(!copying);
    m_test->setVisible(!copying);
    m_copy->setVisible(!copying);
    m_progress->setVisible(copying);
    if (copying)
        m_progress->setValue(0);
    else
        showKind();
}

void DatabasePanel::cancelCopy()
{
    if (m_job)
        m_job->cancel();
}

void DatabasePanel::cancel()
{
    if (m_job) {
        m_job->cancel();
        return;
    }
    emit cancelled();
}

void DatabasePanel::save()
{
    const DatabaseChoice chosen = choice();
    if (chosen.isServer() && !serverFieldsComplete())
        return;
    if (!chosen.store()) {
        m_messages.AskOperator(window(), Msg::DatabaseChoiceNotSaved.arg(isolated(ProgramSettings::filePath())),
            Msg::Style::StopRtl, Msg::ErrorTitlePersian);
        return;
    }
    m_messages.ShowNotice(window(), Msg::DatabaseChoiceSaved);
    emit saved();
}
