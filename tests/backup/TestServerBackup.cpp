// Backups of the clinic's server and restores onto it, against the test cluster.
#include "backup/BackupNames.h"
#include "backup/DatabaseCopy.h"
#include "backup/DatabaseRestore.h"
#include "backup/ServerBackup.h"
#include "data/DatabaseCheck.h"
#include "data/TableTransfer.h"
#include "support/ScratchServer.h"
#include "support/TableContents.h"
#include "support/TestProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <sys/stat.h>

class TestServerBackup : public QObject {
    Q_OBJECT
private slots:
    void serverBackupIsADataFileOfOurs();
    void serverBackupOverAFileOthersMayRead();
    void serverBackupRestoresIntoLocalCopy();
    void localBackupRestoresOntoServer();
    void unwritableBeforeRestoreLeavesServerAlone();
    void backupReplacesOnlyWhenWhole();
};

namespace {

void fill(TestProgram& program, const QString& prefix)
{
    program.addExaminee(prefix + QStringLiteral("7"), QStringLiteral("مريم"), QStringLiteral("A"));
    program.addExaminee(prefix + QStringLiteral("O'Brien"), QStringLiteral("Ali"), QStringLiteral("B"));
    QStringList answers(35, QStringLiteral("4"));
    answers[0] = QStringLiteral("5");
    program.setAnswers(prefix + QStringLiteral("7"), answers);
    program.exec(QStringLiteral("UPDATE Theme SET TH = '3', Name = ?"), { prefix + QStringLiteral("کلينيک") });
    program.exec(QStringLiteral("INSERT INTO ComparedPairs (FirstCode, SecondCode, Kind) VALUES (?, ?, 'Couple')"),
        { prefix + QStringLiteral("7"), prefix + QStringLiteral("O'Brien") });
    // A link handed out for answering on a phone, still open.
    program.exec(QStringLiteral("INSERT INTO Invitation (Code, TokenHash, Made, Expires, State, MadeBy) "
                                "VALUES (?, ?, '2026-03-01T08:00:00Z', '2026-03-08T08:00:00Z', 'open', 'مشاور')"),
        { prefix + QStringLiteral("7"), prefix + QStringLiteral("a1b2") });
}

// The invitations, as texts, in stored order.
QList<QStringList> invitations(Database& db)
{
    QList<QStringList> rows;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT \"Code\", \"TokenHash\", \"Made\", \"Expires\", \"State\", \"MadeBy\" "
                               "FROM \"Invitation\" ORDER BY %1")
                    .arg(db.engine().rowIdentity()))) {
        QTest::qFail(qPrintable(q.lastError().text()), __FILE__, __LINE__);
        return rows;
    }
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < 6; ++i)
            row << q.value(i).toString();
        rows << row;
    }
    return rows;
}

std::unique_ptr<Database> openServer(const ScratchServer& scratch)
{
    std::unique_ptr<Database> db = Database::onServer(scratch.address());
    const Database::OpenResult opened = db->open();
    if (!opened.ok())
        QTest::qFail(qPrintable(QStringLiteral("server did not open: ") + opened.error), __FILE__, __LINE__);
    return db;
}

// The server holding `program`'s rows.
std::unique_ptr<Database> serverWith(const ScratchServer& scratch, TestProgram& program)
{
    std::unique_ptr<Database> server = openServer(scratch);
    const TableTransfer::Result put = TableTransfer::replaceAll(program.database(), *server);
    if (!put.ok)
        QTest::qFail(qPrintable(put.error), __FILE__, __LINE__);
    return server;
}

} // namespace

void TestServerBackup::serverBackupIsADataFileOfOurs()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram program;
    fill(program, QStringLiteral("s"));
    const std::unique_ptr<Database> server = serverWith(scratch, program);

    const QString target = QDir(program.folder()).filePath(QStringLiteral("server.mdbB"));
    const ServerBackup::Result written = ServerBackup::write(*server, target);
    QVERIFY2(written.ok, qPrintable(written.error));
    QCOMPARE(DatabaseCheck::inspect(target, DatabaseCheck::Thoroughness::Full).outcome, DatabaseCheck::Outcome::Ours);
    QVERIFY(!QFile::exists(target + QStringLiteral(".building")));
    // Clients' data: for the operator's eyes only.
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFileInfo(target).permissions() & others, QFileDevice::Permissions());
    const std::unique_ptr<Database> backup = Database::atFile(target);
    QVERIFY(backup->open().ok());
    QCOMPARE(tableContents(*backup), tableContents(*server));
    // The clinic's open links are in the backup, so restoring it does not revoke them.
    QCOMPARE(invitations(*server).size(), 1);
    QCOMPARE(invitations(*backup), invitations(*server));
}

// A backup written over one that others could read takes nothing of its mode.
void TestServerBackup::serverBackupOverAFileOthersMayRead()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram program;
    fill(program, QStringLiteral("s"));
    const std::unique_ptr<Database> server = serverWith(scratch, program);
    const QString target = QDir(program.folder()).filePath(QStringLiteral("server.mdbB"));
    {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier backup");
    }
    QVERIFY(::chmod(QFile::encodeName(target).constData(), 0644) == 0);
    const ServerBackup::Result written = ServerBackup::write(*server, target);
    QVERIFY2(written.ok, qPrintable(written.error));
    struct stat info { };
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0600));
    QCOMPARE(DatabaseCheck::inspect(target, DatabaseCheck::Thoroughness::Full).outcome, DatabaseCheck::Outcome::Ours);
}

void TestServerBackup::serverBackupRestoresIntoLocalCopy()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram onServer;
    fill(onServer, QStringLiteral("s"));
    const std::unique_ptr<Database> server = serverWith(scratch, onServer);
    TestProgram local;
    fill(local, QStringLiteral("l"));
    const QString backup = QDir(local.folder()).filePath(QStringLiteral("server.mdbB"));
    QVERIFY(ServerBackup::write(*server, backup).ok);

    // The local program's own restore: the same checks, then the file in place of its data file.
    const BackupNames::Places places(local.database().filePath());
    QVERIFY(DatabaseCopy::copyFile(backup, places.restoreCheck).ok());
    QVERIFY(DatabaseRestore::prove(places).isOurs());
    local.database().close();
    QString error;
    const auto copy = [](const QString& from, const QString& to) { return DatabaseCopy::copyFile(from, to).ok(); };
    QCOMPARE(DatabaseRestore::putInPlace(places, copy, error), DatabaseRestore::Step::Done);
    QVERIFY(local.database().open().ok());
    QCOMPARE(tableContents(local.database()), tableContents(*server));
}

void TestServerBackup::localBackupRestoresOntoServer()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram onServer;
    fill(onServer, QStringLiteral("s"));
    const std::unique_ptr<Database> server = serverWith(scratch, onServer);
    const auto serverBefore = tableContents(*server);
    TestProgram local;
    fill(local, QStringLiteral("l"));
    const auto localRows = tableContents(local.database());

    // A local backup is a copy of the data file; the window puts its private copy where the check expects it.
    const BackupNames::Places places(Database::filePath(local.folder()));
    QVERIFY(DatabaseCopy::copyFile(places.database, places.restoreCheck).ok());
    QVERIFY(DatabaseRestore::prove(places).isOurs());
    const ServerBackup::Result restored = ServerBackup::restore(*server, places);
    QVERIFY2(restored.ok, qPrintable(restored.error));
    QCOMPARE(tableContents(*server), localRows);
    QCOMPARE(invitations(*server), invitations(local.database()));
    QCOMPARE(invitations(*server).value(0).value(1), QStringLiteral("la1b2"));
    QVERIFY(!QFile::exists(places.restoreCheck));
    // What the server held is kept as a backup of its own.
    const std::unique_ptr<Database> before = Database::atFile(places.serverBeforeRestore);
    QVERIFY(before->open().ok());
    QCOMPARE(tableContents(*before), serverBefore);
}

void TestServerBackup::unwritableBeforeRestoreLeavesServerAlone()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram onServer;
    fill(onServer, QStringLiteral("s"));
    const std::unique_ptr<Database> server = serverWith(scratch, onServer);
    const auto serverBefore = tableContents(*server);
    TestProgram local;
    fill(local, QStringLiteral("l"));

    BackupNames::Places places(Database::filePath(local.folder()));
    QVERIFY(DatabaseCopy::copyFile(places.database, places.restoreCheck).ok());
    // Its folder is a file: nothing can be written there.
    const QString notAFolder = QDir(local.folder()).filePath(QStringLiteral("not-a-folder"));
    {
        QFile file(notAFolder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    places.serverBeforeRestore = notAFolder + QStringLiteral("/server.before-restore");
    const ServerBackup::Result restored = ServerBackup::restore(*server, places);
    QVERIFY(!restored.ok);
    QVERIFY(!restored.error.isEmpty());
    QCOMPARE(tableContents(*server), serverBefore);
    QVERIFY(!QFile::exists(places.restoreCheck));
}

void TestServerBackup::backupReplacesOnlyWhenWhole()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram program;
    fill(program, QStringLiteral("s"));
    const std::unique_ptr<Database> server = serverWith(scratch, program);
    const QString target = QDir(program.folder()).filePath(QStringLiteral("earlier.mdbB"));
    {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier backup");
    }
    // The server's tables cannot be read: the earlier backup stays as it was.
    std::unique_ptr<Database> reader = openServer(scratch);
    QVERIFY(reader->exec(QStringLiteral("ALTER TABLE \"IDE\" RENAME TO \"IDE_gone\"")));
    QVERIFY(!ServerBackup::write(*server, target).ok);
    QFile earlier(target);
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("an earlier backup"));
    QVERIFY(!QFile::exists(target + QStringLiteral(".building")));
    QVERIFY(reader->exec(QStringLiteral("ALTER TABLE \"IDE_gone\" RENAME TO \"IDE\"")));
}

QTEST_MAIN(TestServerBackup)
#include "TestServerBackup.moc"
