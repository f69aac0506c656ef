#include "data/Database.h"
#include "data/DatabaseCheck.h"
#include "data/Schema.h"
#include "support/LockHolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <unistd.h>

using DatabaseCheck::Outcome;
Q_DECLARE_METATYPE(DatabaseCheck::Outcome)

namespace {

constexpr int Examinees = 2000;

// Bytes and last change of a file: a refused file must keep both.
QByteArray fingerprint(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
        + QFileInfo(path).lastModified().toString(Qt::ISODateWithMs).toUtf8();
}

// Runs statements on a connection of the test's own, outside the program's Database.
bool run(const QString& path, const QStringList& statements)
{
    static std::atomic<int> counter { 0 };
    const QString name = QStringLiteral("raw_%1").arg(++counter);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        for (const QString& s : statements) {
            if (ok && !q.exec(s)) {
                qWarning("%s: %s", qPrintable(s), qPrintable(q.lastError().text()));
                ok = false;
            }
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QVariant value(const QString& path, const QString& sql)
{
    static std::atomic<int> counter { 0 };
    const QString name = QStringLiteral("read_%1").arg(++counter);
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                result = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

// A program folder with a database of ours holding `examinees` examinees with every item answered.
QString makeOurs(const QTemporaryDir& folder, int examinees = 3)
{
    {
        Database db(folder.path());
        if (!db.open().ok())
            return {};
        QSqlQuery q(db.connection());
        db.beginTransaction();
        q.prepare(
            QStringLiteral("INSERT INTO IDE (Code, FName, LName, Tahsil) VALUES (?, 'Sara', 'Karimi', 'Lisans')"));
        QSqlQuery a(db.connection());
        a.prepare(QStringLiteral("INSERT INTO Answer (Code, \"1\", \"35\") VALUES (?, '4', '2')"));
        for (int n = 1; n <= examinees; ++n) {
            q.addBindValue(QString::number(n));
            q.exec();
            a.addBindValue(QString::number(n));
            a.exec();
        }
        db.commit();
    }
    return Database::filePath(folder.path());
}

// Statements that rebuild the examinee table with the same columns, rows and indexes, the code column's definition
// ending in `codeTail` and the column list in `tableTail`: what a hand-made or foreign tool's copy may look like.
QString rebuiltExamineeTable(const QString& codeTail, const QString& tableTail)
{
    QStringList columns;
    for (const QString& column : Database::ideColumns())
        columns << QStringLiteral("\"%1\" TEXT").arg(column) + (column == QLatin1String("Code") ? codeTail : QString());
    return QStringList {
        QStringLiteral("CREATE TABLE IDE_copy (%1%2").arg(columns.join(QStringLiteral(", ")), tableTail),
        QStringLiteral("INSERT INTO IDE_copy SELECT * FROM IDE"),
        QStringLiteral("DROP TABLE IDE"),
        QStringLiteral("ALTER TABLE IDE_copy RENAME TO IDE"),
        QStringLiteral("CREATE INDEX IDE_Code ON IDE(Code)"),
    }
        .join(QStringLiteral(";\n"));
}

// Kills, in the middle of a large write, a second process working on the file: its journal stays behind, and the
// file holds pages of the unfinished write.
bool crashWhileWriting(const QString& path)
{
    QProcess child;
    child.start(QStringLiteral(T35_DATABASE_CHILD), { QStringLiteral("write-and-wait"), path });
    if (!child.waitForReadyRead(20000) || !child.readAllStandardOutput().startsWith("writing")) {
        qWarning("the writing process did not start its write: %s", child.readAllStandardError().constData());
        child.kill();
        child.waitForFinished();
        return false;
    }
    child.kill();
    child.waitForFinished();
    return QFileInfo(DatabaseCheck::journalPath(path)).size() > 0;
}

// The check's outcome as another, unprivileged user sees it: the file's and folder's permission bits then count
// (a test run as root passes every one of them).
QString outcomeAsAnotherUser(const QString& path)
{
    QProcess child;
#ifdef Q_OS_UNIX
    if (::geteuid() == 0) {
        child.setChildProcessModifier([] {
            // nobody
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(9);
        });
    }
#endif
    child.start(QStringLiteral(T35_DATABASE_CHILD), { QStringLiteral("check"), path });
    child.waitForFinished(20000);
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed();
}

} // namespace

class TestDatabaseCheck : public QObject {
    Q_OBJECT
private slots:
    void oursIsOursAndUntouched();
    void missingFile();
    void leftoverJournalIsPlayedBackBeforeJudging();
    void fileMovedAsideIsNeverReplaced();
    void lockedFileIsBusyAndUntouched();
    void notOurs_data();
    void notOurs();
    void damaged_data();
    void damaged();
    void missingSettingsRowIsPutBack();
    void olderVersionIsBroughtUpToDate();
    void secondVersionGetsTheInvitations();
    void definitions_data();
    void definitions();
    void permissions_data();
    void permissions();
};

void TestDatabaseCheck::oursIsOursAndUntouched()
{
    QTemporaryDir folder;
    const QString path = makeOurs(folder);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    for (auto thoroughness : { DatabaseCheck::Thoroughness::Quick, DatabaseCheck::Thoroughness::Full }) {
        const DatabaseCheck::Result result = DatabaseCheck::inspect(path, thoroughness);
        QCOMPARE(result.outcome, Outcome::Ours);
        QVERIFY(!result.themeRowMissing);
    }
    // The write that proves the file writable is rolled back: the bytes are the same, no journal is left.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QVERIFY(!QFileInfo::exists(DatabaseCheck::journalPath(path)));
}

void TestDatabaseCheck::missingFile()
{
    QTemporaryDir folder;
    QCOMPARE(DatabaseCheck::inspect(folder.filePath(QStringLiteral("none.mdb"))).outcome, Outcome::Missing);
    QCOMPARE(DatabaseCheck::journalPath(QStringLiteral("/x/RIVERIVU.mdb")), QStringLiteral("/x/RIVERIVU.mdb-journal"));
}

void TestDatabaseCheck::leftoverJournalIsPlayedBackBeforeJudging()
{
    QTemporaryDir folder;
    const QString path = makeOurs(folder, Examinees);
    QVERIFY(crashWhileWriting(path));

    const DatabaseCheck::Result result = DatabaseCheck::inspect(path);
    QCOMPARE(result.outcome, Outcome::Ours);
    QVERIFY2(result.detail.isEmpty(), qPrintable(result.detail));
    QVERIFY(!QFileInfo::exists(DatabaseCheck::journalPath(path)));
    // The unfinished write is gone without a trace: every examinee and answer as before it.
    QCOMPARE(value(path, QStringLiteral("SELECT COUNT(*) FROM Answer")).toInt(), Examinees);
    QCOMPARE(value(path, QStringLiteral("SELECT COUNT(*) FROM IDE WHERE FName = 'Sara' AND Tahsil = 'Lisans'")).toInt(),
        Examinees);
    QCOMPARE(value(path, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));

    Database db(folder.path());
    QCOMPARE(db.open().status, Database::OpenStatus::Opened);
}

void TestDatabaseCheck::fileMovedAsideIsNeverReplaced()
{
    QTemporaryDir folder;
    const QString path = makeOurs(folder, Examinees);
    QVERIFY(crashWhileWriting(path));
    const QString journal = DatabaseCheck::journalPath(path);
    const QByteArray journalBefore = fingerprint(journal);
    const QString aside = path + QStringLiteral(".aside");
    QVERIFY(QFile::rename(path, aside));

    QCOMPARE(DatabaseCheck::inspect(path).outcome, Outcome::JournalWithoutFile);
    {
        Database db(folder.path());
        const Database::OpenResult opened = db.open();
        QCOMPARE(opened.status, Database::OpenStatus::Refused);
        QCOMPARE(opened.check, Outcome::JournalWithoutFile);
        QVERIFY(!db.isOpen());
    }
    // No new database took the old journal in; both files are as they were.
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(fingerprint(journal), journalBefore);

    // Put back, the file gets its journal played back and opens whole.
    QVERIFY(QFile::rename(aside, path));
    Database db(folder.path());
    QCOMPARE(db.open().status, Database::OpenStatus::Opened);
    QSqlQuery q(db.connection());
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM Answer")) && q.next());
    QCOMPARE(q.value(0).toInt(), Examinees);
}

void TestDatabaseCheck::lockedFileIsBusyAndUntouched()
{
    QTemporaryDir folder;
    const QString path = makeOurs(folder);
    const QByteArray before = fingerprint(path);
    LockHolder other(path);
    QElapsedTimer clock;
    clock.start();
    const DatabaseCheck::Result result = DatabaseCheck::inspect(path, DatabaseCheck::Thoroughness::Quick, 200);
    QCOMPARE(result.outcome, Outcome::Busy);
    QVERIFY(!result.detail.isEmpty());
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    other.release();
    QCOMPARE(fingerprint(path), before);
    QCOMPARE(DatabaseCheck::inspect(path).outcome, Outcome::Ours);
}

void TestDatabaseCheck::notOurs_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* kind :
        { "text file", "empty file", "random bytes behind an SQLite header", "a folder", "another program's database",
            "another program's table beside ours", "a trigger", "a view", "an index on another table",
            "a column too many", "a column too few", "a table missing", "a write-ahead-log database",
            "the examinee table without row ids", "a CHECK on the code", "a collation on the code",
            "a unique index in place of ours", "an index of its own on our table", "a newer schema version",
            "the pairs table in a file of the first version", "the pairs table defined another way",
            "the trail's lines deletable after all" })
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void TestDatabaseCheck::notOurs()
{
    QFETCH(QString, kind);
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("RIVERIVU")));
    const QString path = Database::filePath(folder.path());
    const auto write = [&](const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    if (kind == QLatin1String("text file")) {
        QVERIFY(write("Name,Code\nAli,12\n"));
    } else if (kind == QLatin1String("empty file")) {
        QVERIFY(write(QByteArray()));
    } else if (kind.startsWith(QLatin1String("random bytes"))) {
        QVERIFY(write(QByteArray("SQLite format 3\0", 16) + QByteArray(4000, '\x5a')));
    } else if (kind == QLatin1String("a folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("another program's database")) {
        QVERIFY(run(path,
            { QStringLiteral("CREATE TABLE invoices (id INTEGER, total REAL)"),
                QStringLiteral("INSERT INTO invoices VALUES (1, 9.5)") }));
    } else if (kind == QLatin1String("a write-ahead-log database")) {
        makeOurs(folder);
        QVERIFY(run(path, { QStringLiteral("PRAGMA journal_mode=WAL") }));
    } else {
        makeOurs(folder);
        const QMap<QString, QString> change = {
            { QStringLiteral("another program's table beside ours"), QStringLiteral("CREATE TABLE Notes (t TEXT)") },
            { QStringLiteral("a trigger"),
                QStringLiteral("CREATE TRIGGER wipe AFTER INSERT ON IDE BEGIN DELETE FROM "
                               "Answer; END") },
            { QStringLiteral("a view"), QStringLiteral("CREATE VIEW Everyone AS SELECT * FROM IDE") },
            { QStringLiteral("an index on another table"),
                QStringLiteral("CREATE TABLE X (a);\nCREATE INDEX XA ON X(a)") },
            { QStringLiteral("a column too many"), QStringLiteral("ALTER TABLE IDE ADD COLUMN Phone TEXT") },
            { QStringLiteral("a column too few"), QStringLiteral("DROP INDEX Answer_Complete;\nALTER TABLE Answer DROP COLUMN \"17\"") },
            { QStringLiteral("a table missing"), QStringLiteral("DROP TABLE PPP") },
            { QStringLiteral("the examinee table without row ids"),
                rebuiltExamineeTable(QString(), QStringLiteral(", PRIMARY KEY (\"Code\")) WITHOUT ROWID")) },
            { QStringLiteral("a CHECK on the code"),
                rebuiltExamineeTable(QStringLiteral(" CHECK (length(\"Code\") < 20)"), QStringLiteral(")")) },
            { QStringLiteral("a collation on the code"),
                rebuiltExamineeTable(QStringLiteral(" COLLATE NOCASE"), QStringLiteral(")")) },
            { QStringLiteral("a unique index in place of ours"),
                QStringLiteral("DROP INDEX IDE_Code;\nCREATE UNIQUE INDEX IDE_Code ON IDE(Code)") },
            { QStringLiteral("an index of its own on our table"), QStringLiteral("CREATE INDEX IDE_Age ON IDE(Sen)") },
            { QStringLiteral("a newer schema version"),
                QStringLiteral("PRAGMA user_version = %1").arg(Schema::CurrentVersion + 1) },
            { QStringLiteral("the pairs table in a file of the first version"), QStringLiteral("PRAGMA user_version = 0") },
            { QStringLiteral("the invitations table in a file of the second version"),
                QStringLiteral("PRAGMA user_version = 1") },
            { QStringLiteral("the trail's lines deletable after all"),
                QStringLiteral("DROP TRIGGER AuditLog_Undeleted;\nCREATE TRIGGER AuditLog_Undeleted BEFORE DELETE ON "
                               "AuditLog BEGIN SELECT 1; END") },
            { QStringLiteral("the pairs table defined another way"),
                QStringLiteral("DROP TABLE ComparedPairs;\nCREATE TABLE ComparedPairs (FirstCode TEXT, SecondCode TEXT)") },
        };
        QVERIFY(change.contains(kind));
        QVERIFY(run(path, change.value(kind).split(QStringLiteral(";\n"))));
    }
    const QByteArray before = fingerprint(path);
    const QStringList filesBefore = QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files);

    const DatabaseCheck::Result result = DatabaseCheck::inspect(path);
    QCOMPARE(result.outcome, Outcome::NotOurs);
    QVERIFY(!result.detail.isEmpty());
    QCOMPARE(fingerprint(path), before);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), filesBefore);

    Database db(folder.path());
    const Database::OpenResult opened = db.open();
    QCOMPARE(opened.status, Database::OpenStatus::Refused);
    QCOMPARE(opened.check, Outcome::NotOurs);
    QCOMPARE(fingerprint(path), before);
}

void TestDatabaseCheck::damaged_data()
{
    QTest::addColumn<QString>("kind");
    // Whether the start's check, which leaves reading every page for later, sees it too.
    QTest::addColumn<bool>("seenWithoutThePages");
    QTest::newRow("a questionnaire item deleted") << "item deleted" << true;
    QTest::newRow("a statement emptied") << "statement emptied" << true;
    QTest::newRow("a page overwritten") << "page overwritten" << false;
    QTest::newRow("cut short in a page") << "cut in a page" << true;
    QTest::newRow("cut short at a page's end") << "cut at a page" << true;
}

void TestDatabaseCheck::damaged()
{
    QFETCH(QString, kind);
    QTemporaryDir folder;
    const QString path = makeOurs(folder, Examinees);
    if (kind == QLatin1String("item deleted")) {
        QVERIFY(run(path, { QStringLiteral("DELETE FROM QU WHERE ID = '17'") }));
    } else if (kind == QLatin1String("statement emptied")) {
        QVERIFY(run(path, { QStringLiteral("UPDATE QU SET QUs = '' WHERE ID = '35'") }));
    } else if (kind.startsWith(QLatin1String("cut"))) {
        // What a copy that stopped half-way leaves.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(kind.endsWith(QLatin1String("in a page")) ? f.size() / 2 + 100 : f.size() - 4096));
    } else {
        // Into the examinees' pages, written last, far from the schema and the questionnaire written first.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.size() > 40 * 4096);
        QVERIFY(f.seek(f.size() / 4096 * 3 / 4 * 4096));
        QVERIFY(f.write(QByteArray(4096, '\x41')) == 4096);
    }
    const QByteArray before = fingerprint(path);
    for (auto thoroughness : { DatabaseCheck::Thoroughness::Quick, DatabaseCheck::Thoroughness::Full }) {
        const DatabaseCheck::Result result = DatabaseCheck::inspect(path, thoroughness);
        QCOMPARE(result.outcome, Outcome::Damaged);
        QVERIFY(!result.detail.isEmpty());
    }
    QFETCH(bool, seenWithoutThePages);
    const DatabaseCheck::Result layout = DatabaseCheck::inspect(path, DatabaseCheck::Thoroughness::Layout);
    QCOMPARE(layout.outcome, seenWithoutThePages ? Outcome::Damaged : Outcome::Ours);
    QCOMPARE(fingerprint(path), before);
    QVERIFY(!QFileInfo::exists(DatabaseCheck::journalPath(path)));
}

void TestDatabaseCheck::missingSettingsRowIsPutBack()
{
    QTemporaryDir folder;
    const QString path = makeOurs(folder);
    QVERIFY(run(path, { QStringLiteral("DELETE FROM Theme") }));
    const DatabaseCheck::Result result = DatabaseCheck::inspect(path);
    QCOMPARE(result.outcome, Outcome::Ours);
    QVERIFY(result.themeRowMissing);

    Database db(folder.path());
    QCOMPARE(db.open().status, Database::OpenStatus::Opened);
    QSqlQuery q(db.connection());
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*), MIN(TH), MIN(Name), MIN(Adress) FROM Theme")) && q.next());
    QCOMPARE(q.value(0).toInt(), 1);
    QCOMPARE(q.value(1).toString(), QStringLiteral("1"));
    QCOMPARE(q.value(2).toString(), QString());
    QCOMPARE(q.value(3).toString(), QString());
}

// A file of the first version (five tables, version 0) is ours; opening it adds the pairs table and the version
// number together and keeps every row.
void TestDatabaseCheck::olderVersionIsBroughtUpToDate()
{
    QTemporaryDir folder;
    const QString path = makeOurs(folder, 5);
    QVERIFY(run(path,
        { QStringLiteral("DROP TABLE AuditLog"), QStringLiteral("DROP TABLE ComparedPairs"), QStringLiteral("DROP TABLE Invitation"),
            QStringLiteral("DROP INDEX Answer_Complete"), QStringLiteral("PRAGMA user_version = 0") }));
    const QByteArray before = fingerprint(path);
    QCOMPARE(DatabaseCheck::inspect(path).outcome, Outcome::Ours);
    QCOMPARE(fingerprint(path), before);

    {
        Database db(folder.path());
        QCOMPARE(db.open().status, Database::OpenStatus::Opened);
    }
    QCOMPARE(value(path, QStringLiteral("PRAGMA user_version")).toInt(), Schema::CurrentVersion);
    QCOMPARE(value(path, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'ComparedPairs'")).toString(),
        Schema::find(Schema::Object::Kind::Table, QStringLiteral("ComparedPairs"))->sql);
    QCOMPARE(value(path, QStringLiteral("SELECT COUNT(*) FROM IDE")).toInt(), 5);
    QCOMPARE(DatabaseCheck::inspect(path).outcome, Outcome::Ours);
}

// A file of version 1 (with the pairs, without invitations) is ours; opening it adds the invitations table and its
// index with the version number, and keeps the pairs.
void TestDatabaseCheck::secondVersionGetsTheInvitations()
{
    QTemporaryDir folder;
    const QString path = makeOurs(folder, 3);
    QVERIFY(run(path,
        { QStringLiteral("INSERT INTO ComparedPairs (FirstCode, SecondCode, Kind) VALUES ('1', '2', 'Couple')"),
            QStringLiteral("DROP TABLE AuditLog"), QStringLiteral("DROP TABLE Invitation"), QStringLiteral("DROP INDEX Answer_Complete"),
            QStringLiteral("PRAGMA user_version = 1") }));
    QCOMPARE(DatabaseCheck::inspect(path).outcome, Outcome::Ours);
    {
        Database db(folder.path());
        QCOMPARE(db.open().status, Database::OpenStatus::Opened);
    }
    QCOMPARE(value(path, QStringLiteral("PRAGMA user_version")).toInt(), Schema::CurrentVersion);
    QCOMPARE(value(path, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'Invitation'")).toString(),
        Schema::find(Schema::Object::Kind::Table, QStringLiteral("Invitation"))->sql);
    QCOMPARE(value(path, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'Invitation_TokenHash'"))
                 .toInt(),
        1);
    QCOMPARE(value(path, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'Answer_Complete'")).toString(),
        Schema::find(Schema::Object::Kind::Index, QStringLiteral("Answer_Complete"))->sql);
    QCOMPARE(value(path, QStringLiteral("SELECT COUNT(*) FROM ComparedPairs")).toInt(), 1);
    QCOMPARE(DatabaseCheck::inspect(path).outcome, Outcome::Ours);
}

void TestDatabaseCheck::definitions_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    const QString ours = QStringLiteral("CREATE TABLE \"QU\" (\"ID\" TEXT, \"QUs\" TEXT)");
    QTest::newRow("quoting, case and blanks") << ours << "create  table QU(\n  [ID] text,`QUs` Text )" << true;
    QTest::newRow("a comment") << ours << "CREATE TABLE QU (ID TEXT, /* statement */ QUs TEXT -- shown\n)" << true;
    QTest::newRow("a collation") << ours << "CREATE TABLE QU (ID TEXT COLLATE NOCASE, QUs TEXT)" << false;
    QTest::newRow("another type") << ours << "CREATE TABLE QU (ID INTEGER, QUs TEXT)" << false;
    QTest::newRow("without row ids") << ours << "CREATE TABLE QU (ID TEXT PRIMARY KEY, QUs TEXT) WITHOUT ROWID"
                                     << false;
    QTest::newRow("a name in quotes is not a value") << "CREATE TABLE t (a TEXT DEFAULT 'x')"
                                                     << "CREATE TABLE t (a TEXT DEFAULT \"x\")" << false;
    QTest::newRow("values keep their case") << "CREATE TABLE t (a TEXT DEFAULT 'x')"
                                            << "CREATE TABLE t (a TEXT DEFAULT 'X')" << false;
}

void TestDatabaseCheck::definitions()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(Schema::sameDefinition(a, b), same);
}

void TestDatabaseCheck::permissions_data()
{
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("file may not be read") << 0000 << 0755 << "NoAccess";
    QTest::newRow("file may not be written") << 0444 << 0755 << "NotWritable";
    QTest::newRow("folder may not be written") << 0666 << 0555 << "NotWritable";
    QTest::newRow("both may be written") << 0666 << 0777 << "Ours";
}

void TestDatabaseCheck::permissions()
{
    QFETCH(int, fileMode);
    QFETCH(int, folderMode);
    QFETCH(QString, outcome);
    QTemporaryDir folder;
    const QString path = makeOurs(folder);
    const QString dataFolder = QFileInfo(path).absolutePath();
    const QByteArray before = fingerprint(path);
    const auto permissions = [](int mode) {
        QFileDevice::Permissions p;
        const QFileDevice::Permission bits[] = { QFileDevice::ReadOwner, QFileDevice::WriteOwner, QFileDevice::ExeOwner,
            QFileDevice::ReadGroup, QFileDevice::WriteGroup, QFileDevice::ExeGroup, QFileDevice::ReadOther,
            QFileDevice::WriteOther, QFileDevice::ExeOther };
        for (int i = 0; i < 9; ++i)
            if (mode & (0400 >> i))
                p |= bits[i];
        return p;
    };
    // The way to the file stays open to the other user; the file and its folder get the modes under test.
    QVERIFY(QFile::setPermissions(folder.path(), permissions(0755)));
    QVERIFY(QFile::setPermissions(path, permissions(fileMode)));
    QVERIFY(QFile::setPermissions(dataFolder, permissions(folderMode)));
    const QString seen = outcomeAsAnotherUser(path);
    QFile::setPermissions(dataFolder, permissions(0755));
    QFile::setPermissions(path, permissions(0644));
    QCOMPARE(seen, outcome);
    QCOMPARE(fingerprint(path), before);
    QVERIFY(!QFileInfo::exists(DatabaseCheck::journalPath(path)));
}

QTEST_GUILESS_MAIN(TestDatabaseCheck)
#include "TestDatabaseCheck.moc"
