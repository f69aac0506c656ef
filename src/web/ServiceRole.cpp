#include "web/ServiceRole.h"

#include "data/QuestionnaireItems.h"

namespace ServiceRole {

namespace {

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace

QStringList grantStatements(const QString& role, const QString& database)
{
    QStringList items;
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        items << quoted(QString::number(item));
    const QString who = quoted(role);
    return {
        QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2").arg(quoted(database), who),
        QStringLiteral("GRANT USAGE ON SCHEMA public TO %1").arg(who),
        QStringLiteral("GRANT SELECT ON \"SchemaVersion\", \"QU\", \"Theme\", \"Invitation\", \"Answer\" TO %1").arg(who),
        // Codes only, which every program reads at start to see that they are in their present form; never a name.
        QStringLiteral("GRANT SELECT (rowid, \"Code\") ON \"IDE\" TO %1").arg(who),
        QStringLiteral("GRANT UPDATE (\"State\", \"Changed\") ON \"Invitation\" TO %1").arg(who),
        QStringLiteral("GRANT UPDATE (%1) ON \"Answer\" TO %2").arg(items.join(QStringLiteral(", ")), who),
    };
}

} // namespace ServiceRole
