#pragma once

#include <QString>
#include <QStringList>

class QSqlError;

// What differs from one database engine to another, said in one place. The program runs on SQLite today; a second
// engine gives its own answers here, and nothing above this layer asks which engine it runs on.
namespace Engine {

// The name under which every table's rows carry their identity: a number given when the row is stored, never
// changed or reused while the row lives, and ascending in the order rows were stored. Cursors read, order, update
// and remove rows by it. SQLite gives every table one (`rowid`).
const QString& rowIdentity();

// The statements that make an empty data file's tables and indexes, in order.
QStringList schemaStatements();

// The statement that reads the schema version (one row, one number), and the one that sets it.
QString readSchemaVersion();
QString writeSchemaVersion(int version);

// Begins a transaction that takes the data for writing at once, so what is read inside it (whether a code is
// taken) cannot change before its writes are stored; and one that only reads, seeing one state of the data.
QString beginWriting();
QString beginReading();

// A condition that holds for the rows whose `column` holds any character other than printable ASCII (a blank is one).
QString holdsOtherThanPrintableAscii(const QString& column);

// Whether a failure was the data being held by another connection for longer than the wait.
bool isBusy(const QSqlError& error);

// Whether a write was refused because the examinee's code is already another's. SQLite keeps codes apart by
// checking inside the write transaction, so a write of its own never fails for that.
bool isCodeTaken(const QSqlError& error);

} // namespace Engine
