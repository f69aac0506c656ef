#include "data/Audit.h"

#include "data/Database.h"
#include "data/Schema.h"

#include <QSqlQuery>

namespace Audit {

bool note(Database& db, const QString& action, const QString& code, const QString& detail)
{
    if (!db.isServer())
        return true;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q, QStringLiteral("SELECT \"Version\" FROM \"SchemaVersion\"")) || !db.exec(q) || !q.next())
        return false;
    if (q.value(0).toInt() < Schema::ServerRightsVersion)
        return true;
    QSqlQuery noted(db.connection());
    if (!db.prepare(noted, QStringLiteral("SELECT \"Note\"(?, ?, ?)")))
        return false;
    noted.addBindValue(action);
    noted.addBindValue(code.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(code));
    noted.addBindValue(detail.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(detail));
    return db.exec(noted);
}

} // namespace Audit
