#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class Database;

// Copies this program's rows from one Database to another, whichever engine each runs on: a server's rows into a new
// data file (a backup of the server), a data file's rows onto a server (a restore, or a clinic moving onto it). The
// source is read in one read transaction, so what is copied is one state of it; the target is written in one write
// transaction, so it ends up with all of it or none of it. QU is not copied: every database seeds its own.
namespace TableTransfer {

struct Result {
    bool ok = false;
    QString error; // the platform's description of a failure
    bool busy = false; // the failure was the data being held by another program
    QStringList takenCodes; // addExaminees: the source's codes the target holds already, in the source's order
    // Onto a server: codes the source holds in two rows of one table (older data files may), which the server's
    // unique index refuses; nothing is copied then.
    QStringList doubledCodes;
    int examinees = 0; // examinees copied
    bool cancelled = false; // stopped when asked to: nothing was written
};

// Who watches a long transfer from another thread: told how many of the rows to copy are written (after each batch,
// and first with none), and asked before each batch and before the end whether to stop. A transfer stopped so
// rolls the target back. Both are optional.
struct Watch {
    std::function<void(qint64 written, qint64 total)> progress;
    const std::atomic_bool* cancel = nullptr;

    bool cancelled() const { return cancel && cancel->load(); }
};

// The tables copied, in the order they are written.
const QStringList& tables();

// Makes the target's IDE, Answer, Theme, ComparedPairs and Invitation rows those of the source. Onto a server the codes go in their
// normalised form, and a source holding one code in two rows of a table is refused (doubledCodes).
Result replaceAll(Database& source, Database& target, const Watch& watch = {});

// Adds the source's examinees (IDE and Answer rows), remembered pairs and invitations to the target's. When any of the source's
// codes is already the target's, nothing is copied and takenCodes lists them. (Should another program register one
// of them between the look and the copy, the server's unique index refuses the copy: nothing is copied then either,
// and the error names the code.) Codes are compared, and written onto a server, in their normalised form; a source
// holding one code in two rows of a table is refused onto a server (doubledCodes), before any code is compared. The
// source is only read: it may be a file of an older schema version, opened as it is (a table it lacks has no rows).
Result addExaminees(Database& source, Database& target, const Watch& watch = {});

} // namespace TableTransfer
