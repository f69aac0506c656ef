#include "backup/DatabaseRestore.h"

#include "backup/DatabaseCopy.h"
#include "data/Audit.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TableCursor.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

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

// Reads every table of the opened copy as the windows do when they open: the first row, the row ids of all rows and
// the last row.
std::optional<QString> firstReads(Database& db)
{
    for (const Schema::Object& object : Schema::objects()) {
        if (object.kind != Schema::Object::Kind::Table)
            continue;
        TableCursor cursor(db, object.name);
        if (cursor.readFailed() || (cursor.count() > 0 && !cursor.moveTo(cursor.count() - 1)))
            return cursor.lastError();
    }
    return std::nullopt;
}

} // namespace

DatabaseCheck::Result prove(const BackupNames::Places& places)
{
    DatabaseCheck::Result checked = DatabaseCheck::inspect(places.restoreCheck, DatabaseCheck::Thoroughness::Full);
    if (!checked.isOurs())
        return checked;
    const std::unique_ptr<Database> copy = Database::atFile(places.restoreCheck);
    const Database::OpenResult opened = copy->open();
    if (opened.status != Database::OpenStatus::Opened) {
        checked.outcome = opened.status == Database::OpenStatus::Refused ? opened.check : DatabaseCheck::Outcome::NotOurs;
        checked.detail = opened.error;
        return checked;
    }
    if (const std::optional<QString> failed = firstReads(*copy)) {
        checked.outcome = DatabaseCheck::Outcome::NotOurs;
        checked.detail = *failed;
    }
    return checked;
}

bool noteRestore(const BackupNames::Places& places, const QString& source)
{
    const std::unique_ptr<Database> copy = Database::atFile(places.restoreCheck);
    return copy->open().ok() && Audit::note(*copy, QStringLiteral("restore"), QString(), source);
}

Step putInPlace(const BackupNames::Places& places, const Copier& copy, QString& error)
{
    const Step step = putInPlaceKeepingCheck(places, copy, error);
    QFile::remove(places.restoreCheck);
    return step;
}

} // namespace DatabaseRestore
