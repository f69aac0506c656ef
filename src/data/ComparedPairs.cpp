#include "data/ComparedPairs.h"

#include "data/Database.h"
#include "data/Transaction.h"

#include <QSqlQuery>

namespace {

const QString table = QStringLiteral("ComparedPairs");
const QString firstColumn = QStringLiteral("FirstCode");
const QString secondColumn = QStringLiteral("SecondCode");
const QString kindColumn = QStringLiteral("Kind");

} // namespace

ComparedPairs::ComparedPairs(Database& db)
    : m_db(db)
    , m_asFirst(db, table)
    , m_asSecond(db, table)
{
}

bool ComparedPairs::failed(const TableCursor& cursor)
{
    m_error = cursor.lastError();
    m_busy = cursor.lastErrorIsBusy();
    return false;
}

bool ComparedPairs::remember(const Pair& pair)
{
    m_error.clear();
    m_busy = false;
    m_missingCodes.clear();
    Transaction transaction(m_db);
    if (!transaction.begun()) {
        m_error = transaction.error();
        m_busy = transaction.busy();
        return false;
    }
    // Inside the write transaction, so no other program deletes either examinee before the pair is stored.
    for (const QString& code : { pair.firstCode, pair.secondCode }) {
        QSqlQuery registered(m_db.connection());
        registered.setForwardOnly(true);
        if (!m_db.prepare(registered, QStringLiteral("SELECT COUNT(*) FROM \"IDE\" WHERE \"Code\" = ?"))) {
            m_error = m_db.lastError();
            m_busy = m_db.lastErrorIsBusy();
            return false;
        }
        registered.addBindValue(code);
        if (!m_db.exec(registered) || !registered.next()) {
            m_error = m_db.lastError();
            m_busy = m_db.lastErrorIsBusy();
            return false;
        }
        if (registered.value(0).toInt() == 0 && !m_missingCodes.contains(code))
            m_missingCodes << code;
    }
    if (!m_missingCodes.isEmpty()) {
        m_error = QStringLiteral("no examinee has the code %1").arg(m_missingCodes.join(QStringLiteral(", ")));
        return false;
    }
    if (!removePairsOfKind(pair.firstCode, pair.kind) || !removePairsOfKind(pair.secondCode, pair.kind))
        return false;
    m_asFirst.addNew();
    m_asFirst.setField(firstColumn, pair.firstCode);
    m_asFirst.setField(secondColumn, pair.secondCode);
    m_asFirst.setField(kindColumn, pair.kind);
    if (!m_asFirst.update()) {
        m_asFirst.revert();
        return failed(m_asFirst);
    }
    if (!transaction.commit()) {
        m_error = transaction.error();
        m_busy = transaction.busy();
        return false;
    }
    return true;
}

std::optional<ComparedPairs::Pair> ComparedPairs::pairOf(const QString& code)
{
    m_error.clear();
    m_busy = false;
    // The code's last row as first and as second of a pair; the later of the two is the latest comparison.
    std::optional<Pair> latest;
    qint64 latestRow = -1;
    for (TableCursor* cursor : { &m_asFirst, &m_asSecond }) {
        if (!cursor->setFilter(cursor == &m_asFirst ? firstColumn : secondColumn, code)) {
            failed(*cursor);
            return std::nullopt;
        }
        if (cursor->count() == 0)
            continue;
        if (!cursor->moveTo(cursor->count() - 1)) {
            failed(*cursor);
            return std::nullopt;
        }
        if (cursor->rowId() > latestRow) {
            latestRow = cursor->rowId();
            latest = Pair { cursor->field(firstColumn), cursor->field(secondColumn), cursor->field(kindColumn) };
        }
    }
    return latest;
}

bool ComparedPairs::removePairsOfKind(const QString& code, const QString& kind)
{
    for (TableCursor* cursor : { &m_asFirst, &m_asSecond }) {
        if (!cursor->setFilter(cursor == &m_asFirst ? firstColumn : secondColumn, code))
            return failed(*cursor);
        for (int row = 0; row < cursor->count();) {
            if (!cursor->moveTo(row))
                return failed(*cursor);
            if (cursor->field(kindColumn) != kind)
                ++row;
            else if (!cursor->remove())
                return failed(*cursor);
        }
    }
    return true;
}

bool ComparedPairs::removeCode(const QString& code)
{
    for (TableCursor* cursor : { &m_asFirst, &m_asSecond }) {
        if (!cursor->setFilter(cursor == &m_asFirst ? firstColumn : secondColumn, code) || !cursor->removeAll())
            return failed(*cursor);
    }
    return true;
}

bool ComparedPairs::couplePartners(QHash<QString, QString>& partners)
{
    TableCursor all(m_db, table);
    const bool read = all.readAll({ firstColumn, secondColumn, kindColumn }, [&partners](const QStringList& row) {
        if (row[2] != CoupleKind)
            return;
        partners.insert(row[0], row[1]);
        partners.insert(row[1], row[0]);
    });
    return read || failed(all);
}
