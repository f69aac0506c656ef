#include "data/Transaction.h"

#include "data/Database.h"

Transaction::Transaction(Database& db, Kind kind)
    : m_db(db)
{
    m_open = kind == Kind::Write ? m_db.beginTransaction() : m_db.beginReading();
    if (!m_open) {
        m_error = m_db.lastError();
        m_busy = m_db.lastErrorIsBusy();
    }
}

Transaction::~Transaction()
{
    rollback();
}

bool Transaction::commit()
{
    if (!m_open)
        return false;
    m_open = false;
    if (m_db.commit())
        return true;
    // The database has rolled the writes back already.
    m_error = m_db.lastError();
    m_busy = m_db.lastErrorIsBusy();
    return false;
}

void Transaction::rollback()
{
    if (!m_open)
        return;
    m_open = false;
    m_db.rollback();
}
