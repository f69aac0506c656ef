#include "data/Audit.h"

#include "data/Database.h"
#include "data/Schema.h"

#include <QSqlQuery>

namespace Audit {

bool note(Database& db, const QString& action, const QString& code, const QString& detail)
{
    if (!db.isServer())
        return true;
    // Only a server set up with rights keeps a trail.
    if (db.schemaVersion() < Schema::ServerRightsVersion)
        return true;
    Database::Statement statement = db.statement(QStringLiteral("SELECT \"Note\"(?, ?, ?)"));
    if (!statement)
        return false;
    QSqlQuery& noted = statement.query();
    noted.addBindValue(action);
    noted.addBindValue(code.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(code));
    noted.addBindValue(detail.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(detail));
    return db.exec(noted);
}

} // namespace Audit
