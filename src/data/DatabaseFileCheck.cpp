#include "data/DatabaseFileCheck.h"

#include "data/Database.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace DatabaseFileCheck {

namespace {

Outcome found(Verdict verdict, const QString& detail)
{
    Outcome outcome;
    outcome.verdict = verdict;
    outcome.detail = detail;
    return outcome;
}

quint32 bigEndian(const QByteArray& bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | static_cast<quint8>(bytes.at(at + i));
    return value;
}

const QHash<QString, QStringList>& ourTables()
{
    static const QHash<QString, QStringList> tables = {
        { QStringLiteral("IDE"), Database::ideColumns() },
        { QStringLiteral("Answer"), Database::answerColumns() },
        { QStringLiteral("QU"), Database::quColumns() },
        { QStringLiteral("Theme"), Database::themeColumns() },
        { QStringLiteral("PPP"), { QStringLiteral("ID") } },
    };
    return tables;
}

// What the header says before SQLite is asked anything: the magic text, rollback-journal mode (this program never
// uses WAL) and, when the header's page count is current, a file at least as long as its pages.
Outcome inspectHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return found(Verdict::CannotOpen, file.errorString());
    const qint64 size = file.size();
    const QByteArray header = file.read(100);
    if (header.size() < 16 || !header.startsWith(QByteArray("SQLite format 3\0", 16)))
        return found(Verdict::NotSQLite, QStringLiteral("no SQLite header"));
    if (header.size() < 100)
        return found(Verdict::Damaged, QStringLiteral("the header is cut short"));
    if (header.at(18) != 1 || header.at(19) != 1)
        return found(Verdict::NotOurs, QStringLiteral("not in rollback-journal mode"));
    const quint32 rawPageSize = bigEndian(header, 16, 2);
    const qint64 pageSize = rawPageSize == 1 ? 65536 : rawPageSize;
    const quint32 changeCounter = bigEndian(header, 24, 4);
    const quint32 pageCount = bigEndian(header, 28, 4);
    const quint32 validFor = bigEndian(header, 92, 4);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return found(Verdict::Damaged, QStringLiteral("page size %1").arg(pageSize));
    if (validFor == changeCounter && pageCount > 0 && size < pageSize * pageCount)
        return found(Verdict::Damaged,
            QStringLiteral("%1 bytes where %2 pages of %3 bytes belong").arg(size).arg(pageCount).arg(pageSize));
    if (size % pageSize != 0)
        return found(Verdict::Damaged, QStringLiteral("%1 bytes is not a whole number of pages").arg(size));
    return found(Verdict::Ours, QString());
}

QString nextConnectionName()
{
    static std::atomic<int> counter { 0 };
    return QStringLiteral("t35_inspect_%1").arg(++counter);
}

Outcome inspectSchema(QSqlDatabase& db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT type, name, tbl_name FROM sqlite_master")))
        return found(Verdict::Damaged, q.lastError().text());
    QSet<QString> tablesFound;
    while (q.next()) {
        const QString type = q.value(0).toString();
        const QString name = q.value(1).toString();
        const QString table = q.value(2).toString();
        // SQLite's own bookkeeping tables (sqlite_sequence, sqlite_stat1) carry no behaviour.
        if (type == QLatin1String("table") && name.startsWith(QLatin1String("sqlite_")))
            continue;
        if (type == QLatin1String("table") && ourTables().contains(name)) {
            tablesFound.insert(name);
            continue;
        }
        if (type == QLatin1String("index") && ourTables().contains(table))
            continue;
        // Triggers and views run or show something on their own; foreign tables are another program's data.
        return found(Verdict::NotOurs, QStringLiteral("%1 %2").arg(type, name));
    }
    for (auto it = ourTables().cbegin(); it != ourTables().cend(); ++it) {
        if (!tablesFound.contains(it.key()))
            return found(Verdict::NotOurs, QStringLiteral("table %1 is missing").arg(it.key()));
        const QSqlRecord record = db.record(it.key());
        QStringList columns;
        for (int i = 0; i < record.count(); ++i)
            columns << record.fieldName(i);
        QStringList expected = it.value();
        columns.sort();
        expected.sort();
        if (columns != expected)
            return found(Verdict::NotOurs, QStringLiteral("table %1 has other columns").arg(it.key()));
    }
    return found(Verdict::Ours, QString());
}

Outcome inspectIntegrity(QSqlDatabase& db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")))
        return found(Verdict::Damaged, q.lastError().text());
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString();
    if (problems != QStringList { QStringLiteral("ok") })
        return found(Verdict::Damaged, problems.join(QLatin1Char('\n')));
    return found(Verdict::Ours, QString());
}

} // namespace

Outcome inspect(const QString& path)
{
    Outcome header = inspectHeader(path);
    if (!header.ours())
        return header;

    const QString name = nextConnectionName();
    Outcome outcome;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            outcome = found(Verdict::CannotOpen, db.lastError().text());
        } else {
            outcome = inspectSchema(db);
            if (outcome.ours())
                outcome = inspectIntegrity(db);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return outcome;
}

} // namespace DatabaseFileCheck
