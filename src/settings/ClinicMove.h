#pragma once

#include "data/Database.h"
#include "data/TableTransfer.h"

#include <QString>
#include <QStringList>

// Moving a clinic onto its server: the examinees, answers and remembered pairs of the data file on this computer are
// copied to the server in one transaction. When any of the file's codes is already on the server, nothing is copied
// and the codes are listed; so are codes the file holds twice (older files may), and nothing is copied then either.
// The data file itself is only read, whatever its schema version.
namespace ClinicMove {

struct Outcome {
    enum class Status {
        Copied,
        CodesTaken, // takenCodes are on the server already; nothing copied
        CodesDoubled, // the data file holds each of doubledCodes in two rows, which the server refuses; nothing copied
        NoLocalFile, // this computer has no data file to copy
        LocalRefused, // the data file did not open (not ours, damaged, held...); error says why
        Failed, // the copy failed; nothing copied; error says why
        Cancelled, // stopped when asked to; nothing copied
    };
    Status status = Status::Failed;
    QString error;
    QStringList takenCodes;
    QStringList doubledCodes;
    int examinees = 0;
};

// `dataFolder` holds RIVERIVU/RIVERIVU.mdb. `watch` follows the rows copied and may stop the copy.
Outcome copy(const QString& dataFolder, Database& server, const TableTransfer::Watch& watch = {});
// The same on a connection of its own to the server at `server`, opened and closed on the calling thread.
Outcome copy(const QString& dataFolder, const Database::Location& server, const TableTransfer::Watch& watch = {});

} // namespace ClinicMove
