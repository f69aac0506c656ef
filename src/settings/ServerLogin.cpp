#include "settings/ServerLogin.h"

#include "data/ServerFailure.h"
#include "settings/ServerFailureSentence.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"

#include <QGuiApplication>

namespace ServerLogin {

namespace {

constexpr int passwordTries = 3;

QString isolated(const QString& text)
{
    return QChar(0x2066) + text + QChar(0x2069);
}

} // namespace

Outcome open(const ServerAddress& server, Messages& messages, QWidget* owner)
{
    Outcome outcome;
    QString password;
    for (int tries = 0;; ++tries) {
        std::unique_ptr<Database> db = Database::onServer(server, password);
        // A server that does not answer takes its 5 seconds; the pointer says the program is waiting.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        outcome.opened = db->open();
        QGuiApplication::restoreOverrideCursor();
        if (outcome.opened.ok()) {
            outcome.database = std::move(db);
            return outcome;
        }
        const ServerFailure::Reason reason = ServerFailure::classify(outcome.opened.connectionError);
        const bool wantsPassword
            = reason == ServerFailure::Reason::NoPassword || reason == ServerFailure::Reason::PasswordRefused;
        if (!wantsPassword || tries >= passwordTries)
            return outcome;
        const QString& prompt = tries == 0 && reason == ServerFailure::Reason::NoPassword ? Msg::ServerPasswordPrompt
                                                                                          : Msg::ServerPasswordAgain;
        password = messages.PromptSecret(owner,
            prompt.arg(isolated(server.displayName()), isolated(ServerFailure::userName(server))),
            Msg::ServerPasswordTitle);
        if (password.isEmpty()) {
            outcome.cancelled = true;
            return outcome;
        }
    }
}

QString failureText(const Outcome& outcome, const ServerAddress& server, const QString& followedBy)
{
    const Database::OpenResult& opened = outcome.opened;
    QString text;
    QString words;
    if (opened.connectionError.type() != QSqlError::NoError) {
        words = ServerFailure::platformText(opened.connectionError);
        text = ServerFailure::sentence(ServerFailure::classify(words), server);
    } else {
        // Reached, but refused by the check, or failing after the connection was made.
        words = opened.error;
        text = opened.status == Database::OpenStatus::Refused
            ? Msg::ServerNotOurs.arg(isolated(server.displayName()))
            : ServerFailure::sentence(ServerFailure::Reason::Other, server);
    }
    if (!followedBy.isEmpty())
        text += QLatin1Char('\n') + followedBy;
    if (!words.isEmpty())
        text += QLatin1Char('\n') + words;
    return text;
}

} // namespace ServerLogin
