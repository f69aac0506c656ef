#include "backup/DatabaseCopy.h"
#include "backup/DatabaseRestore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

struct Folder {
    Folder()
        : places(dir.filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb")))
    {
        QDir(dir.path()).mkpath(QStringLiteral("RIVERIVU"));
        writeFile(places.database, "live database");
        writeFile(places.restoreCheck, "checked backup");
    }
    QStringList files() const { return QDir(dir.filePath(QStringLiteral("RIVERIVU"))).entryList(QDir::Files); }

    QTemporaryDir dir;
    BackupNames::Places places;
    QStringList copies;
    DatabaseRestore::Copier copy = [this](const QString& from, const QString& to) {
        copies << QFileInfo(to).fileName();
        return DatabaseCopy::copyFile(from, to).ok();
    };
};

} // namespace

class TestDatabaseRestore : public QObject {
    Q_OBJECT
private slots:
    void keepsTheReplacedDatabase();
    void journalTravelsWithTheReplacedDatabase();
    void failedKeepingLeavesTheDatabase();
};

void TestDatabaseRestore::keepsTheReplacedDatabase()
{
    Folder f;
    // Left from an earlier restore: it belonged to the older copy and must not meet the new one.
    QVERIFY(writeFile(f.places.beforeRestore, "older database"));
    QVERIFY(writeFile(f.places.beforeRestoreJournal, "older journal"));
    QString error;
    QCOMPARE(DatabaseRestore::putInPlace(f.places, f.copy, error), DatabaseRestore::Step::Done);
    QCOMPARE(readFile(f.places.database), QByteArray("checked backup"));
    QCOMPARE(readFile(f.places.beforeRestore), QByteArray("live database"));
    QCOMPARE(f.files(), QStringList({ QStringLiteral("RIVERIVU.mdb"), QStringLiteral("RIVERIVU.mdb.before-restore") }));
}

void TestDatabaseRestore::journalTravelsWithTheReplacedDatabase()
{
    Folder f;
    QVERIFY(writeFile(f.places.journal, "unfinished write"));
    QString error;
    QCOMPARE(DatabaseRestore::putInPlace(f.places, f.copy, error), DatabaseRestore::Step::Done);
    QCOMPARE(readFile(f.places.database), QByteArray("checked backup"));
    QCOMPARE(readFile(f.places.beforeRestore), QByteArray("live database"));
    QCOMPARE(readFile(f.places.beforeRestoreJournal), QByteArray("unfinished write"));
    QVERIFY(!QFile::exists(f.places.journal));
    QVERIFY(!QFile::exists(f.places.restoreCheck));
}

void TestDatabaseRestore::failedKeepingLeavesTheDatabase()
{
    Folder f;
    QVERIFY(writeFile(f.places.journal, "unfinished write"));
    f.copy = [](const QString&, const QString&) { return false; };
    QString error;
    QCOMPARE(DatabaseRestore::putInPlace(f.places, f.copy, error), DatabaseRestore::Step::CopyFailed);
    QCOMPARE(readFile(f.places.database), QByteArray("live database"));
    QCOMPARE(readFile(f.places.journal), QByteArray("unfinished write"));
    QCOMPARE(f.files(), QStringList({ QStringLiteral("RIVERIVU.mdb"), QStringLiteral("RIVERIVU.mdb-journal") }));
}

QTEST_GUILESS_MAIN(TestDatabaseRestore)
#include "TestDatabaseRestore.moc"
