#include "settings/ClinicMove.h"

#include "data/Database.h"
#include "data/TableTransfer.h"

#include <QFileInfo>

namespace ClinicMove {

Outcome copy(const QString& dataFolder, Database& server)
{
    Outcome outcome;
    // A missing file would be created empty by opening it: there is nothing to move then.
    if (!QFileInfo::exists(Database::filePath(dataFolder))) {
        outcome.status = Outcome::Status::NoLocalFile;
        return outcome;
    }
    // Only read, as it is: an older file is neither brought up to date nor has its codes rewritten (they go to the
    // server in their normalised form).
    Database local(dataFolder);
    const Database::OpenResult opened = local.openForReading();
    if (!opened.ok()) {
        outcome.status = Outcome::Status::LocalRefused;
        outcome.error = opened.error;
        return outcome;
    }
    const TableTransfer::Result copied = TableTransfer::addExaminees(local, server);
    outcome.examinees = copied.examinees;
    outcome.takenCodes = copied.takenCodes;
    outcome.doubledCodes = copied.doubledCodes;
    outcome.error = copied.error;
    outcome.status = copied.ok          ? Outcome::Status::Copied
        : !copied.doubledCodes.isEmpty() ? Outcome::Status::CodesDoubled
        : copied.takenCodes.isEmpty()    ? Outcome::Status::Failed
                                         : Outcome::Status::CodesTaken;
    return outcome;
}

} // namespace ClinicMove
