#pragma once

#include <QString>

class Database;

// Another program holding the database file: a connection of its own with an exclusive lock on the file, so no
// other connection can read or write it until release() (or the holder's end). On a server, a connection of its own
// that holds every table of the program's as a maintenance would, which readers wait for too.
class LockHolder {
public:
    explicit LockHolder(const QString& databasePath);
    explicit LockHolder(Database& db);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool isHolding() const { return m_holding; }
    void release();

private:
    void holdFile(const QString& databasePath);

    QString m_connection;
    bool m_holding = false;
};
