#include "examinees/RegistrationStore.h"

#include "data/Transaction.h"

#include <optional>

namespace {

RegistrationStore::Outcome failed(const QString& error, bool busy)
{
    return { RegistrationStore::Stored::Failed, error, busy };
}

} // namespace

RegistrationStore::RegistrationStore(Database& db)
    : m_db(db)
    , m_answers(db, QStringLiteral("Answer"))
    , m_answerCheck(db, QStringLiteral("Answer"))
    , m_codeCheck(db, QStringLiteral("IDE"))
{
}

RegistrationStore::Outcome RegistrationStore::storeIfCodeIsFree(TableCursor& details, const QString& code)
{
    Transaction transaction(m_db);
    if (!transaction.begun())
        return failed(transaction.error(), transaction.busy());

    // Both tables: a code in either one already belongs to someone, and the two rows must never disagree.
    int found = 0;
    for (TableCursor* check : { &m_codeCheck, &m_answerCheck }) {
        const bool read = check->setFilter(QStringLiteral("Code"), code);
        found += check->count();
        const Outcome unread = failed(check->lastError(), check->lastErrorIsBusy());
        check->clearFilter();
        if (!read)
            return unread;
    }
    if (found > 0)
        return { Stored::CodeTaken, QString(), false };

    m_answers.addNew();
    m_answers.setField(QStringLiteral("Code"), code);
    details.setField(QStringLiteral("Code"), code);
    for (TableCursor* row : { &m_answers, &details }) {
        if (row->update())
            continue;
        const Outcome refused = row->lastErrorIsCodeTaken() ? Outcome { Stored::CodeTaken, QString(), false }
                                                             : failed(row->lastError(), row->lastErrorIsBusy());
        // The rolled-back Answer row is not kept as if stored.
        m_answers.reload();
        return refused;
    }
    if (!transaction.commit()) {
        m_answers.reload();
        return failed(transaction.error(), transaction.busy());
    }
    return { Stored::Saved, QString(), false };
}
