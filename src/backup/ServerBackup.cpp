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

} // namespace

Result write(Database& server, const QString& target)
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
        result = from(TableTransfer::replaceAll(server, *file));
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

Result restore(Database& server, const BackupNames::Places& places)
{
    Result result = write(server, places.serverBeforeRestore);
    if (result.ok) {
        const std::unique_ptr<Database> copy = Database::atFile(places.restoreCheck);
        const Database::OpenResult opened = copy->open();
        result = opened.status == Database::OpenStatus::Opened ? from(TableTransfer::replaceAll(*copy, server))
                                                               : failure(opened.error);
    }
    removeFile(places.restoreCheck);
    return result;
}

} // namespace ServerBackup
