#include "settings/ClinicMove.h"

#include "data/Database.h"
#include "data/TableTransfer.h"

#include <QFileInfo>

namespace ClinicMove {

Outcome copy(const QString& dataFolder, Database& server, const TableTransfer::Watch& watch)
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
    const TableTransfer::Result copied = TableTransfer::addExaminees(local, server, watch);
    outcome.examinees = copied.examinees;
    outcome.takenCodes = copied.takenCodes;
    outcome.doubledCodes = copied.doubledCodes;
    outcome.error = copied.error;
    outcome.status = copied.ok          ? Outcome::Status::Copied
        : copied.cancelled               ? Outcome::Status::Cancelled
        : !copied.doubledCodes.isEmpty() ? Outcome::Status::CodesDoubled
        : copied.takenCodes.isEmpty()    ? Outcome::Status::Failed
                                         : Outcome::Status::CodesTaken;
    return outcome;
}

Outcome copy(const QString& dataFolder, const Database::Location& server, const TableTransfer::Watch& watch)
{
    const std::unique_ptr<Database> db = Database::at(server);
    const Database::OpenResult opened = db->open();
    if (!opened.ok()) {
        Outcome outcome;
        outcome.error = opened.error;
        return outcome;
    }
    return copy(dataFolder, *db, watch);
}

} // namespace ClinicMove
