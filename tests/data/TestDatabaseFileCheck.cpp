#include "data/Database.h"
#include "data/DatabaseFileCheck.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Verdict = DatabaseFileCheck::Verdict;

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool run(const QString& path, const QString& statement)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open() && q.exec(statement);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
    return ok;
}

} // namespace

class TestDatabaseFileCheck : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data();
    void verdicts();
};

void TestDatabaseFileCheck::verdicts_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<Verdict>("verdict");
    QTest::newRow("ours") << "" << Verdict::Ours;
    QTest::newRow("ours, analysed") << "ANALYZE" << Verdict::Ours;
    QTest::newRow("text file") << "text" << Verdict::NotSQLite;
    QTest::newRow("empty file") << "empty" << Verdict::NotSQLite;
    QTest::newRow("missing file") << "missing" << Verdict::CannotOpen;
    QTest::newRow("cut short mid-page") << "cut" << Verdict::Damaged;
    QTest::newRow("cut short at a page") << "cut at page" << Verdict::Damaged;
    QTest::newRow("page overwritten") << "scribble" << Verdict::Damaged;
    QTest::newRow("trigger") << "CREATE TRIGGER t AFTER INSERT ON IDE BEGIN DELETE FROM Answer; END"
                             << Verdict::NotOurs;
    QTest::newRow("view") << "CREATE VIEW v AS SELECT Code FROM IDE" << Verdict::NotOurs;
    QTest::newRow("extra table") << "CREATE TABLE Notes (Text TEXT)" << Verdict::NotOurs;
    QTest::newRow("extra column") << "ALTER TABLE IDE ADD COLUMN Phone TEXT" << Verdict::NotOurs;
    QTest::newRow("missing table") << "DROP TABLE PPP" << Verdict::NotOurs;
    QTest::newRow("write-ahead log") << "PRAGMA journal_mode=WAL" << Verdict::NotOurs;
}

void TestDatabaseFileCheck::verdicts()
{
    QFETCH(QString, change);
    QFETCH(Verdict, verdict);
    QTemporaryDir dir;
    {
        Database db(dir.path());
        QVERIFY(db.open().ok());
    }
    const QString path = Database::filePath(dir.path());
    const QByteArray ours = readFile(path);
    if (change == QLatin1String("text"))
        QVERIFY(writeFile(path, "Code,Name\n1,Ali\n"));
    else if (change == QLatin1String("empty"))
        QVERIFY(writeFile(path, QByteArray()));
    else if (change == QLatin1String("missing"))
        QVERIFY(QFile::remove(path));
    else if (change == QLatin1String("cut"))
        QVERIFY(writeFile(path, ours.left(ours.size() / 2 + 100)));
    else if (change == QLatin1String("cut at page"))
        QVERIFY(writeFile(path, ours.left(ours.size() - 4096)));
    else if (change == QLatin1String("scribble"))
        QVERIFY(writeFile(path, ours.left(8192) + QByteArray(4096, '\x5a') + ours.mid(12288)));
    else if (!change.isEmpty())
        QVERIFY(run(path, change));

    const QByteArray before = readFile(path);
    const DatabaseFileCheck::Outcome outcome = DatabaseFileCheck::inspect(path);
    QVERIFY2(outcome.verdict == verdict, qPrintable(outcome.detail));
    // A look, never a touch.
    QCOMPARE(readFile(path), before);
    QCOMPARE(QFile::exists(path + QStringLiteral("-journal")), false);
}

QTEST_GUILESS_MAIN(TestDatabaseFileCheck)
#include "TestDatabaseFileCheck.moc"
