#include "backup/DatabaseRestore.h"

#include "backup/DatabaseCopy.h"

#include <QFile>
#include <QFileInfo>

namespace DatabaseRestore {

namespace {

bool removeIfThere(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.exists() || file.remove())
        return true;
    error = file.errorString();
    return false;
}

Step putInPlaceKeepingCheck(const BackupNames::Places& places, const Copier& copy, QString& error)
{
    const bool journal = QFileInfo::exists(places.journal);
    // An older journal beside `.before-restore` would be played back into the copy about to take its place.
    if (!removeIfThere(places.beforeRestoreJournal, error))
        return Step::Failed;
    if (!copy(places.database, places.beforeRestore))
        return Step::CopyFailed;
    if (journal) {
        if (!copy(places.journal, places.beforeRestoreJournal))
            return Step::CopyFailed;
        if (!removeIfThere(places.journal, error))
            return Step::Failed;
    }
    if (!DatabaseCopy::replaceFile(places.restoreCheck, places.database, error)) {
        // The database stays, so its journal goes back beside it.
        if (journal)
            QFile::copy(places.beforeRestoreJournal, places.journal);
        return Step::Failed;
    }
    return Step::Done;
}

} // namespace

Step putInPlace(const BackupNames::Places& places, const Copier& copy, QString& error)
{
    const Step step = putInPlaceKeepingCheck(places, copy, error);
    QFile::remove(places.restoreCheck);
    return step;
}

} // namespace DatabaseRestore
