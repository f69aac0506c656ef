#pragma once

#include "backup/BackupNames.h"
#include "data/Database.h"
#include "data/TableTransfer.h"

#include <QString>

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
    bool cancelled = false; // stopped when asked to: the server and the target are as they were
};

// Writes what `server` holds to a new data file at `target`, replacing a file there only once the new one is whole.
// `watch` follows the rows written; stopped, the transfer leaves the target as it was.
Result write(Database& server, const QString& target, const TableTransfer::Watch& watch = {});
// The same on a connection of its own to the server at `server`, opened and closed on the calling thread.
Result write(const Database::Location& server, const QString& target, const TableTransfer::Watch& watch = {});

// Replaces the server's rows with those of the checked private copy at `places.restoreCheck` (see
// DatabaseRestore::prove), in one transaction, after first writing what the server held to
// `places.serverBeforeRestore`. When that file cannot be written nothing is replaced. The private copy is removed
// whatever happens. `watch` follows the rows of both transfers, the first half of the way the server's rows going to
// their file; stopped, the transfer leaves the server as it was.
Result restore(Database& server, const BackupNames::Places& places, const TableTransfer::Watch& watch = {});
// The same on a connection of its own to the server at `server`, opened and closed on the calling thread.
Result restore(
    const Database::Location& server, const BackupNames::Places& places, const TableTransfer::Watch& watch = {});

} // namespace ServerBackup
