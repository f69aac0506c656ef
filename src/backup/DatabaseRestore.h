#pragma once

#include "backup/BackupNames.h"
#include "data/DatabaseCheck.h"

#include <QString>

#include <functional>

// Putting a checked backup in the place of the live database, once the program's connection to it is closed.
namespace DatabaseRestore {

enum class Step {
    Done, // the backup is the database now; the one it replaced is kept as `.before-restore`
    CopyFailed, // a copy failed and said so itself; the database is as it was
    Failed, // something else failed (see the error); the database is as it was
};

// Proves the private copy at `places.restoreCheck` fit to become the program's data, before anything is replaced:
// the start-up check with SQLite's full integrity check, then the copy opened the way the program opens its own
// file at start, and every table read as the windows first read it. A file that passes a check and then cannot be
// opened would lock the clinic out at the next start; it is refused here instead, with what the check found. The
// private copy is left for putInPlace or for the caller to remove.
DatabaseCheck::Result prove(const BackupNames::Places& places);

// Writes into the proven private copy's trail that it is being restored from `source`, so the data file carries the
// line once it is in place (the trail of the file it replaces stays in `.before-restore`). False when the copy could
// not be opened or written; the restore goes on all the same.
bool noteRestore(const BackupNames::Places& places, const QString& source);

// Copies a whole file as DatabaseCopy does, reporting its own failure.
using Copier = std::function<bool(const QString& source, const QString& target)>;

// Keeps the database, and a journal of its own if one is left, as `.before-restore` (replacing an older one), then
// renames the private copy `places.restoreCheck` over the database, so the program opens it at its next start. A
// journal never stays beside a database it does not belong to. The private copy is removed whatever happens.
Step putInPlace(const BackupNames::Places& places, const Copier& copy, QString& error);

} // namespace DatabaseRestore
