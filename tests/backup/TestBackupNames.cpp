#include "backup/BackupNames.h"

#include <QTest>
#include <QTime>

class TestBackupNames : public QObject {
    Q_OBJECT
private slots:
    void clockText_data();
    void clockText();
    void defaultFileName();
    void places();
};

void TestBackupNames::clockText_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("midnight") << QTime(0, 0, 59) << "0.00";
    QTest::newRow("morning") << QTime(9, 5) << "9.05";
    QTest::newRow("noon") << QTime(12, 30) << "12.30";
    QTest::newRow("last minute") << QTime(23, 59, 59) << "23.59";
}

void TestBackupNames::clockText()
{
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QCOMPARE(BackupNames::clockText(time), text);
}

void TestBackupNames::defaultFileName()
{
    QCOMPARE(BackupNames::defaultFileName(QStringLiteral("1403.1.1"), QStringLiteral("9.05")),
        QStringLiteral("در تاريخ1403.1.1 ساعت)9.05).mdbB"));
}

void TestBackupNames::places()
{
    const BackupNames::Places places(QStringLiteral("/clinic/Tovrin/RIVERIVU/RIVERIVU.mdb"));
    QCOMPARE(places.programFolder, QStringLiteral("/clinic/Tovrin"));
    QCOMPARE(places.backFolder, QStringLiteral("/clinic/Tovrin/Back"));
    QCOMPARE(places.journal, QStringLiteral("/clinic/Tovrin/RIVERIVU/RIVERIVU.mdb-journal"));
    QCOMPARE(places.beforeRestore, QStringLiteral("/clinic/Tovrin/RIVERIVU/RIVERIVU.mdb.before-restore"));
    QCOMPARE(
        places.beforeRestoreJournal, QStringLiteral("/clinic/Tovrin/RIVERIVU/RIVERIVU.mdb.before-restore-journal"));
    QCOMPARE(BackupNames::resolve(places, QStringLiteral("a.mdbB")), QStringLiteral("/clinic/Tovrin/Back/a.mdbB"));
    QCOMPARE(
        BackupNames::resolve(places, QStringLiteral("/media/stick/a.mdbB")), QStringLiteral("/media/stick/a.mdbB"));
}

QTEST_GUILESS_MAIN(TestBackupNames)
#include "TestBackupNames.moc"
