#include "examinees/RegistrationStore.h"

RegistrationStore::RegistrationStore(Database& db)
    : m_db(db)
    , m_answers(db, QStringLiteral("Answer"), TableCursor::Unread {})
{
}

RegistrationStore::Outcome RegistrationStore::storeIfCodeIsFree(TableCursor& details, const QString& code)
{
    return NewExaminee::store(m_db, details, m_answers, code);
}
