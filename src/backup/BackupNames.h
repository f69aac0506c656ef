#pragma once

#include <QString>

class QTime;

// The names the backup window gives and the places it works in, all derived from the database file's path.
namespace BackupNames {

// Backups carry this extension; the file dialogs offer only such files.
inline const QString Extension = QStringLiteral(".mdbB");
inline const QString DialogFilter = QStringLiteral("Database Backup (*.mdbB)");

// The window's clock: the hour without a leading zero, a dot, the minutes in two digits ("9.05", "23.40").
QString clockText(const QTime& time);

// "در تاريخ" + date + " ساعت)" + clock + ")" + ".mdbB", from the window's date (layout 4) and clock texts.
QString defaultFileName(const QString& date, const QString& clock);

struct Places {
    // From <data folder>/RIVERIVU/RIVERIVU.mdb.
    explicit Places(const QString& databaseFile);

    QString dataFolder;
    QString backFolder; // <data folder>/Back, where both file dialogs start
    QString database; // the live database file
    QString journal; // its rollback journal, present only while a write is unfinished
    QString beforeRestore; // the database as it was before the last restore
    QString beforeRestoreJournal; // the journal that belonged to it, if there was one
    QString restoreCheck; // the private copy of a chosen backup, checked before it is put in place
    // What the clinic's server held before the last restore onto it: a complete data file, like any backup.
    QString serverBeforeRestore;
    // On a server, an encrypted backup's plain snapshot of the server's rows, before it is sealed into the backup.
    QString serverSnapshot;
};

// A path typed or chosen by the operator: a relative one is taken within the Back folder.
QString resolve(const Places& places, const QString& typed);

} // namespace BackupNames
