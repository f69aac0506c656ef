#include "backup/DatabaseCopy.h"
#include "backup/DatabaseRestore.h"
#include "backup/FileBytes.h"

#include <QTemporaryDir>
#include <QTest>

using namespace FileBytes;

class TestDatabaseRestore : public QObject {
    Q_OBJECT
private slots:
    void putInPlace_data();
    void putInPlace();
};

void TestDatabaseRestore::putInPlace_data()
{
    QTest::addColumn<bool>("journal");
    QTest::addColumn<bool>("copies");
    QTest::newRow("database alone") << false << true;
    QTest::newRow("database with a journal") << true << true;
    QTest::newRow("keeping it fails") << true << false;
}

void TestDatabaseRestore::putInPlace()
{
    QFETCH(bool, journal);
    QFETCH(bool, copies);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("RIVERIVU")));
    const BackupNames::Places places(dir.filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb")));
    QVERIFY(write(places.database, "live database") && write(places.restoreCheck, "checked backup"));
    // Left from an earlier restore: they belonged to the older copy and must not meet the new one.
    QVERIFY(write(places.beforeRestore, "older database") && write(places.beforeRestoreJournal, "older journal"));
    if (journal)
        QVERIFY(write(places.journal, "unfinished write"));

    QString error;
    const auto copy
        = [copies](const QString& from, const QString& to) { return copies && DatabaseCopy::copyFile(from, to).ok(); };
    const DatabaseRestore::Step step = DatabaseRestore::putInPlace(places, copy, error);
    QVERIFY(!QFile::exists(places.restoreCheck));
    if (!copies) {
        // The database stays as it was, with its own journal.
        QCOMPARE(step, DatabaseRestore::Step::CopyFailed);
        QCOMPARE(read(places.database), QByteArray("live database"));
        QCOMPARE(read(places.journal), QByteArray("unfinished write"));
        return;
    }
    QCOMPARE(step, DatabaseRestore::Step::Done);
    QCOMPARE(read(places.database), QByteArray("checked backup"));
    QCOMPARE(read(places.beforeRestore), QByteArray("live database"));
    QVERIFY(!QFile::exists(places.journal));
    QCOMPARE(read(places.beforeRestoreJournal), journal ? QByteArray("unfinished write") : QByteArray("<missing>"));
}

QTEST_GUILESS_MAIN(TestDatabaseRestore)
#include "TestDatabaseRestore.moc"
