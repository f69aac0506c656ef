#pragma once

#include "data/ComparedPairs.h"
#include "data/ExamineeCode.h"
#include "data/TableCursor.h"

#include <QString>

class Database;

// Deleting one examinee: every IDE row and every Answer row with the code, and every remembered comparison pair the
// code is in, go together or not at all, and an examinee who has only one of the two rows still goes. The deletion reads and writes through cursors of its own.
class ExamineeDeletion {
public:
    struct Result {
        bool ok = false;
        QString error; // the platform's description when not ok
    };

    explicit ExamineeDeletion(Database& db);

    // Looks the typed code up in both tables (ExamineeCode::find); a later removeFound() removes what it found.
    ExamineeCode::Found find(const QString& typed);

    // The first and family name of the examinee `find` found, as registered; empty when only answers were found.
    QString foundName();

    // Removes every row of the code `find` found, in one transaction, and is ok only when none is left. On failure
    // nothing is removed.
    Result removeFound();

    // Forgets the code found: nothing is left to remove.
    void forget();

private:
    Database& m_db;
    TableCursor m_details;
    TableCursor m_answers;
    ComparedPairs m_pairs;
};
