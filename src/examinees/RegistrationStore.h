#pragma once

#include <QString>

class Database;
class TableCursor;

// Storing a new examinee: the details row being filled and an empty Answer row with the same code, together and only
// while the code is nobody's yet.
namespace RegistrationStore {

struct Cursors {
    TableCursor& details; // `Adodc2` on IDE: the row being filled
    TableCursor& answers; // `Adodc3` on Answer: receives the new Answer row
    TableCursor& answerCheck; // `Adodc4` on Answer: is the code already in Answer?
    TableCursor& codeCheck; // `Adodc5` on IDE: is the code already in IDE?
};

enum class Stored { Saved, CodeTaken, Failed };

struct Outcome {
    Stored stored = Stored::Failed;
    QString error; // the platform's description, when Failed
    bool busy = false; // Failed because another program holds the data
};

// Checks the code and writes both rows in one write transaction: a second copy of the program on the same data
// waits for this one to finish, and then finds the code taken. On failure nothing is stored.
Outcome storeIfCodeIsFree(Database& db, const Cursors& cursors, const QString& code);

} // namespace RegistrationStore
