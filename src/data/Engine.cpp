#include "data/Engine.h"

#include "data/Schema.h"
#include "data/Sql.h"

#include <QSqlDatabase>
#include <QSqlError>

namespace {

using Sql::quoted;

class SqliteEngine final : public Engine {
public:
    QString driver() const override { return QStringLiteral("QSQLITE"); }
    bool isServer() const override { return false; }

    QStringList schemaStatements() const override
    {
        QStringList statements;
        for (const Schema::Object& object : Schema::objects())
            statements << object.sql;
        return statements;
    }
    QStringList upgradeStatements(int from) const override { return Schema::upgradeStatements(from); }

    QString readSchemaVersion() const override { return QStringLiteral("PRAGMA user_version"); }
    QStringList writeSchemaVersion(int version) const override
    {
        return { QStringLiteral("PRAGMA user_version = %1").arg(version) };
    }

    QStringList beginWriting() const override { return { QStringLiteral("BEGIN IMMEDIATE") }; }
    QString beginReading() const override { return QStringLiteral("BEGIN"); }
    QString writerLockCondition() const override { return QString(); }
    QString returningIdentity() const override { return QString(); }

    QString holdsOtherThanPrintableAscii(const QString& column) const override
    {
        return QStringLiteral("%1 GLOB '*[^!-~]*'").arg(quoted(column));
    }

    QString lockWait(int milliseconds) const override
    {
        return QStringLiteral("PRAGMA busy_timeout = %1").arg(milliseconds);
    }

    bool isBusy(const QSqlError& error) const override
    {
        const int code = primaryCode(error);
        return code == SqliteBusy || code == SqliteLocked;
    }
    bool isCodeTaken(const QSqlError&) const override { return false; }
    bool isConnectionLost(const QSqlError&) const override { return false; }

private:
    // SQLite's primary result codes: the database file is locked, or a table in it is.
    static constexpr int SqliteBusy = 5;
    static constexpr int SqliteLocked = 6;

    static int primaryCode(const QSqlError& error)
    {
        bool number = false;
        const int code = error.nativeErrorCode().toInt(&number);
        return number ? (code & 0xFF) : -1;
    }
};

class ServerEngine final : public Engine {
public:
    QString driver() const override { return QStringLiteral("QPSQL"); }
    bool isServer() const override { return true; }

    QStringList schemaStatements() const override
    {
        QStringList statements = objectStatements(-1);
        statements << QStringLiteral("CREATE TABLE \"SchemaVersion\" (\"Version\" integer NOT NULL)");
        return statements;
    }
    QStringList upgradeStatements(int from) const override { return objectStatements(from); }

    QString readSchemaVersion() const override { return QStringLiteral("SELECT \"Version\" FROM \"SchemaVersion\""); }
    QStringList writeSchemaVersion(int version) const override
    {
        return { QStringLiteral("DELETE FROM \"SchemaVersion\""),
            QStringLiteral("INSERT INTO \"SchemaVersion\" (\"Version\") VALUES (%1)").arg(version) };
    }

    // Read committed, each statement seeing what others stored before it, and one writer at a time through a lock
    // of this program's own that the server lets go with the transaction, as the data file's writer lock does.
    QStringList beginWriting() const override
    {
        return { QStringLiteral("BEGIN ISOLATION LEVEL READ COMMITTED"),
            QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(WriterLock) };
    }
    QString beginReading() const override { return QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"); }
    // A subquery that reads no table: the server takes the lock once, before the statement reads a row, and lets
    // it go with the statement's own transaction.
    QString writerLockCondition() const override
    {
        return QStringLiteral("(SELECT pg_advisory_xact_lock(%1)) IS NOT NULL").arg(WriterLock);
    }
    QString returningIdentity() const override { return QStringLiteral(" RETURNING ") + rowIdentity(); }

    QString holdsOtherThanPrintableAscii(const QString& column) const override
    {
        return QStringLiteral("%1 ~ '[^!-~]'").arg(quoted(column));
    }

    // 0 would mean no limit at all to the server.
    QString lockWait(int milliseconds) const override
    {
        return QStringLiteral("SET lock_timeout = %1").arg(qMax(1, milliseconds));
    }

    bool isBusy(const QSqlError& error) const override
    {
        const QString state = error.nativeErrorCode();
        return state == QLatin1String("55P03") || state == QLatin1String("40001") || state == QLatin1String("40P01");
    }
    bool isCodeTaken(const QSqlError& error) const override
    {
        return error.nativeErrorCode() == QLatin1String("23505");
    }
    bool isConnectionLost(const QSqlError& error) const override
    {
        if (error.type() == QSqlError::ConnectionError)
            return true;
        const QString state = error.nativeErrorCode();
        return state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01")
            || state == QLatin1String("57P02") || state == QLatin1String("57P03");
    }

private:
    // The key of the writers' lock: any number, the same in every copy of the program.
    static constexpr int WriterLock = 350035;

    // Tables (each with its identity column first) and indexes of versions after `from`, up to what the program
    // makes on a server by itself. The code of an examinee is
    // unique in IDE and in Answer, so two programs can never store one code twice.
    static QStringList objectStatements(int from)
    {
        QStringList statements;
        for (const Schema::Object& object : Schema::objects()) {
            if (object.version <= from || object.version > Schema::ServerVersion)
                continue;
            if (object.kind == Schema::Object::Kind::Table) {
                QStringList definitions { Engine::server().rowIdentity()
                    + QStringLiteral(" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY") };
                for (const QString& column : object.columns)
                    definitions << quoted(column) + QStringLiteral(" text");
                statements << QStringLiteral("CREATE TABLE %1 (%2)")
                                  .arg(quoted(object.name), definitions.join(QStringLiteral(", ")));
            } else {
                const bool unique = object.where.isEmpty() && object.columns.value(0) == QLatin1String("Code")
                    && (object.table == QLatin1String("IDE") || object.table == QLatin1String("Answer"));
                statements << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                                      .arg(unique ? QStringLiteral("UNIQUE ") : QString(), quoted(object.name),
                                          quoted(object.table), quoted(object.columns.value(0)))
                        + (object.where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + object.where);
            }
        }
        return statements;
    }
};

} // namespace

const Engine& Engine::sqlite()
{
    static const SqliteEngine engine;
    return engine;
}

const Engine& Engine::server()
{
    static const ServerEngine engine;
    return engine;
}

const Engine& Engine::of(const QSqlDatabase& db)
{
    return db.driverName() == server().driver() ? server() : sqlite();
}

const QString& Engine::rowIdentity() const
{
    static const QString name = QStringLiteral("rowid");
    return name;
}
