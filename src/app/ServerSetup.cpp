#include "app/ServerSetup.h"

#include "data/Database.h"
#include "data/DatabaseChoice.h"
#include "data/ServerFailure.h"
#include "data/ServerRights.h"

#include <QTextStream>

namespace ServerSetup {

namespace {

// Opens the server as the program does at start (an empty database gets the program's tables), asking for the
// password only when libpq found none or the server refused it; nullptr, with why on `err`.
std::unique_ptr<Database> openServer(const QString& option, const QString& uri,
    const CopyToServer::PasswordAsk& askPassword, QTextStream& err)
{
    QString uriError;
    const std::optional<DatabaseChoice> choice = DatabaseChoice::forRun(uri, uriError);
    if (!choice || !choice->server.isValid()) {
        err << option << ": not a PostgreSQL connection URI naming a database, or one carrying a password or an "
               "option the program does not pass on: "
            << ServerAddress::masked(uri) << '\n';
        return nullptr;
    }
    const ServerAddress& server = choice->server;
    QString password;
    Database::OpenResult opened;
    for (int tries = 0;; ++tries) {
        std::unique_ptr<Database> db = Database::onServer(server, password);
        opened = db->open();
        if (opened.ok())
            return db;
        const ServerFailure::Reason reason = ServerFailure::classify(opened.connectionError);
        if ((reason != ServerFailure::Reason::NoPassword && reason != ServerFailure::Reason::PasswordRefused)
            || tries >= 3)
            break;
        const std::optional<QString> typed = askPassword
            ? askPassword(QStringLiteral("Password for %1 on %2: ")
                              .arg(ServerFailure::userName(server), server.displayName()))
            : std::nullopt;
        if (!typed || typed->isEmpty()) {
            err << option << ": no password for " << ServerFailure::userName(server) << " on "
                << server.displayName() << ".\n";
            return nullptr;
        }
        password = *typed;
    }
    const QSqlError& error = opened.connectionError;
    err << option << ": the server " << server.displayName() << " did not open ("
        << (error.type() != QSqlError::NoError ? ServerFailure::reasonName(ServerFailure::classify(error))
                                               : "not this program's database")
        << ").\n";
    return nullptr;
}

} // namespace

int setUp(const QString& uri, const QString& formerCounsellor, const CopyToServer::PasswordAsk& askPassword,
    QTextStream& out, QTextStream& err)
{
    const std::unique_ptr<Database> db = openServer(QStringLiteral("--setup-server"), uri, askPassword, err);
    if (!db)
        return 1;
    const QString problem = ServerRights::setUp(*db, formerCounsellor);
    if (!problem.isNull()) {
        err << "--setup-server: nothing changed: " << problem << '\n';
        return 1;
    }
    out << "The counsellors' rights are set up on " << db->describe() << ".\n";
    return 0;
}

int addCounsellor(const QString& uri, const QString& name, bool head, const CopyToServer::PasswordAsk& askPassword,
    QTextStream& out, QTextStream& err)
{
    const std::unique_ptr<Database> db = openServer(QStringLiteral("--add-counsellor"), uri, askPassword, err);
    if (!db)
        return 1;
    const auto ask = [&](const QString& prompt) { return askPassword ? askPassword(prompt) : std::nullopt; };
    const std::optional<QString> first = ask(QStringLiteral("Password for the new login %1: ").arg(name));
    if (!first || first->isEmpty()) {
        err << "--add-counsellor: no password was given (it is asked on a terminal).\n";
        return 1;
    }
    const std::optional<QString> again = ask(QStringLiteral("The same password again: "));
    if (!again || *again != *first) {
        err << "--add-counsellor: the two passwords differ; nothing was made.\n";
        return 1;
    }
    const QString problem = ServerRights::addCounsellor(*db, name, head, *first);
    if (!problem.isNull()) {
        err << "--add-counsellor: " << name << " was not made: " << problem << '\n';
        return 1;
    }
    out << "Made " << name << (head ? " (the clinic's head)" : " (a counsellor)") << " on " << db->describe() << ".\n";
    return 0;
}

} // namespace ServerSetup
