#include "data/Sharing.h"

#include "data/Database.h"
#include "data/ServerRights.h"

#include <QSqlQuery>

namespace Sharing {

namespace {

// The server's code for a row its policies refused to write.
const QString refusedByPolicy = QStringLiteral("42501");

Result failed(Database& db)
{
    return { Outcome::Failed, db.lastError(), db.lastErrorIsBusy() };
}

// How many shares of `code` (with `colleague`, when named) the login sees; -1 when they could not be read.
int sharesSeen(Database& db, const QString& code, const QString& colleague)
{
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM \"ExamineeShare\" WHERE \"Code\" = ?")
        + (colleague.isEmpty() ? QString() : QStringLiteral(" AND \"Colleague\" = ?"));
    if (!db.prepare(q, sql))
        return -1;
    q.addBindValue(code);
    if (!colleague.isEmpty())
        q.addBindValue(colleague);
    if (!db.exec(q) || !q.next())
        return -1;
    return q.value(0).toInt();
}

} // namespace

bool offered(Database& db)
{
    return ServerRights::standing(db) != ServerRights::Standing::None;
}

Colleagues colleagues(Database& db)
{
    Colleagues result;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    // The catalogue of roles is every login's to read; the administrator (a superuser, a member of every group) is
    // nobody's colleague.
    if (!db.prepare(q, QStringLiteral("SELECT r.rolname FROM pg_roles r WHERE r.rolcanlogin AND NOT r.rolsuper "
                                      "AND r.rolname <> session_user AND (pg_has_role(r.oid, ?, 'MEMBER') "
                                      "OR pg_has_role(r.oid, ?, 'MEMBER')) ORDER BY r.rolname"))) {
        result.error = db.lastError();
        result.busy = db.lastErrorIsBusy();
        return result;
    }
    q.addBindValue(ServerRights::HeadRole);
    q.addBindValue(ServerRights::CounsellorRole);
    if (!db.exec(q)) {
        result.error = db.lastError();
        result.busy = db.lastErrorIsBusy();
        return result;
    }
    while (q.next())
        result.names << q.value(0).toString();
    result.read = true;
    return result;
}

Result share(Database& db, const QString& code, const QString& colleague)
{
    const Colleagues known = colleagues(db);
    if (!known.read)
        return { Outcome::Failed, known.error, known.busy };
    if (!known.names.contains(colleague))
        return { Outcome::NoSuchColleague, QString(), false };
    QSqlQuery q(db.connection());
    if (!db.prepare(q, QStringLiteral("INSERT INTO \"ExamineeShare\" (\"Code\", \"Colleague\") VALUES (?, ?) "
                                      "ON CONFLICT DO NOTHING")))
        return failed(db);
    q.addBindValue(code);
    q.addBindValue(colleague);
    if (!db.exec(q))
        return db.lastErrorCode() == refusedByPolicy ? Result { Outcome::NotMine, QString(), false } : failed(db);
    return { Outcome::Done, QString(), false };
}

Result takeBack(Database& db, const QString& code, const QString& colleague)
{
    QSqlQuery q(db.connection());
    const QString sql = QStringLiteral("DELETE FROM \"ExamineeShare\" WHERE \"Code\" = ?")
        + (colleague.isEmpty() ? QString() : QStringLiteral(" AND \"Colleague\" = ?"));
    if (!db.prepare(q, sql))
        return failed(db);
    q.addBindValue(code);
    if (!colleague.isEmpty())
        q.addBindValue(colleague);
    if (!db.exec(q))
        return failed(db);
    if (q.numRowsAffected() > 0)
        return { Outcome::Done, QString(), false };
    // Nothing went: either nothing was shared, or the share seen is one the login may not take back (shared with
    // the login by the examinee's counsellor), which the server leaves in place without a word.
    const int seen = sharesSeen(db, code, colleague);
    if (seen < 0)
        return failed(db);
    return { seen > 0 ? Outcome::NotMine : Outcome::NotShared, QString(), false };
}

Shares visible(Database& db)
{
    Shares shares;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q, QStringLiteral("SELECT CAST(session_user AS text)")) || !db.exec(q) || !q.next()) {
        shares.error = db.lastError();
        return shares;
    }
    shares.me = q.value(0).toString();
    QSqlQuery rows(db.connection());
    rows.setForwardOnly(true);
    if (!db.prepare(rows, QStringLiteral("SELECT \"Code\", \"Colleague\" FROM \"ExamineeShare\" ORDER BY \"Colleague\""))
        || !db.exec(rows)) {
        shares.error = db.lastError();
        return shares;
    }
    while (rows.next())
        shares.colleaguesByCode[rows.value(0).toString()] << rows.value(1).toString();
    shares.read = true;
    return shares;
}

} // namespace Sharing
