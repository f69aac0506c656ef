#include "data/Rights.h"

#include "data/Database.h"
#include "data/ServerRights.h"

#include <QSqlQuery>

namespace Rights {

bool may(Database& db, Act act)
{
    switch (act) {
    case Act::RestoreOntoServer:
    case Act::CopyToServer:
    case Act::DeleteOthers:
    case Act::ReadAuditTrail:
    case Act::SetUpCounsellors:
        return ServerRights::standing(db) != ServerRights::Standing::Counsellor;
    }
    return false;
}

bool mayDeleteExaminee(Database& db, const QString& code)
{
    if (ServerRights::standing(db) != ServerRights::Standing::Counsellor)
        return true;
    // Asked of the server, which alone knows whose the code is; one it cannot answer is left to its refusal.
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q, QStringLiteral("SELECT \"NotOthers\"(?)")))
        return true;
    q.addBindValue(code);
    if (!db.exec(q) || !q.next())
        return true;
    return q.value(0).toBool();
}

Person whoIsWorking(Database& db)
{
    const ServerRights::Standing standing = ServerRights::standing(db);
    if (standing == ServerRights::Standing::None)
        return {};
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT session_user")) || !q.next())
        return {};
    return Person{q.value(0).toString(), standing == ServerRights::Standing::Head};
}

} // namespace Rights
