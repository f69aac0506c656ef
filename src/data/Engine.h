#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;
class QSqlError;

// What differs from one database engine to another, said in one place: the program's own data file (SQLite) and a
// clinic's shared server (PostgreSQL). Each connection has its engine (Database::engine(), Engine::of()), and
// nothing above this layer asks which engine it runs on. Every table and column name is written in double quotes in
// every statement, so the names read the same on both (the server would fold unquoted names to lower case).
class Engine {
public:
    virtual ~Engine() = default;

    static const Engine& sqlite();
    static const Engine& server();
    // The engine of an open or configured connection, by its driver.
    static const Engine& of(const QSqlDatabase& db);

    // The Qt driver that speaks to it.
    virtual QString driver() const = 0;
    // Whether the data lives on a shared server rather than in a file of the program's own.
    virtual bool isServer() const = 0;

    // The name under which every table's rows carry their identity: a number given when the row is stored, never
    // changed or reused while the row lives, and ascending in the order rows were stored. Cursors read, order,
    // update and remove rows by it. SQLite gives every table one (`rowid`); on the server it is a column of that
    // name that the server fills, never one of the columns a cursor shows.
    const QString& rowIdentity() const;

    // The statements that make an empty database's tables and indexes, in order; and those that bring one of schema
    // version `from` up to date.
    virtual QStringList schemaStatements() const = 0;
    virtual QStringList upgradeStatements(int from) const = 0;

    // The statement that reads the schema version (one row, one number), and the ones that set it.
    virtual QString readSchemaVersion() const = 0;
    virtual QStringList writeSchemaVersion(int version) const = 0;

    // Begins a transaction that takes the data for writing at once, so what is read inside it (whether a code is
    // taken) cannot change before its writes are stored: one writer at a time, readers never held up. And one that
    // only reads, seeing one state of the data from its first read to its end.
    virtual QStringList beginWriting() const = 0;
    virtual QString beginReading() const = 0;
    // A condition that takes the data for writing as beginWriting() does, for a write that is a transaction of its
    // own in one statement (one round trip to a server where a transaction takes three): added to its WHERE, it is
    // met once, before any row is read, and waits for another writer as long. Empty when the engine has none, and a
    // lone write goes through beginWriting() and a commit instead.
    virtual QString writerLockCondition() const = 0;

    // What an insert adds to its statement to be told the new row's identity ("" when the driver says it itself).
    virtual QString returningIdentity() const = 0;

    // A condition that holds for the rows whose `column` holds any character other than printable ASCII (a blank
    // is one).
    virtual QString holdsOtherThanPrintableAscii(const QString& column) const = 0;

    // The statement that makes this connection's statements wait for another's lock at most `milliseconds`
    // (0: give up at once).
    virtual QString lockWait(int milliseconds) const = 0;

    // Whether a failure was the data being held by another connection for longer than the wait.
    virtual bool isBusy(const QSqlError& error) const = 0;
    // Whether a write was refused because the examinee's code is already another's. SQLite keeps codes apart by
    // checking inside the write transaction, so a write of its own never fails for that; the server has a unique
    // index on the code as well, for writes that meet on it anyway.
    virtual bool isCodeTaken(const QSqlError& error) const = 0;
    // Whether a statement failed because the connection itself broke (the server went away or ended it); the
    // connection is made again for the next statement.
    virtual bool isConnectionLost(const QSqlError& error) const = 0;
};
