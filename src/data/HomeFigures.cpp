#include "data/HomeFigures.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/QuestionnaireItems.h"
#include "data/Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace HomeFigures {
namespace {

using Schema::everyItemAnswered;

// Counted by the engine from the index of complete answer rows (the same condition word for word, so both engines
// take the index): the window opens on every hand-back and may not wait for every row to be read.
QString answeredCount()
{
    return QStringLiteral("SELECT COUNT(*) FROM \"Answer\" WHERE ") + everyItemAnswered();
}

bool run(Database& db, QSqlQuery& query, Figures& figures)
{
    if (db.exec(query))
        return true;
    figures.error = query.lastError().text();
    figures.busy = db.engine().isBusy(query.lastError());
    return false;
}

bool prepare(Database& db, QSqlQuery& query, const QString& sql, Figures& figures)
{
    if (db.prepare(query, sql))
        return true;
    figures.error = db.lastError();
    figures.busy = db.lastErrorIsBusy();
    return false;
}

bool count(Database& db, const QString& sql, int& value, Figures& figures)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(true);
    if (!prepare(db, query, sql, figures) || !run(db, query, figures))
        return false;
    value = query.next() ? query.value(0).toInt() : 0;
    return true;
}

// SQLite's count of changes to the file made through other connections (another program on the same file).
bool dataVersion(Database& db, qint64& version, Figures& figures)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("PRAGMA data_version")) || !run(db, query, figures))
        return false;
    version = query.next() ? query.value(0).toLongLong() : -1;
    return true;
}

// The data file's complete answer rows, read once, and again when another connection has changed the file since;
// kept in between by answerRowStored and answerRowRemoved.
bool keptAnswered(Database& db, int& value, Figures& figures)
{
    // Nearly every registered examinee has one answer row: room for them all at once rather than growing.
    const qsizetype expected = figures.registered;
    std::optional<Database::KeptAnswers>& kept = db.keptAnswers();
    qint64 version = 0;
    if (!dataVersion(db, version, figures))
        return false;
    if (!kept || kept->dataVersion != version) {
        QSqlQuery query(db.connection());
        query.setForwardOnly(true);
        if (!query.prepare(QStringLiteral("SELECT %1 FROM \"Answer\" WHERE %2")
                               .arg(db.engine().rowIdentity(), everyItemAnswered()))
            || !run(db, query, figures))
            return false;
        Database::KeptAnswers read;
        read.dataVersion = version;
        read.complete.reserve(expected);
        while (query.next())
            read.complete.insert(query.value(0).toLongLong());
        kept = std::move(read);
    }
    value = static_cast<int>(kept->complete.size());
    return true;
}

// On the server, which other counsellors write to as well, everything is counted each time: the two counts and the
// newest rows in one statement, one round trip (a kept statement: the server plans it once per connection).
Figures readFromServer(Database& db, int recentCount)
{
    Figures figures;
    Database::Statement statement = db.statement(
        QStringLiteral("SELECT c.registered, c.answered, r.\"Code\", r.\"FName\", r.\"LName\", r.\"Date\" "
                       "FROM (SELECT (SELECT COUNT(*) FROM \"IDE\") AS registered, (%1) AS answered) c "
                       "LEFT JOIN (SELECT %2 AS id, \"Code\", \"FName\", \"LName\", \"Date\" FROM \"IDE\" "
                       "ORDER BY %2 DESC LIMIT ?) r ON true ORDER BY r.id DESC")
            .arg(answeredCount(), db.engine().rowIdentity()));
    if (!statement) {
        figures.error = db.lastError();
        figures.busy = db.lastErrorIsBusy();
        return figures;
    }
    QSqlQuery& query = statement.query();
    query.addBindValue(qMax(0, recentCount));
    if (!run(db, query, figures))
        return figures;
    while (query.next()) {
        figures.registered = query.value(0).toInt();
        figures.answered = query.value(1).toInt();
        if (!query.isNull(2))
            figures.recent.append({ query.value(2).toString(), query.value(3).toString(), query.value(4).toString(),
                query.value(5).toString() });
    }
    if (query.lastError().isValid()) {
        figures.error = query.lastError().text();
        figures.busy = db.engine().isBusy(query.lastError());
        return figures;
    }
    figures.read = true;
    return figures;
}

} // namespace

Figures read(Database& db, int recentCount)
{
    if (db.engine().isServer())
        return readFromServer(db, recentCount);
    Figures figures;
    if (!count(db, QStringLiteral("SELECT COUNT(*) FROM \"IDE\""), figures.registered, figures))
        return figures;
    if (!keptAnswered(db, figures.answered, figures))
        return figures;

    // Rows are numbered in the order they were stored: the highest are the newest.
    QSqlQuery recent(db.connection());
    recent.setForwardOnly(true);
    if (!prepare(db, recent,
            QStringLiteral("SELECT \"Code\", \"FName\", \"LName\", \"Date\" FROM \"IDE\" ORDER BY %1 DESC LIMIT ?")
                .arg(db.engine().rowIdentity()),
            figures))
        return figures;
    recent.addBindValue(qMax(0, recentCount));
    if (!run(db, recent, figures))
        return figures;
    while (recent.next())
        figures.recent.append({ recent.value(0).toString(), recent.value(1).toString(), recent.value(2).toString(),
            recent.value(3).toString() });
    figures.read = true;
    return figures;
}

void answerRowStored(Database& db, qint64 rowId)
{
    std::optional<Database::KeptAnswers>& kept = db.keptAnswers();
    if (!kept)
        return;
    // The row as stored, read by its identity alone.
    Database::Statement statement = db.statement(
        QStringLiteral("SELECT %1 FROM \"Answer\" WHERE %1 = ? AND %2").arg(db.engine().rowIdentity(), everyItemAnswered()));
    if (!statement) {
        kept.reset();
        return;
    }
    QSqlQuery& query = statement.query();
    query.addBindValue(rowId);
    if (!db.exec(query)) {
        kept.reset();
        return;
    }
    if (query.next())
        kept->complete.insert(rowId);
    else
        kept->complete.remove(rowId);
}

void answerRowRemoved(Database& db, qint64 rowId)
{
    if (std::optional<Database::KeptAnswers>& kept = db.keptAnswers())
        kept->complete.remove(rowId);
}

void answerRowsRemoved(Database& db)
{
    db.keptAnswers().reset();
}

} // namespace HomeFigures
