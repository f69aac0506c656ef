#pragma once

#include <QString>

class Database;
class TableCursor;

// Deleting one examinee: every IDE row and every Answer row with the code go together or not at all, and an
// examinee who has only one of the two rows still goes.
namespace ExamineeDeletion {

struct Result {
    bool ok = false;
    QString error; // the platform's description when not ok
};

// Removes every row of each cursor as ExamineeCode::find left them, in one transaction, and is ok only when none is left. On
// failure nothing is removed and both cursors are read again.
Result removeFound(Database& db, TableCursor& details, TableCursor& answers);

} // namespace ExamineeDeletion
