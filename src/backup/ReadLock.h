#pragma once

#include "data/Transaction.h"

#include <QString>

class Database;

// Holds the program's own connection in a read transaction while the database file is copied out. While it is held
// no write can reach the file, a rollback journal left by an interrupted write has already been played back into
// it, and a write of this program that is still open makes taking it fail: the bytes copied are one complete state
// of the database, never half a write.
class ReadLock {
public:
    explicit ReadLock(Database& db);
    ReadLock(const ReadLock&) = delete;
    ReadLock& operator=(const ReadLock&) = delete;

    bool held() const { return m_held; }
    // The platform's description of why the lock could not be taken.
    QString error() const { return m_error; }

private:
    Transaction m_transaction; // rolled back, with the lock let go, when the lock goes
    bool m_held = false;
    QString m_error;
};
