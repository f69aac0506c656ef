#include "data/TableTransfer.h"

#include "data/Database.h"
#include "data/ServerRights.h"
#include "data/Engine.h"
#include "data/ExamineeCode.h"
#include "data/Sql.h"
#include "data/Transaction.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <functional>

namespace TableTransfer {

namespace {

using Sql::quoted;

QStringList columnsOf(const QString& table)
{
    if (table == QLatin1String("IDE"))
        return Database::ideColumns();
    if (table == QLatin1String("Answer"))
        return Database::answerColumns();
    if (table == QLatin1String("Theme"))
        return Database::themeColumns();
    if (table == QLatin1String("Invitation"))
        return { QStringLiteral("Code"), QStringLiteral("TokenHash"), QStringLiteral("Made"), QStringLiteral("Expires"),
            QStringLiteral("State"), QStringLiteral("MadeBy") };
    return { QStringLiteral("FirstCode"), QStringLiteral("SecondCode"), QStringLiteral("Kind") };
}

QString columnList(const QStringList& columns)
{
    QStringList names;
    for (const QString& column : columns)
        names << quoted(column);
    return names.join(QStringLiteral(", "));
}

Result failed(const Database& db)
{
    Result result;
    result.error = db.lastError();
    result.busy = db.lastErrorIsBusy();
    return result;
}

Result failed(const Transaction& transaction)
{
    Result result;
    result.error = transaction.error();
    result.busy = transaction.busy();
    return result;
}

// A code as the target keeps it: a server's codes are all normalised (the program brings them so when it opens one),
// so the source's are written and compared that way too. A code made of nothing visible stays as it was.
QString targetForm(const Database& target, const QString& code)
{
    if (!target.isServer())
        return code;
    const QString normal = ExamineeCode::normalised(code);
    return normal.isEmpty() ? code : normal;
}

bool isCodeColumn(const QString& column)
{
    return column == QLatin1String("Code") || column == QLatin1String("FirstCode")
        || column == QLatin1String("SecondCode");
}

// Whether the source has `table` (a file of an older schema version may lack one).
bool hasTable(Database& db, const QString& table)
{
    return db.isServer() || db.connection().tables().contains(table);
}

// Whether the watcher asked to stop; noted in `result` when it did.
bool stopped(const Watch& watch, Result& result)
{
    if (!watch.cancelled())
        return false;
    result.cancelled = true;
    result.error = QStringLiteral("stopped before the end: nothing was written");
    return true;
}

// The rows written so far against all the rows to write, told to the watcher.
struct Tally {
    const Watch& watch;
    qint64 total = 0;
    qint64 written = 0;

    void add(qint64 rows)
    {
        written += rows;
        if (watch.progress)
            watch.progress(written, total);
    }
};

// Rows go to the target this many at a time, in one statement: a server answers each statement over the network,
// and one per row would make a clinic's backup a matter of minutes.
constexpr int batchRows = 200;

QString insertStatement(const QString& table, const QStringList& columns, int rows)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString row = QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << row;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(quoted(table), columnList(columns), values.join(QStringLiteral(", ")));
}

// Streams every row of `table` from the source into the target, in the order the rows were stored.
bool copyRows(Database& source, Database& target, const QString& table, int& rows, Tally& tally, Result& result)
{
    if (!hasTable(source, table))
        return true;
    if (stopped(tally.watch, result))
        return false;
    const QStringList columns = columnsOf(table);
    QSqlQuery read(source.connection());
    read.setForwardOnly(true);
    if (!source.prepare(read,
            QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                .arg(columnList(columns), quoted(table), source.engine().rowIdentity()))
        || !source.exec(read)) {
        result = failed(source);
        return false;
    }
    QSqlQuery whole(target.connection());
    // Prepared when first needed: a table of fewer rows never needs it.
    bool wholePrepared = false;
    QVariantList pending;
    int pendingRows = 0;
    const auto flush = [&] {
        if (pendingRows == 0)
            return true;
        if (stopped(tally.watch, result))
            return false;
        QSqlQuery last(target.connection());
        QSqlQuery& write = pendingRows == batchRows ? whole : last;
        const bool prepared = pendingRows == batchRows
            ? (wholePrepared || (wholePrepared = target.prepare(whole, insertStatement(table, columns, batchRows))))
            : target.prepare(last, insertStatement(table, columns, pendingRows));
        if (!prepared) {
            result = failed(target);
            return false;
        }
        for (qsizetype i = 0; i < pending.size(); ++i)
            write.bindValue(int(i), pending.at(i));
        if (!target.exec(write)) {
            result = failed(target);
            return false;
        }
        rows += pendingRows;
        tally.add(pendingRows);
        pending.clear();
        pendingRows = 0;
        return true;
    };
    while (read.next()) {
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const QVariant value = read.value(int(i));
            // Every column is text; an empty one stays empty rather than becoming a number or NULL's absence.
            pending << (value.isNull()                 ? QVariant(QMetaType::fromType<QString>())
                    : isCodeColumn(columns.at(i)) ? QVariant(targetForm(target, value.toString()))
                                                   : QVariant(value.toString()));
        }
        if (++pendingRows == batchRows && !flush())
            return false;
    }
    if (read.lastError().isValid()) {
        result.error = read.lastError().text();
        return false;
    }
    return flush();
}

// Every code of `table` in `db`, in `form`, in the order the rows were stored (doubles included).
bool readCodes(Database& db, const QString& table, const std::function<QString(const QString&)>& form,
    QStringList& codes, Result& result)
{
    if (!hasTable(db, table))
        return true;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q, QStringLiteral("SELECT \"Code\" FROM %1 ORDER BY %2").arg(quoted(table), db.engine().rowIdentity()))
        || !db.exec(q)) {
        result = failed(db);
        return false;
    }
    while (q.next())
        codes << form(q.value(0).toString());
    return true;
}

// The codes of the source that two of its rows of one table share, as the target would keep them; none when the
// target is a data file, which takes them as they are.
bool findDoubledCodes(Database& source, const Database& target, Result& result)
{
    if (!target.isServer())
        return true;
    const auto form = [&target](const QString& code) { return targetForm(target, code); };
    for (const QString& table : { QStringLiteral("IDE"), QStringLiteral("Answer") }) {
        QStringList codes;
        if (!readCodes(source, table, form, codes, result))
            return false;
        QSet<QString> seen;
        for (const QString& code : std::as_const(codes)) {
            if (seen.contains(code) && !result.doubledCodes.contains(code))
                result.doubledCodes << code;
            seen.insert(code);
        }
    }
    if (!result.doubledCodes.isEmpty())
        result.error = QStringLiteral("codes held by two rows of one table: %1")
                           .arg(result.doubledCodes.join(QStringLiteral(", ")));
    return result.doubledCodes.isEmpty();
}

// How many rows `names` hold in the source, for a watcher's progress.
bool countRows(Database& source, const QStringList& names, qint64& total, Result& result)
{
    for (const QString& table : names) {
        if (!hasTable(source, table))
            continue;
        QSqlQuery q(source.connection());
        q.setForwardOnly(true);
        if (!source.prepare(q, QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(table))) || !source.exec(q)
            || !q.next()) {
            result = failed(source);
            return false;
        }
        total += q.value(0).toLongLong();
    }
    return true;
}

// Copies the rows of `names`, in order; the examinees copied are the rows of IDE.
bool copyTables(Database& source, Database& target, const QStringList& names, const Watch& watch, Result& result)
{
    Tally tally { watch };
    if (watch.progress && !countRows(source, names, tally.total, result))
        return false;
    tally.add(0);
    for (const QString& table : names) {
        int rows = 0;
        if (!copyRows(source, target, table, rows, tally, result))
            return false;
        if (table == QLatin1String("IDE"))
            result.examinees = rows;
    }
    return true;
}

// Runs `work` with the source read in one snapshot and the target written in one transaction, which is stored only
// when `work` succeeds.
template <typename Work>
Result betweenTransactions(Database& source, Database& target, const Watch& watch, Work work)
{
    Transaction reading(source, Transaction::Kind::Read);
    if (!reading.begun())
        return failed(reading);
    Transaction writing(target);
    if (!writing.begun())
        return failed(writing);
    Result result;
    // Writing a whole clinic's rows onto a server with counsellors' rights is the head's.
    if (!ServerRights::headOnly(target))
        return failed(target);
    if (!work(result) || stopped(watch, result))
        return result;
    if (!writing.commit())
        return failed(writing);
    result.ok = true;
    return result;
}

} // namespace

const QStringList& tables()
{
    // Invitations go with the examinees: a restored backup keeps the links the clinic has handed out (open ones stay
    // open, finished ones finished) rather than revoking them all without a word.
    static const QStringList names { QStringLiteral("IDE"), QStringLiteral("Answer"), QStringLiteral("Theme"),
        QStringLiteral("ComparedPairs"), QStringLiteral("Invitation") };
    return names;
}

Result replaceAll(Database& source, Database& target, const Watch& watch)
{
    return betweenTransactions(source, target, watch, [&](Result& result) {
        if (!findDoubledCodes(source, target, result))
            return false;
        for (const QString& table : tables())
            if (!target.exec(QStringLiteral("DELETE FROM %1").arg(quoted(table)))) {
                result = failed(target);
                return false;
            }
        return copyTables(source, target, tables(), watch, result);
    });
}

Result addExaminees(Database& source, Database& target, const Watch& watch)
{
    return betweenTransactions(source, target, watch, [&](Result& result) {
        if (!findDoubledCodes(source, target, result))
            return false;
        const auto asTargetKeepsIt = [&target](const QString& code) { return targetForm(target, code); };
        const auto asStored = [](const QString& code) { return code; };
        QStringList sourceCodes;
        QStringList targetCodes;
        for (const QString& table : { QStringLiteral("IDE"), QStringLiteral("Answer") }) {
            if (!readCodes(source, table, asTargetKeepsIt, sourceCodes, result)
                || !readCodes(target, table, asStored, targetCodes, result))
                return false;
        }
        const QSet<QString> held(targetCodes.cbegin(), targetCodes.cend());
        for (const QString& code : std::as_const(sourceCodes))
            if (held.contains(code) && !result.takenCodes.contains(code))
                result.takenCodes << code;
        // The source's invitations are all for its own examinees, none of whom the target holds: the links handed
        // out before a clinic moved onto its server still open the same answer sheets there.
        return result.takenCodes.isEmpty()
            && copyTables(source, target,
                { QStringLiteral("IDE"), QStringLiteral("Answer"), QStringLiteral("ComparedPairs"),
                    QStringLiteral("Invitation") },
                watch, result);
    });
}

} // namespace TableTransfer
