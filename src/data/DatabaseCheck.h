#pragma once

#include <QSqlDatabase>
#include <QString>

// Whether a file is a sound database of this program, decided without a window and without knowing where the
// program keeps its data: start-up runs it on RIVERIVU.mdb, a restore on a private copy of the file chosen.
//
// The check changes nothing in a file it refuses. On a file with the right header it opens a read-write
// connection, so that a rollback journal left beside the file by a crash in the middle of a write is played back
// first (SQLite does that on the first read): the file is then complete again, and only then judged. A file of
// ours must also be writable, file and folder alike (the folder takes the journal of every write): that is tried
// with a write that is rolled back, so the file's bytes stay as they were.
namespace DatabaseCheck {

enum class Thoroughness {
    Quick, // PRAGMA quick_check: every page read, fit for every start
    Full, // PRAGMA integrity_check: indexes too, for a file about to replace the program's data
    // All but reading every page: the header and the file's length, the schema, the questionnaire, a write tried.
    // For the program's own start, whose PageCheck reads the pages once the first window is up.
    Layout,
};

enum class Outcome {
    Ours, // a sound database of this program that can be written
    Missing, // no file and no journal of one: a first start creates the file
    JournalWithoutFile, // no file, but its "-journal" is there: never replaced by a new database
    NotOurs, // not an SQLite database, or one with tables, views or triggers of another program
    Damaged, // our tables, but the file fails the integrity check or the questionnaire has lost items
    Busy, // held by another program for longer than the wait
    NoAccess, // the file may not be read
    NotWritable, // ours and sound, but the file or its folder may not be written
    CannotOpen, // any other reason the file cannot be opened or read now
};

struct Result {
    Outcome outcome = Outcome::CannotOpen;
    QString detail; // the platform's description of what went wrong, when there is one
    // Ours, but the single settings row is gone; whoever opens the file puts it back with its first values.
    bool themeRowMissing = false;

    bool isOurs() const { return outcome == Outcome::Ours; }
};

// The rollback journal that belongs to the database file at `path`.
QString journalPath(const QString& path);

// Looks at the file at `path`. Another program's lock is waited for `lockWaitMs` at most.
Result inspect(const QString& path, Thoroughness thoroughness = Thoroughness::Quick, int lockWaitMs = 3000);

// Reads every page of the database open on `db` (PRAGMA quick_check): Ours when they are sound, else why not
// (Damaged for a fault in a page; Busy, NoAccess, ... when the pages could not be read to the end).
Result readEveryPage(QSqlDatabase db);

// The outcome's name, for test output and the benchmark ("Ours", "Damaged", ...).
const char* outcomeName(Outcome outcome);

} // namespace DatabaseCheck
