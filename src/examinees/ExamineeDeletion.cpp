#include "examinees/ExamineeDeletion.h"

#include "data/Transaction.h"

ExamineeDeletion::ExamineeDeletion(Database& db)
    : m_db(db)
    // Nothing is read before a code is looked up: unfiltered, the cursors' rows are never looked at.
    , m_details(db, QStringLiteral("IDE"), TableCursor::Unread {})
    , m_answers(db, QStringLiteral("Answer"), TableCursor::Unread {})
    , m_pairs(db)
{
}

ExamineeCode::Found ExamineeDeletion::find(const QString& typed)
{
    const ExamineeCode::Found found = ExamineeCode::find(typed, { &m_details, &m_answers });
    if (!found.found())
        forget();
    return found;
}

QString ExamineeDeletion::foundName()
{
    if (!m_details.isFiltered() || m_details.count() == 0 || !m_details.moveFirst())
        return QString();
    return (m_details.field(QStringLiteral("FName")) + QLatin1Char(' ') + m_details.field(QStringLiteral("LName")))
        .simplified();
}

void ExamineeDeletion::forget()
{
    m_details.dropFilterUnread();
    m_answers.dropFilterUnread();
}

ExamineeDeletion::Result ExamineeDeletion::removeFound()
{
    Result result;
    // Without the filter `find` sets, removing the rows would remove every examinee.
    if (!m_details.isFiltered() || !m_answers.isFiltered()) {
        result.error = QStringLiteral("no code was looked up");
        return result;
    }
    const QString code = m_details.filterValue();
    Transaction transaction(m_db);
    if (!transaction.begun()) {
        result.error = transaction.error();
        forget();
        return result;
    }
    // Every row of the code goes, also where an older version or a hand merge left two of them: a row left behind
    // would keep the test open for a deleted examinee and the code taken. The details go first; should the answers
    // then fail, the rollback brings the details back as well.
    for (TableCursor* cursor : { &m_details, &m_answers }) {
        const bool removed = cursor->removeAll();
        if (!removed || cursor->count() != 0) {
            result.error = removed ? QStringLiteral("rows of the code are still in %1").arg(cursor->table())
                                   : cursor->lastError();
            transaction.rollback();
            forget();
            return result;
        }
    }
    // A pair left behind would fill in a code that no longer finds anyone.
    if (!m_pairs.removeCode(code)) {
        result.error = m_pairs.error();
        transaction.rollback();
        forget();
        return result;
    }
    if (!transaction.commit())
        result.error = transaction.error();
    else
        result.ok = true;
    forget();
    return result;
}
