#pragma once

#include "text/CodeForms.h"

#include <QString>
#include <QStringList>

#include <initializer_list>

class Database;
class QSqlDatabase;
class TableCursor;

// Codes as they are stored in the data file: looking a typed code up, and bringing an older file's codes up to date.
namespace ExamineeCode {

struct Found {
    enum class Status {
        Found, // a cursor has a row with the code
        NotFound, // none has, under any form of the code
        NothingTyped, // nothing visible was typed
        Failed, // a cursor could not be read: nothing is known about the code
    };
    Status status = Status::NothingTyped;
    QString code; // the form of the code that found the rows (when Found)
    QString error; // the platform's description (when Failed)
    bool busy = false; // Failed because another program holds the data

    bool found() const { return status == Status::Found; }
};

// The one way to find an examinee by a typed code: each of the code's lookup forms in turn filters every cursor,
// until one of them has a row. The cursors are left filtered by the form that found it (when Found). A cursor that
// cannot be read makes the search Failed, never NotFound. `alongside`, when given, is filtered by each form too,
// read in the same statement as the cursors, and has no say in whether the code is found.
Found find(const QString& typed, std::initializer_list<TableCursor*> cursors, TableCursor* alongside = nullptr);

struct Taken {
    bool read = false; // false: the data could not be read, and nothing is known about the code
    bool taken = false; // an IDE or an Answer row has the code exactly as given
    QString error; // the platform's description, when not read
    bool busy = false; // not read because another program holds the data
};

// Whether a code (as it would be stored) already belongs to someone, in IDE or in Answer: one read of both tables,
// so a registration asks once.
Taken isTaken(Database& db, const QString& code);

struct StoredCodesResult {
    bool ok = true;
    QString error; // the platform's description, when not ok
    int rewritten = 0; // codes rewritten in their normalised form
    int kept = 0; // codes left as they were, because their normalised form already belongs to someone
};

// Brings the codes of a file written before codes were normalised up to date: each code in IDE and Answer whose
// normalised form differs is rewritten in both tables, in one transaction, unless that form is already another
// examinee's code; such a code is kept as it is (two people stay two people), and lookupForms() still reaches it.
// Reads only, and writes nothing, when every code is already normalised.
StoredCodesResult normaliseStoredCodes(QSqlDatabase db);

} // namespace ExamineeCode
