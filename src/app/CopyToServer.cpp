#include "app/CopyToServer.h"

#include "data/Database.h"
#include "data/DatabaseChoice.h"
#include "data/ServerAddress.h"
#include "data/ServerFailure.h"
#include "data/Rights.h"
#include "settings/ClinicMove.h"

#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace CopyToServer {

namespace {

constexpr int passwordTries = 3;

// Opens the server as the program does at start, asking for a password only when libpq found none or the server
// refused the one it found; nullptr, with why on `err`, when it did not open.
std::unique_ptr<Database> openServer(
    const ServerAddress& server, const PasswordAsk& askPassword, QTextStream& err)
{
    QString password;
    Database::OpenResult opened;
    for (int tries = 0;; ++tries) {
        std::unique_ptr<Database> db = Database::onServer(server, password);
        opened = db->open();
        if (opened.ok())
            return db;
        const ServerFailure::Reason reason = ServerFailure::classify(opened.connectionError);
        const bool wantsPassword
            = reason == ServerFailure::Reason::NoPassword || reason == ServerFailure::Reason::PasswordRefused;
        if (!wantsPassword || tries >= passwordTries)
            break;
        const std::optional<QString> typed = askPassword
            ? askPassword(QStringLiteral("Password for %1 on %2: ")
                              .arg(ServerFailure::userName(server), server.displayName()))
            : std::nullopt;
        if (!typed) {
            err << "Nothing copied: the server " << server.displayName() << " wants a password for "
                << ServerFailure::userName(server)
                << ", and there is no terminal to ask for it. Give it through ~/.pgpass, a service file or "
                   "PGPASSWORD, or run the command in a terminal.\n";
            return nullptr;
        }
        if (typed->isEmpty()) {
            err << "Nothing copied: no password was given.\n";
            return nullptr;
        }
        password = *typed;
    }
    const QSqlError& error = opened.connectionError;
    err << "Nothing copied: the server " << server.displayName() << " did not open ("
        << (error.type() != QSqlError::NoError ? ServerFailure::reasonName(ServerFailure::classify(error))
                                               : "not this program's database")
        << ").\n";
    const QString words = error.type() != QSqlError::NoError ? ServerFailure::platformText(error) : opened.error;
    if (!words.isEmpty())
        err << words << '\n';
    return nullptr;
}

} // namespace

PasswordAsk terminalPassword(QTextStream& err)
{
    return [&err](const QString& prompt) -> std::optional<QString> {
        if (!::isatty(STDIN_FILENO))
            return std::nullopt;
        err << prompt;
        err.flush();
        termios shown {};
        const bool echoOff = ::tcgetattr(STDIN_FILENO, &shown) == 0;
        if (echoOff) {
            termios hidden = shown;
            hidden.c_lflag &= ~tcflag_t(ECHO);
            hidden.c_lflag |= ECHONL;
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
        }
        QByteArray line;
        for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar())
            line += char(c);
        if (echoOff)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &shown);
        const QString typed = QString::fromLocal8Bit(line);
        line.fill('\0');
        return typed;
    };
}

int run(const QString& dataFolder, const QString& uri, const PasswordAsk& askPassword, QTextStream& out,
    QTextStream& err)
{
    // Read as --database reads it: the schema the settings name for that database comes with it.
    QString uriError;
    const std::optional<DatabaseChoice> choice = DatabaseChoice::forRun(uri, uriError);
    const std::optional<ServerAddress> server
        = choice ? std::optional<ServerAddress>(choice->server) : std::optional<ServerAddress>();
    if (!server || !server->isValid()) {
        err << "--copy-to-server: not a PostgreSQL connection URI naming a database, or one carrying a password or "
               "an option the program does not pass on: "
            << ServerAddress::masked(uri) << '\n';
        return 1;
    }
    const QString file = QDir::toNativeSeparators(Database::filePath(dataFolder));
    const std::unique_ptr<Database> target = openServer(*server, askPassword, err);
    if (!target)
        return 1;
    if (!Rights::may(*target, Rights::Act::CopyToServer)) {
        err << "Nothing copied: only the head of the clinic may copy a data file onto " << server->displayName()
            << ".\n";
        return 1;
    }
    const ClinicMove::Outcome moved = ClinicMove::copy(dataFolder, *target);
    switch (moved.status) {
    case ClinicMove::Outcome::Status::Copied:
        out << "Copied " << moved.examinees << " examinees from " << file << " to " << server->displayName() << ".\n";
        return 0;
    case ClinicMove::Outcome::Status::CodesTaken:
        err << "Nothing copied: these codes are on " << server->displayName() << " already:\n";
        for (const QString& code : moved.takenCodes)
            err << "  " << code << '\n';
        return 1;
    case ClinicMove::Outcome::Status::CodesDoubled:
        err << "Nothing copied: the data file " << file << " holds each of these codes twice, which the server "
            << "refuses. Delete one of each pair in the lookup window (\"نمايش کد آزمودني\"), then copy again:\n";
        for (const QString& code : moved.doubledCodes)
            err << "  " << code << '\n';
        return 1;
    case ClinicMove::Outcome::Status::NoLocalFile:
        err << "Nothing copied: there is no data file at " << file << ".\n";
        return 1;
    case ClinicMove::Outcome::Status::LocalRefused:
        err << "Nothing copied: the data file " << file << " did not open: " << moved.error << '\n';
        return 1;
    case ClinicMove::Outcome::Status::Failed:
    case ClinicMove::Outcome::Status::Cancelled:
        break;
    }
    err << "Nothing copied: the copy to " << server->displayName() << " failed: " << moved.error << '\n';
    return 1;
}

} // namespace CopyToServer
