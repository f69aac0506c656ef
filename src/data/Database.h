#pragma once

#include "data/DatabaseCheck.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>

class QSqlError;
class QSqlQuery;

// The program's one data file, <data folder>/RIVERIVU/RIVERIVU.mdb, an SQLite file kept in rollback-journal
// mode so the file alone is always a complete copy once the program has started on it (after a crash in the middle
// of a write the journal beside it belongs to it until then). Opening runs DatabaseCheck on it: a missing file is
// created with the schema and its first rows, a sound file of ours is opened, anything else is refused and left
// untouched. Nothing else creates or alters tables.
class Database {
public:
    enum class OpenStatus { Opened, Created, Refused, Failed };

    struct OpenResult {
        OpenStatus status = OpenStatus::Failed;
        // What the check found; for Refused, why the file was refused.
        DatabaseCheck::Outcome check = DatabaseCheck::Outcome::CannotOpen;
        QString error; // the platform's description, when there is one

        bool ok() const { return status == OpenStatus::Opened || status == OpenStatus::Created; }
    };

    // `dataFolder` holds RIVERIVU/; `resourcesFolder` the files delivered with the program (skins), the data folder
    // itself when not given, as for a program run from its own folder.
    explicit Database(const QString& dataFolder, const QString& resourcesFolder = QString());
    // A database at a path of its own rather than in a program folder: a copy about to be restored is opened so, the
    // way the program opens its own file at start.
    static std::unique_ptr<Database> atFile(const QString& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static QString filePath(const QString& dataFolder);
    QString filePath() const;
    // The folder that holds RIVERIVU/ (and the backups' Back/).
    QString dataFolder() const { return m_dataFolder; }
    // Where the windows find the files delivered with the program: beside it, or its installed share folder.
    QString resourcesFolder() const { return m_resourcesFolder; }

    OpenResult open();
    bool isOpen() const;
    void close();

    QSqlDatabase connection() const;

    // Runs a statement on this connection; every statement of the windows' cursors and transactions goes through
    // here. While another program holds the file, a statement waits for it, but only lockWait() in all: once one
    // statement has given up waiting, the ones that follow give up at once, until a statement gets through again or
    // lockWait() has passed. So a window that runs a dozen statements is held up a few seconds, not a minute.
    bool exec(QSqlQuery& query);
    bool exec(const QString& sql);

    // How long statements wait for another program's lock; 3 seconds unless changed.
    int lockWait() const { return m_lockWaitMs; }
    void setLockWait(int milliseconds);

    // Whether a failure was the file being held by another program (or another connection), as opposed to a
    // fault of the file or the disk.
    static bool isBusy(const QSqlError& error);

    // The steps of a write transaction; code above the data layer uses a Transaction guard, which takes the file for
    // writing at once, so what is read inside it cannot change before the writes are stored.
    bool beginTransaction();
    bool commit();
    void rollback();
    QString lastError() const;
    bool lastErrorIsBusy() const { return m_lastErrorBusy; }

    // Column names of each table, in table order.
    static const QStringList& ideColumns();
    static const QStringList& answerColumns();
    static const QStringList& quColumns();
    static const QStringList& themeColumns();

private:
    bool create(const QString& path, OpenResult& result) const;
    // Opens this connection on a file that passed the check; the platform's description when that fails.
    QString openConnection(const QString& path, bool putBackThemeRow);
    // Adds the tables of later schema versions to a file of an older one, in one transaction; null when done.
    QString bringSchemaUpToDate();
    bool createAt(const QString& path, QString& error) const;

    void setBusyTimeout(int milliseconds);

    QString m_dataFolder;
    QString m_resourcesFolder;
    QString m_filePath;
    QString m_connectionName;
    QString m_lastError;
    bool m_lastErrorBusy = false;
    int m_lockWaitMs = 3000;
    // Running while statements give up at once after one has waited in vain.
    QElapsedTimer m_impatientSince;
};
