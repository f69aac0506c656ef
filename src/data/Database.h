#pragma once

#include "data/DatabaseCheck.h"
#include "data/ServerAddress.h"

#include <QElapsedTimer>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <QHash>

#include <functional>
#include <memory>
#include <optional>

class Engine;
class PageCheck;
class QSqlQuery;

// The program's one data file, <data folder>/RIVERIVU/RIVERIVU.mdb, an SQLite file kept in rollback-journal
// mode so the file alone is always a complete copy once the program has started on it (after a crash in the middle
// of a write the journal beside it belongs to it until then). Opening runs DatabaseCheck on it: a missing file is
// created with the schema and its first rows, a sound file of ours is opened, anything else is refused and left
// untouched. Nothing else creates or alters tables.
//
// Or a clinic's shared database on a PostgreSQL server (onServer): the same tables, made on the first connection to
// an empty database; a database that holds anything else is refused the same way. What differs between the two is
// the connection's Engine; everything above this class reads and writes both alike. A connection to the server found
// ended before a statement starts, outside a transaction, is made again and the statement runs once on the new one;
// one that breaks under a statement, or inside a transaction, fails that statement (and the transaction), and the
// next statement connects again. The server's tables are those of one schema (ServerAddress::schemaName).
class Database {
public:
    enum class OpenStatus { Opened, Created, Refused, Failed };

    struct OpenResult {
        OpenStatus status = OpenStatus::Failed;
        // What the check found; for Refused, why the file was refused.
        DatabaseCheck::Outcome check = DatabaseCheck::Outcome::CannotOpen;
        QString error; // the platform's description, when there is one
        // Why the server could not be reached or refused the connection (Failed); invalid otherwise.
        QSqlError connectionError;

        bool ok() const { return status == OpenStatus::Opened || status == OpenStatus::Created; }
    };

    // `dataFolder` holds RIVERIVU/; `resourcesFolder` the files delivered with the program (skins), the data folder
    // itself when not given, as for a program run from its own folder.
    explicit Database(const QString& dataFolder, const QString& resourcesFolder = QString());
    // A database at a path of its own rather than in a program folder: a copy about to be restored is opened so, the
    // way the program opens its own file at start, except that nothing written into it goes into its audit trail.
    static std::unique_ptr<Database> atFile(const QString& path);
    // A clinic's database on a server. The password, when given, is kept in memory only; without one the server's
    // client library finds its own (~/.pgpass, a service file, PGPASSWORD).
    static std::unique_ptr<Database> onServer(const ServerAddress& server, const QString& password = QString());
    // Where a database is and how it is reached, to make another connection to it: a connection belongs to the
    // thread that made it, so long work on a worker thread opens one of its own there from this. The password, as
    // the connection holds it, stays in memory.
    struct Location {
        QString filePath;
        QString dataFolder;
        QString resourcesFolder;
        std::optional<ServerAddress> server;
        QString password;
    };
    Location location() const;
    // A connection to `location`, not yet open.
    static std::unique_ptr<Database> at(const Location& location);
    // A connection named `name` to the data file at `path` that can only read it and never creates it, not yet
    // open; another program's lock is waited for `lockWaitMs` at most.
    static QSqlDatabase addReadOnlyFileConnection(const QString& name, const QString& path, int lockWaitMs);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static QString filePath(const QString& dataFolder);
    // The data file's path ("" on a server).
    QString filePath() const;
    bool isServer() const;
    // The server and database, when on one.
    std::optional<ServerAddress> server() const { return m_server; }
    // Where the data is, for messages: the file's path, or the server's display name.
    QString describe() const;
    // What the engine of this connection says and does its own way.
    const Engine& engine() const;
    // The folder that holds RIVERIVU/ (and the backups' Back/); on a server, the folder of this computer's own files
    // (backups, the copy kept before a restore).
    QString dataFolder() const { return m_dataFolder; }
    // Where the windows find the files delivered with the program: beside it, or its installed share folder.
    QString resourcesFolder() const { return m_resourcesFolder; }
    // The folders of a database on a server, whose whereabouts say nothing of them.
    void setFolders(const QString& dataFolder, const QString& resourcesFolder)
    {
        m_dataFolder = dataFolder;
        m_resourcesFolder = resourcesFolder;
    }

    OpenResult open();
    // Whether open() reads every page of a data file before it returns (the default), or leaves that to a PageCheck
    // on a thread of its own, started once the file is open: the program's start, whose first window need not wait
    // for a read of the whole file. Until its verdict is in, this connection reads as usual and every other statement
    // waits for it; once the pages are found damaged, every statement fails.
    void setPagesCheckedLater(bool later) { m_pagesCheckedLater = later; }
    // The page check of this opening while it lasts; nullptr when the pages were read before open() returned.
    PageCheck* pageCheck() const { return m_pageCheck.get(); }
    // Opens a data file that is only to be read (a clinic's file copied to its server): checked as open() checks it
    // (a file that may not be written is fine), then connected read-only, with nothing put back, no tables added to
    // a file of an older schema version and no code rewritten: the file stays as it was. Missing files are refused,
    // never created. Not for a server.
    OpenResult openForReading();
    // Another connection, to read, to a database the program has already opened and checked: long work on a worker
    // thread reads through one of its own. The file is not checked again (a million examinees' check takes a
    // second); the server is connected as open() connects to it.
    OpenResult openToRead();
    bool isOpen() const;
    void close();

    // The connection for a statement; one that broke is made again first (and stays closed while the server
    // cannot be reached).
    QSqlDatabase connection() const;

    // Runs a statement on this connection; every statement of the windows' cursors and transactions goes through
    // here. While another program holds the file, a statement waits for it, but only lockWait() in all: once one
    // statement has given up waiting, the ones that follow give up at once, until a statement gets through again or
    // lockWait() has passed. So a window that runs a dozen statements is held up a few seconds, not a minute.
    bool exec(QSqlQuery& query);
    bool exec(const QString& sql);
    // Prepares a statement of this connection for exec(): every statement with values goes through here. When the
    // driver says preparing failed (on the server, preparing waits for locks and reads the tables as running does),
    // the failure is noted as exec() notes one, with the server's own code, and false is returned: the query is not
    // to be run then.
    bool prepare(QSqlQuery& query, const QString& sql);
    // Takes note of a statement that failed before it ran, as exec() does of one that ran.
    void noteFailure(const QSqlError& error);

    // A statement of this connection kept prepared while the connection lasts, for statements that run again and
    // again (a cursor's reads, a choice made on a phone): the first use prepares it through prepare(), failures noted
    // alike; later uses only bind and run it, which on the server is one round trip where preparing each time takes
    // three (prepare, run, deallocate). The guard hands the query out (forward-only unless fetched AllAtOnce), to be run through exec(), and
    // finishes it when it goes, so the data file is never left with a read under way. A statement asked for while
    // its kept query is still held (a read inside another's loop) gets a query of its own. Kept statements go with
    // the connection: when it is closed or made again.
    class Statement {
    public:
        // None: not to be run.
        Statement() = default;
        Statement(Statement&& other) noexcept;
        Statement& operator=(Statement&&) = delete;
        Statement(const Statement&) = delete;
        ~Statement();
        // Whether the statement could be prepared; when not, the failure was noted and the query is not to be run.
        explicit operator bool() const { return m_query != nullptr; }
        QSqlQuery& query() { return *m_query; }

    private:
        friend class Database;
        struct Kept;
        std::shared_ptr<Kept> m_kept;
        std::unique_ptr<QSqlQuery> m_own;
        QSqlQuery* m_query = nullptr;
    };
    // How a statement's rows come: one at a time as they are read (the data file, and a grid's screenful), or, on the
    // server, all of them with its answer, which a statement read to its end (a list report's rows) takes at a
    // fraction of the cost per row. The data file reads row by row either way.
    enum class Fetch { RowByRow, AllAtOnce };
    Statement statement(const QString& sql, Fetch fetch = Fetch::RowByRow);

    // The columns of a table as read on this connection, kept with its statements (the program never changes a
    // table's columns while it runs): a cursor made for one look-up need not read them again. Empty until kept.
    QStringList keptColumns(const QString& table) const { return m_keptColumns.value(table); }
    void keepColumns(const QString& table, const QStringList& columns) { m_keptColumns.insert(table, columns); }

    // The schema version of the server's database, as opening found it or made it (a setup of rights changes it
    // through setSchemaVersion()): what the program may ask of the server depends on it, and it is not read again for
    // each action. -1 when not on a server or not open.
    int schemaVersion() const { return m_schemaVersion; }
    void setSchemaVersion(int version) { m_schemaVersion = version; }

    // How long statements wait for another program's lock; 3 seconds unless changed.
    int lockWait() const { return m_lockWaitMs; }
    void setLockWait(int milliseconds);

    // Whether a failure was the file being held by another program (or another connection), as opposed to a
    // fault of the file or the disk.
    static bool isBusy(const QSqlError& error);

    // The steps of a write transaction; code above the data layer uses a Transaction guard, which takes the file for
    // writing at once, so what is read inside it cannot change before the writes are stored.
    bool beginTransaction();
    // Begins a transaction that only reads, seeing one state of the data.
    bool beginReading();
    bool commit();
    void rollback();
    // Whether a transaction of this connection is open.
    bool inTransaction() const { return m_inTransaction; }
    QString lastError() const;
    // The code the engine gave the last failure: the server's SQLSTATE, SQLite's result code; empty when it gave
    // none (the client noticed the failure itself).
    QString lastErrorCode() const { return m_lastErrorCode; }
    bool lastErrorIsBusy() const { return m_lastErrorBusy; }
    // Whether the last failure was the connection to the server breaking.
    bool lastErrorIsConnectionLost() const { return m_lastErrorLost; }

    // Column names of each table, in table order.
    static const QStringList& ideColumns();
    static const QStringList& answerColumns();
    static const QStringList& quColumns();
    static const QStringList& themeColumns();

private:
    static QString nextConnectionName();
    OpenResult openFile();
    OpenResult openServer();
    // Connects to the server and readies the session; the driver's error when that fails.
    QSqlError connectToServer() const;
    void reconnectIfLost() const;
    // Whether the server's connection is seen to have ended, before a statement is sent on it.
    bool connectionFoundBroken() const;
    void applyLockWait() const;
    // Whether `sql` may run now as far as the page check goes: reads at once, anything else once the pages are known
    // sound (waiting for the verdict); nothing once they are known damaged (the failure noted).
    bool pagesAllow(const QString& sql);
    bool execStatement(QSqlQuery& query, const QString* sql);
    bool beginWith(const QStringList& statements);
    // Rolls back, keeping what the failure that led to it said.
    void rollbackKeepingError();
    QString createOnServer();
    QString bringServerUpToDate(int version, bool putBackThemeRow);
    // Fills a new database's questionnaire and settings row through `run` (a statement and its values; the
    // failure's description, or null); null when done.
    QString seed(const std::function<QString(const QString&, const QVariantList&)>& run) const;

    bool create(const QString& path, OpenResult& result) const;
    // Opens this connection on a file that passed the check; the platform's description when that fails.
    QString openConnection(const QString& path, bool putBackThemeRow);
    QString openReadOnlyConnection(const QString& path);
    // Adds the tables of later schema versions to a file of an older one, in one transaction; null when done.
    QString bringSchemaUpToDate(int version);
    bool createAt(const QString& path, QString& error) const;

    void setBusyTimeout(int milliseconds) const;
    // Drops the kept statements and columns, before their connection is closed or made again.
    void dropKeptStatements() const;

    QString m_dataFolder;
    QString m_resourcesFolder;
    std::optional<ServerAddress> m_server;
    QString m_password;
    // Broken, to be made again by the next statement; and when a try to make it again last failed.
    mutable bool m_lost = false;
    mutable QElapsedTimer m_lastReconnectTry;
    // A transaction of this connection is open; and, on the server, a statement in it failed (the server then
    // refuses the rest of it), with that statement's error.
    bool m_inTransaction = false;
    bool m_transactionFailed = false;
    QString m_transactionError;
    bool m_lastErrorLost = false;
    QString m_filePath;
    QString m_connectionName;
    QString m_lastError;
    QString m_lastErrorCode;
    bool m_lastErrorBusy = false;
    int m_lockWaitMs = 3000;
    // Whether changes made on this file's connection are written into its audit trail.
    bool m_keepsTrail = true;
    // Running while statements give up at once after one has waited in vain.
    mutable QElapsedTimer m_impatientSince;
    int m_schemaVersion = -1;
    bool m_pagesCheckedLater = false;
    std::unique_ptr<PageCheck> m_pageCheck;
    // What the page check found: not yet known, sound, or damaged (with why).
    enum class Pages { Unknown, Sound, Damaged } m_pages = Pages::Unknown;
    QString m_pagesDamage;
    mutable QHash<QString, std::shared_ptr<Statement::Kept>> m_keptStatements;
    mutable QHash<QString, QStringList> m_keptColumns;
};
