#include "settings/ServerFailureSentence.h"

#include "data/ServerAddress.h"
#include "ui/MessageCatalogue.h"

namespace ServerFailure {

namespace {

// Names and addresses keep their own direction inside the Persian sentence.
QString isolated(const QString& text)
{
    return QChar(0x2066) + text + QChar(0x2069);
}

} // namespace

QString sentence(Reason reason, const ServerAddress& server)
{
    const QString name = isolated(server.displayName());
    const QString user = isolated(userName(server));
    const QString database = isolated(server.database);
    switch (reason) {
    case Reason::Refused:
        return Msg::ServerRefused.arg(name);
    case Reason::UnknownHost:
        return Msg::ServerUnknownHost.arg(name);
    case Reason::NoAnswer:
        return Msg::ServerNoAnswer.arg(name);
    case Reason::NoPassword:
        return Msg::ServerNoPassword.arg(name, user);
    case Reason::PasswordRefused:
        return Msg::ServerPasswordRefused.arg(name, user);
    case Reason::UserMissing:
        return Msg::ServerUserMissing.arg(name, user);
    case Reason::NotAllowed:
        return Msg::ServerNotAllowed.arg(name, user);
    case Reason::DatabaseMissing:
        return Msg::ServerDatabaseMissing.arg(name, database);
    case Reason::Other:
        break;
    }
    return Msg::ServerOther.arg(name);
}

} // namespace ServerFailure
