#pragma once

#include "backup/BackupNames.h"

#include <QString>

class Database;

// Backup and restore while the program runs on the clinic's server. A backup is the same kind of file as the local
// program's: a complete data file of this program, made as the program makes a new one, holding the server's rows
// as one read transaction saw them. So a server's backup restores into a data file on a computer, and a computer's
// backup onto the server.
namespace ServerBackup {

struct Result {
    bool ok = false;
    QString error; // the platform's description of a failure
    bool busy = false; // the data was held by another program
    // restore: codes the backup holds in two rows of a table, which the server refuses; nothing was replaced
    QStringList doubledCodes;
};

// Writes what `server` holds to a new data file at `target`, replacing a file there only once the new one is whole.
Result write(Database& server, const QString& target);

// Replaces the server's rows with those of the checked private copy at `places.restoreCheck` (see
// DatabaseRestore::prove), in one transaction, after first writing what the server held to
// `places.serverBeforeRestore`. When that file cannot be written nothing is replaced. The private copy is removed
// whatever happens.
Result restore(Database& server, const BackupNames::Places& places);

} // namespace ServerBackup
