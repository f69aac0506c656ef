#include "backup/ServerBackup.h"

#include "backup/DatabaseCopy.h"
#include "data/Database.h"
#include "data/DatabaseCheck.h"
#include "data/TableTransfer.h"
#include "text/OwnerOnly.h"

#include <QFile>

namespace ServerBackup {

namespace {

Result from(const TableTransfer::Result& transfer)
{
    Result result;
    result.ok = transfer.ok;
    result.error = transfer.error;
    result.busy = transfer.busy;
    result.doubledCodes = transfer.doubledCodes;
    result.cancelled = transfer.cancelled;
    return result;
}

Result failure(const QString& error)
{
    Result result;
    result.error = error;
    return result;
}

void removeFile(const QString& path)
{
    QFile::remove(path);
    QFile::remove(DatabaseCheck::journalPath(path));
}

// One half of the way, for each of a restore's two transfers.
TableTransfer::Watch half(const TableTransfer::Watch& watch, bool second)
{
    TableTransfer::Watch halved;
    halved.cancel = watch.cancel;
    if (watch.progress)
        halved.progress = [&watch, second](qint64 written, qint64 total) {
            watch.progress(second ? total + written : written, 2 * total);
        };
    return halved;
}

// Runs `work` on a connection to `location` made and opened here, and closed before returning.
template <typename Work>
Result onOwnConnection(const Database::Location& location, Work work)
{
    const std::unique_ptr<Database> server = Database::at(location);
    const Database::OpenResult opened = server->open();
    if (!opened.ok())
        return failure(opened.error);
    return work(*server);
}

} // namespace

Result write(Database& server, const QString& target, const TableTransfer::Watch& watch)
{
    // Built beside the target, so the rename stays on one disk; what an interrupted backup left there goes first.
    const QString building = target + QStringLiteral(".building");
    removeFile(building);
    Result result;
    {
        const std::unique_ptr<Database> file = Database::atFile(building);
        const Database::OpenResult opened = file->open();
        if (opened.status != Database::OpenStatus::Created) {
            removeFile(building);
            return failure(opened.error);
        }
        result = from(TableTransfer::replaceAll(server, *file, watch));
    }
    if (!result.ok) {
        removeFile(building);
        return result;
    }
    // Clients' data: readable by the operator alone, whatever the mode of the backup it replaces.
    QString error;
    if (!QFile::setPermissions(building, OwnerOnly::FileMode)) {
        removeFile(building);
        return failure(QStringLiteral("cannot make %1 private").arg(building));
    }
    if (!DatabaseCopy::replaceFile(building, target, error)) {
        removeFile(building);
        return failure(error);
    }
    return result;
}

Result write(const Database::Location& server, const QString& target, const TableTransfer::Watch& watch)
{
    return onOwnConnection(server, [&](Database& db) { return write(db, target, watch); });
}

Result restore(Database& server, const BackupNames::Places& places, const TableTransfer::Watch& watch)
{
    Result result = write(server, places.serverBeforeRestore, half(watch, false));
    if (result.ok) {
        const std::unique_ptr<Database> copy = Database::atFile(places.restoreCheck);
        const Database::OpenResult opened = copy->open();
        result = opened.status == Database::OpenStatus::Opened
            ? from(TableTransfer::replaceAll(*copy, server, half(watch, true)))
            : failure(opened.error);
    }
    removeFile(places.restoreCheck);
    return result;
}

Result restore(
    const Database::Location& server, const BackupNames::Places& places, const TableTransfer::Watch& watch)
{
    Result result = onOwnConnection(server, [&](Database& db) { return restore(db, places, watch); });
    // The private copy goes also when the server did not open.
    removeFile(places.restoreCheck);
    return result;
}

} // namespace ServerBackup
