#pragma once

#include "data/NewExaminee.h"
#include "data/TableCursor.h"

#include <QString>

class Database;

// Storing a new examinee: the details row being filled and an empty Answer row with the same code, together and only
// while the code is nobody's yet. The store reads and writes through cursors of its own; the row being filled
// belongs to whoever shows it.
class RegistrationStore {
public:
    using Stored = NewExaminee::Stored;
    using Outcome = NewExaminee::Outcome;

    explicit RegistrationStore(Database& db);

    // Checks the code and writes both rows (`details` as it stands, with the code) in one write transaction: a second
    // copy of the program on the same data waits for this one to finish, and then finds the code taken. On failure
    // nothing is stored and `details` is still the unsaved row.
    Outcome storeIfCodeIsFree(TableCursor& details, const QString& code);

private:
    Database& m_db;
    TableCursor m_answers; // receives the new Answer row where the rows are written one by one
};
