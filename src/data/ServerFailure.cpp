#include "data/ServerFailure.h"

#include "data/ServerAddress.h"

#include <QRegularExpression>
#include <QSqlError>

namespace ServerFailure {

namespace {

bool says(const QString& text, const char* words)
{
    return text.contains(QLatin1String(words), Qt::CaseInsensitive);
}

} // namespace

QString userName(const ServerAddress& server)
{
    if (!server.user.isEmpty())
        return server.user;
    const QString fromEnvironment = qEnvironmentVariable("PGUSER");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
}

Reason classify(const QString& text)
{
    // The server's own refusals first: they come after a connection was made, whatever the socket said before.
    static const QRegularExpression databaseMissing(QStringLiteral("database \"[^\"]*\" does not exist"));
    static const QRegularExpression userMissing(QStringLiteral("role \"[^\"]*\" does not exist"));
    if (says(text, "no password supplied"))
        return Reason::NoPassword;
    if (says(text, "password authentication failed"))
        return Reason::PasswordRefused;
    if (userMissing.match(text).hasMatch())
        return Reason::UserMissing;
    if (says(text, "no pg_hba.conf entry") || says(text, "peer authentication failed")
        || says(text, "ident authentication failed") || says(text, "not permitted to log in"))
        return Reason::NotAllowed;
    if (databaseMissing.match(text).hasMatch())
        return Reason::DatabaseMissing;
    if (says(text, "could not translate host name"))
        return Reason::UnknownHost;
    if (says(text, "timeout expired") || says(text, "Connection timed out") || says(text, "No route to host")
        || says(text, "Network is unreachable"))
        return Reason::NoAnswer;
    // libpq adds "Is the server running ..." to every failed connect(): a refused port, a socket that is not there.
    if (says(text, "Connection refused") || says(text, "Is the server running"))
        return Reason::Refused;
    return Reason::Other;
}

QString platformText(const QSqlError& error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.driverText().trimmed() : text;
}

Reason classify(const QSqlError& error)
{
    return classify(platformText(error));
}

const char* reasonName(Reason reason)
{
    switch (reason) {
    case Reason::Refused:
        return "Refused";
    case Reason::UnknownHost:
        return "UnknownHost";
    case Reason::NoAnswer:
        return "NoAnswer";
    case Reason::NoPassword:
        return "NoPassword";
    case Reason::PasswordRefused:
        return "PasswordRefused";
    case Reason::UserMissing:
        return "UserMissing";
    case Reason::NotAllowed:
        return "NotAllowed";
    case Reason::DatabaseMissing:
        return "DatabaseMissing";
    case Reason::Other:
        return "Other";
    }
    return "?";
}


} // namespace ServerFailure
