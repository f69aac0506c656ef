#pragma once

#include "data/DatabaseCheck.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Whether a database on a server is one of this program's, decided from what the server says of the connection's
// schema (the data file's check reads a file's header and pragmas instead). Reads only. Run inside the transaction
// that then makes or brings up to date the tables, so no other program can change them in between.
namespace ServerCheck {

struct Result {
    // Missing: the schema holds nothing at all, and the first connection makes the tables. Ours: every table,
    // column and index is the program's, of this or an older schema version. NotOurs: anything else there, or a
    // newer schema version; Damaged: ours, but the questionnaire has lost items; CannotOpen: it could not be read.
    DatabaseCheck::Outcome outcome = DatabaseCheck::Outcome::CannotOpen;
    QString detail; // what was found that is not ours, or the server's description of a failure
    int version = -1; // the schema version, when Ours
    // Ours, but the single settings row is gone; whoever opens the database puts it back with its first values.
    bool themeRowMissing = false;
    // When Ours, each table's columns in the order the server keeps them, as the check read them anyway.
    QHash<QString, QStringList> columns;

    bool isOurs() const { return outcome == DatabaseCheck::Outcome::Ours; }
};

Result inspect(QSqlDatabase db);

} // namespace ServerCheck
