#include "data/Engine.h"

#include "data/Schema.h"

#include <QSqlError>

namespace Engine {

namespace {

// SQLite's primary result codes: the database file is locked, or a table in it is.
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;

int primaryCode(const QSqlError& error)
{
    bool number = false;
    const int code = error.nativeErrorCode().toInt(&number);
    return number ? (code & 0xFF) : -1;
}

} // namespace

const QString& rowIdentity()
{
    static const QString name = QStringLiteral("rowid");
    return name;
}

QStringList schemaStatements()
{
    QStringList statements;
    for (const Schema::Object& object : Schema::objects())
        statements << object.sql;
    return statements;
}

QString readSchemaVersion()
{
    return QStringLiteral("PRAGMA user_version");
}

QString writeSchemaVersion(int version)
{
    return QStringLiteral("PRAGMA user_version = %1").arg(version);
}

QString beginWriting()
{
    return QStringLiteral("BEGIN IMMEDIATE");
}

QString beginReading()
{
    return QStringLiteral("BEGIN");
}

QString holdsOtherThanPrintableAscii(const QString& column)
{
    return QStringLiteral("\"%1\" GLOB '*[^!-~]*'").arg(column);
}

bool isBusy(const QSqlError& error)
{
    const int code = primaryCode(error);
    return code == SqliteBusy || code == SqliteLocked;
}

bool isCodeTaken(const QSqlError&)
{
    return false;
}

} // namespace Engine
