#pragma once

#include <QString>

class Database;
class TableCursor;

// A new examinee's two rows, stored together: the details row being filled and an empty Answer row with the same
// code, only while the code is nobody's yet in either table, in one write transaction (a second copy of the program
// on the same data waits for it, and then finds the code taken). On a server the whole of it is one statement, one
// round trip.
namespace NewExaminee {

enum class Stored { Saved, CodeTaken, Failed };

struct Outcome {
    Stored stored = Stored::Failed;
    QString error; // the platform's description, when Failed
    bool busy = false; // Failed because another program holds the data
};

// Stores `details` (its new row as it stands, the code set in it) and an Answer row with the code; `answers` is a
// cursor on Answer of the caller's, through which the Answer row goes where the rows are written one by one. On
// failure nothing is stored and `details` is still the unsaved row.
Outcome store(Database& db, TableCursor& details, TableCursor& answers, const QString& code);

} // namespace NewExaminee
