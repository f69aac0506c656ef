#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The program's one data file, <program folder>/RIVERIVU/RIVERIVU.mdb, an SQLite file kept in rollback-journal
// mode so the file alone is always a complete copy. A missing file is created with the schema and its first rows;
// a file that is not a database of this program is refused and left untouched. Nothing else creates or alters tables.
class Database {
public:
    enum class OpenStatus { Opened, Created, NotOurs, Failed };

    struct OpenResult {
        OpenStatus status = OpenStatus::Failed;
        QString error; // the platform's description, when there is one

        bool ok() const { return status == OpenStatus::Opened || status == OpenStatus::Created; }
    };

    explicit Database(const QString& programFolder);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static QString filePath(const QString& programFolder);
    QString filePath() const;
    // The folder the program runs from: the data folder and the files delivered beside the program are found here.
    QString programFolder() const { return m_programFolder; }

    OpenResult open();
    bool isOpen() const;
    void close();

    QSqlDatabase connection() const;

    // Writes that belong together: either all of them are stored or none is.
    bool beginTransaction();
    bool commit();
    void rollback();
    QString lastError() const;

    // Column names of each table, in table order.
    static const QStringList& ideColumns();
    static const QStringList& answerColumns();
    static const QStringList& quColumns();
    static const QStringList& themeColumns();

private:
    bool isOurs(const QString& path, QString& why) const;
    bool createAt(const QString& path, QString& error) const;

    QString m_programFolder;
    QString m_connectionName;
    QString m_lastError;
};
