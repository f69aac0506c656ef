#include "audit/AuditLinesModel.h"

#include "audit/AuditWords.h"
#include "calendar/SolarHijri.h"
#include "data/AuditTrail.h"
#include "text/ShownNumbers.h"

QVariant AuditLinesModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QIdentityProxyModel::data(index, role);
    const QString stored = QIdentityProxyModel::data(index, role).toString();
    switch (index.column()) {
    case When:
        return shownWhen(stored);
    case What:
        return AuditWords::of(stored);
    case Code:
        return ShownNumbers::text(stored);
    case Detail:
        // A path or "3 rows, without names" reads left to right, a report's title right to left, each from its own
        // first letter, whatever the table's direction.
        return stored.isEmpty() ? stored : QChar(0x2068) + stored + QChar(0x2069);
    default:
        return stored;
    }
}

QString AuditLinesModel::writtenWhen(const QString& stored)
{
    const QDateTime local = AuditTrail::when(stored);
    if (!local.isValid())
        return QString();
    return SolarHijriDate(local.date(), 0) + QLatin1Char(' ') + local.time().toString(QStringLiteral("HH:mm:ss"));
}

QString AuditLinesModel::shownWhen(const QString& stored)
{
    return ShownNumbers::text(writtenWhen(stored));
}
