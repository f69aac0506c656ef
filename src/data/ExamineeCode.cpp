#include "data/ExamineeCode.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/TableCursor.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace ExamineeCode {

namespace {

// Codes that may need rewriting: any character other than printable ASCII, blanks included (one pattern reads each
// code once; a code with an inner blank is looked at and left as it is).
QString candidateCondition(const Engine& engine)
{
    return engine.holdsOtherThanPrintableAscii(QStringLiteral("Code"));
}

} // namespace

Found find(const QString& typed, std::initializer_list<TableCursor*> cursors, TableCursor* alongside)
{
    Found search;
    const QStringList forms = lookupForms(typed);
    if (forms.isEmpty())
        return search;
    search.status = Found::Status::NotFound;
    QList<TableCursor*> read(cursors);
    if (alongside)
        read << alongside;
    for (const QString& form : forms) {
        if (!TableCursor::setFilterTogether(read, QStringLiteral("Code"), form)) {
            for (TableCursor* cursor : read) {
                if (!cursor->readFailed())
                    continue;
                search.status = Found::Status::Failed;
                search.error = cursor->lastError();
                search.busy = cursor->lastErrorIsBusy();
                return search;
            }
            search.status = Found::Status::Failed;
            search.error = read.first()->lastError();
            return search;
        }
        bool any = false;
        for (TableCursor* cursor : cursors)
            any = any || cursor->count() > 0;
        if (any) {
            search.status = Found::Status::Found;
            search.code = form;
            return search;
        }
    }
    return search;
}

Taken isTaken(Database& db, const QString& code)
{
    Taken taken;
    Database::Statement statement
        = db.statement(QStringLiteral("SELECT (SELECT COUNT(*) FROM \"IDE\" WHERE \"Code\" = ?) "
                                      "+ (SELECT COUNT(*) FROM \"Answer\" WHERE \"Code\" = ?)"));
    if (statement) {
        QSqlQuery& q = statement.query();
        q.addBindValue(code);
        q.addBindValue(code);
        if (db.exec(q) && q.next()) {
            taken.read = true;
            taken.taken = q.value(0).toLongLong() > 0;
            return taken;
        }
    }
    taken.error = db.lastError();
    taken.busy = db.lastErrorIsBusy();
    return taken;
}

StoredCodesResult normaliseStoredCodes(QSqlDatabase db)
{
    StoredCodesResult result;
    const auto failed = [&result](const QSqlQuery& q) {
        result.ok = false;
        result.error = q.lastError().text();
        return result;
    };

    const Engine& engine = Engine::of(db);
    // Oldest first, so when two written forms of one code compete, the one registered first gets the plain form.
    QSqlQuery find(db);
    find.setForwardOnly(true);
    if (!find.exec(QStringLiteral("SELECT \"Code\", MIN(r) FROM (SELECT \"Code\", %2 AS r FROM \"IDE\" WHERE %1 "
                                  "UNION ALL SELECT \"Code\", %2 AS r FROM \"Answer\" WHERE %1) c "
                                  "GROUP BY \"Code\" ORDER BY 2")
                       .arg(candidateCondition(engine), engine.rowIdentity())))
        return failed(find);
    QList<QPair<QString, QString>> changes;
    while (find.next()) {
        const QString stored = find.value(0).toString();
        const QString code = normalised(stored);
        if (code != stored && !code.isEmpty())
            changes.append({ stored, code });
    }
    if (find.lastError().isValid())
        return failed(find);
    find.finish();
    if (changes.isEmpty())
        return result;

    QSqlQuery q(db);
    for (const QString& begin : engine.beginWriting())
        if (!q.exec(begin)) {
            const StoredCodesResult refused = failed(q);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return refused;
        }
    QSqlQuery taken(db);
    QSqlQuery ide(db);
    QSqlQuery answer(db);
    // A statement that could not be prepared is never run.
    for (auto [query, sql] : { std::pair { &taken,
                                   QStringLiteral("SELECT (SELECT COUNT(*) FROM \"IDE\" WHERE \"Code\" = ?) + "
                                                  "(SELECT COUNT(*) FROM \"Answer\" WHERE \"Code\" = ?)") },
             std::pair { &ide, QStringLiteral("UPDATE \"IDE\" SET \"Code\" = ? WHERE \"Code\" = ?") },
             std::pair { &answer, QStringLiteral("UPDATE \"Answer\" SET \"Code\" = ? WHERE \"Code\" = ?") } })
        if (result.ok && !query->prepare(sql))
            failed(*query);
    for (const auto& [stored, code] : result.ok ? changes : QList<QPair<QString, QString>>()) {
        taken.addBindValue(code);
        taken.addBindValue(code);
        if (!taken.exec() || !taken.next()) {
            failed(taken);
            break;
        }
        const bool belongsToSomeone = taken.value(0).toInt() > 0;
        taken.finish();
        if (belongsToSomeone) {
            ++result.kept;
            continue;
        }
        for (QSqlQuery* update : { &ide, &answer }) {
            update->addBindValue(code);
            update->addBindValue(stored);
            if (!update->exec()) {
                failed(*update);
                break;
            }
        }
        if (!result.ok)
            break;
        ++result.rewritten;
    }
    if (result.ok && !q.exec(QStringLiteral("COMMIT")))
        failed(q);
    if (!result.ok) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        result.rewritten = 0;
        result.kept = 0;
    }
    return result;
}

} // namespace ExamineeCode
