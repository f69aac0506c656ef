#pragma once

#include <QString>

class Database;
class TableCursor;

// Deleting one examinee: the first IDE row and the first Answer row with the code go together or not at all, and an
// examinee who has only one of the two rows still goes.
namespace ExamineeDeletion {

struct Result {
    bool ok = false;
    QString error; // the platform's description when not ok
};

// Whether the code belongs to anyone: `details` (on IDE) and `answers` (on Answer) are filtered by it, exactly.
// False with `error` set when a cursor could not be read.
bool find(TableCursor& details, TableCursor& answers, const QString& code, bool& found, QString& error);

// Removes the first row of each cursor as `find` left them, in one transaction. On failure nothing is removed and
// both cursors are read again.
Result removeFound(Database& db, TableCursor& details, TableCursor& answers);

} // namespace ExamineeDeletion
