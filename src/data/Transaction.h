#pragma once

#include <QString>

class Database;

// Writes that belong together, on the program's connection: begun when the guard is made, stored by commit(), and
// rolled back when the guard goes out of scope unfinished, whichever way the code leaves. A write transaction takes
// the data for writing at once (another copy of the program on the same file waits for it); a read transaction sees
// one state of the data from its first read to its end. On a server the same holds between the programs of every
// counsellor: one writer at a time, and readers that see one snapshot and are never held up by a writer.
class Transaction {
public:
    enum class Kind { Write, Read };

    explicit Transaction(Database& db, Kind kind = Kind::Write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Whether the transaction began; when not, error() says why and nothing is to be written.
    bool begun() const { return m_open; }
    // Stores the writes; when that fails they are rolled back, and error() says why.
    bool commit();
    // Drops the writes now.
    void rollback();

    QString error() const { return m_error; }
    // Whether the failure was the data being held by another program.
    bool busy() const { return m_busy; }

private:
    Database& m_db;
    bool m_open = false;
    QString m_error;
    bool m_busy = false;
};
