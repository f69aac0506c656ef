#pragma once

#include <QString>
#include <QStringList>

class Database;
class TableCursor;

// Deleting one examinee: every IDE row and every Answer row with the code go together or not at all, and an
// examinee who has only one of the two rows still goes.
namespace ExamineeDeletion {

struct Result {
    bool ok = false;
    QString error; // the platform's description when not ok
};

struct Search {
    bool ok = true; // false when a cursor could not be read: then nothing is known about the code
    bool found = false;
    bool busy = false; // not ok because another program holds the file
    QString error; // the platform's description when not ok
};

// Whether a code belongs to anyone, trying its lookup forms (ExamineeCode::lookupForms) in order: `details` (on
// IDE) and `answers` (on Answer) are left filtered by the first form that finds a row, exactly.
Search find(TableCursor& details, TableCursor& answers, const QStringList& forms);

// Removes every row of each cursor as `find` left them, in one transaction, and is ok only when none is left. On
// failure nothing is removed and both cursors are read again.
Result removeFound(Database& db, TableCursor& details, TableCursor& answers);

} // namespace ExamineeDeletion
