#include "data/DatabaseChoice.h"

#include "text/ProgramSettings.h"

#include <QSettings>

namespace {

const QString kindKey = QStringLiteral("database/kind");
const QString hostKey = QStringLiteral("database/host");
const QString portKey = QStringLiteral("database/port");
const QString nameKey = QStringLiteral("database/name");
const QString userKey = QStringLiteral("database/user");
const QString optionsKey = QStringLiteral("database/options");
const QString schemaKey = QStringLiteral("database/schema");

const QString localKind = QStringLiteral("local");
const QString serverKind = QStringLiteral("server");

} // namespace

ServerAddress DatabaseChoice::storedServer()
{
    const QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
    ServerAddress server;
    server.host = settings.value(hostKey).toString();
    bool number = false;
    const int port = settings.value(portKey, 5432).toInt(&number);
    server.port = number && port >= 1 && port <= 65535 ? port : 5432;
    server.database = settings.value(nameKey).toString();
    server.user = settings.value(userKey).toString();
    server.options = settings.value(optionsKey).toString();
    server.schema = settings.value(schemaKey).toString();
    return server;
}

DatabaseChoice DatabaseChoice::stored()
{
    DatabaseChoice choice;
    {
        const QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
        if (settings.value(kindKey).toString() != serverKind)
            return choice;
    }
    // A server choice stays one even when it names no database: start-up refuses it rather than open the file on
    // this computer, which would split the clinic's data.
    choice.kind = Kind::Server;
    choice.server = storedServer();
    // Options the program does not pass on (a password among them) make the choice name no database: start-up
    // refuses it.
    if (!choice.server.optionsAllowed())
        choice.server.database.clear();
    return choice;
}

bool DatabaseChoice::store() const
{
    // Never a password, nor any keyword the program would not pass on, in the settings file.
    if (isServer() && !server.optionsAllowed())
        return false;
    QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
    settings.setValue(kindKey, isServer() ? serverKind : localKind);
    // The server last chosen stays written under a local choice, so the panel offers it again.
    if (isServer()) {
        settings.setValue(hostKey, server.host);
        settings.setValue(portKey, server.port);
        settings.setValue(nameKey, server.database);
        settings.setValue(userKey, server.user);
        settings.setValue(optionsKey, server.options);
        if (server.schema.isEmpty())
            settings.remove(schemaKey);
        else
            settings.setValue(schemaKey, server.schema);
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

std::optional<DatabaseChoice> DatabaseChoice::forRun(const QString& databaseUri, QString& error)
{
    if (databaseUri.isEmpty())
        return stored();
    const std::optional<ServerAddress> server = ServerAddress::fromUri(databaseUri);
    if (!server || !server->isValid()) {
        error = QStringLiteral("--database: not a PostgreSQL connection URI naming a database, or one carrying a "
                               "password or an option the program does not pass on: %1")
                    .arg(ServerAddress::masked(databaseUri));
        return std::nullopt;
    }
    DatabaseChoice choice;
    choice.kind = Kind::Server;
    choice.server = *server;
    // The URI names no schema: the one the settings name, when they name one for this same database.
    const ServerAddress stored = storedServer();
    if (stored.host == server->host && stored.port == server->port && stored.database == server->database)
        choice.server.schema = stored.schema;
    return choice;
}
