#include "data/Audit.h"

#include "data/Database.h"
#include "data/Schema.h"
#include "data/Sql.h"

#include <QSqlQuery>

#include <pwd.h>
#include <unistd.h>

namespace Audit {

namespace {

using Sql::quoted;

// Now, as the file's trail keeps it: UTC in ISO 8601 with milliseconds, so text order is time order.
const QString fileNow = QStringLiteral("strftime('%Y-%m-%dT%H:%M:%fZ', 'now')");

QString literal(const QString& text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QVariant orNull(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

bool noteOnServer(Database& db, const QString& action, const QString& code, const QString& detail)
{
    // Only a server set up with rights keeps a trail.
    if (db.schemaVersion() < Schema::ServerRightsVersion)
        return true;
    Database::Statement statement = db.statement(QStringLiteral("SELECT \"Note\"(?, ?, ?)"));
    if (!statement)
        return false;
    QSqlQuery& noted = statement.query();
    noted.addBindValue(action);
    noted.addBindValue(orNull(code));
    noted.addBindValue(orNull(detail));
    return db.exec(noted);
}

} // namespace

bool note(Database& db, const QString& action, const QString& code, const QString& detail)
{
    if (db.isServer())
        return noteOnServer(db, action, code, detail);
    Database::Statement statement = db.statement(
        QStringLiteral("INSERT INTO \"AuditLog\" (\"When\", \"Who\", \"What\", \"Code\", \"Detail\") VALUES (%1, ?, ?, ?, ?)")
            .arg(fileNow));
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    q.addBindValue(computerUser());
    q.addBindValue(action);
    q.addBindValue(orNull(code));
    q.addBindValue(orNull(detail));
    return db.exec(q);
}

QString computerUser()
{
    for (const char* name : { "USER", "LOGNAME", "USERNAME" }) {
        const QString value = qEnvironmentVariable(name).trimmed();
        if (!value.isEmpty())
            return value;
    }
    // Started without a login's environment (a service): the account the program runs as.
    if (const passwd* account = getpwuid(geteuid()); account && account->pw_name)
        return QString::fromLocal8Bit(account->pw_name);
    return QString::number(geteuid());
}

QStringList fileTriggerStatements(const QString& who)
{
    // What each table's line says beside its action, as the server's trail takes it from the row: the code (the
    // first code of a pair), and the second code of a pair or the state of an invitation.
    struct Audited {
        QString table;
        QString code;
        QString detail;
    };
    const Audited tables[] = {
        { QStringLiteral("IDE"), QStringLiteral("Code"), QString() },
        { QStringLiteral("Answer"), QStringLiteral("Code"), QString() },
        { QStringLiteral("ComparedPairs"), QStringLiteral("FirstCode"), QStringLiteral("SecondCode") },
        { QStringLiteral("Invitation"), QStringLiteral("Code"), QStringLiteral("State") },
    };
    QStringList statements;
    for (const Audited& audited : tables) {
        for (const QString& event : { QStringLiteral("INSERT"), QStringLiteral("UPDATE"), QStringLiteral("DELETE") }) {
            const QString row = event == QLatin1String("DELETE") ? QStringLiteral("OLD.") : QStringLiteral("NEW.");
            const QString name = audited.table + QStringLiteral("_Audit_") + event.toLower();
            statements << QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS %1 AFTER %2 ON main.%3 BEGIN "
                                         "INSERT INTO \"AuditLog\" (\"When\", \"Who\", \"What\", \"Code\", \"Detail\") "
                                         "VALUES (%4, %5, %6, %7, %8); END")
                              .arg(quoted(name), event, quoted(audited.table), fileNow, literal(who),
                                  literal(audited.table + QLatin1Char(' ') + event.toLower()),
                                  row + quoted(audited.code),
                                  audited.detail.isEmpty() ? QStringLiteral("NULL") : row + quoted(audited.detail));
        }
    }
    return statements;
}

} // namespace Audit
