#include "app/CopyToServer.h"

#include "data/Database.h"
#include "data/ServerAddress.h"
#include "data/ServerFailure.h"
#include "settings/ClinicMove.h"
#include "settings/ServerLogin.h"

#include <QDir>
#include <QTextStream>

namespace CopyToServer {

int run(const QString& dataFolder, const QString& uri, Messages& messages, QTextStream& out, QTextStream& err)
{
    const std::optional<ServerAddress> server = ServerAddress::fromUri(uri);
    if (!server || !server->isValid()) {
        err << "--copy-to-server: not a PostgreSQL connection URI naming a database, or one carrying a password: "
            << uri << '\n';
        return 1;
    }
    const QString file = QDir::toNativeSeparators(Database::filePath(dataFolder));
    const ServerLogin::Outcome login = ServerLogin::open(*server, messages, nullptr);
    if (!login.ok()) {
        const QSqlError& error = login.opened.connectionError;
        err << "Nothing copied: the server " << server->displayName() << " did not open ("
            << (error.type() != QSqlError::NoError ? ServerFailure::reasonName(ServerFailure::classify(error))
                                                   : "not this program's database")
            << ").\n";
        const QString words
            = error.type() != QSqlError::NoError ? ServerFailure::platformText(error) : login.opened.error;
        if (!words.isEmpty())
            err << words << '\n';
        return 1;
    }
    const ClinicMove::Outcome moved = ClinicMove::copy(dataFolder, *login.database);
    switch (moved.status) {
    case ClinicMove::Outcome::Status::Copied:
        out << "Copied " << moved.examinees << " examinees from " << file << " to " << server->displayName() << ".\n";
        return 0;
    case ClinicMove::Outcome::Status::CodesTaken:
        err << "Nothing copied: these codes are on " << server->displayName() << " already:\n";
        for (const QString& code : moved.takenCodes)
            err << "  " << code << '\n';
        return 1;
    case ClinicMove::Outcome::Status::NoLocalFile:
        err << "Nothing copied: there is no data file at " << file << ".\n";
        return 1;
    case ClinicMove::Outcome::Status::LocalRefused:
        err << "Nothing copied: the data file " << file << " did not open: " << moved.error << '\n';
        return 1;
    case ClinicMove::Outcome::Status::Failed:
        break;
    }
    err << "Nothing copied: the copy to " << server->displayName() << " failed: " << moved.error << '\n';
    return 1;
}

} // namespace CopyToServer
