#pragma once

#include <QString>

// Another program holding the database file: a connection of its own with an exclusive lock on the file, so no
// other connection can read or write it until release() (or the holder's end).
class LockHolder {
public:
    explicit LockHolder(const QString& databasePath);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool isHolding() const { return m_holding; }
    void release();

private:
    QString m_connection;
    bool m_holding = false;
};
