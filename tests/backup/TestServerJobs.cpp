// The backup window's work on the clinic's server, done on a worker thread: progress, stopping it by closing the
// window, and the head's rights, against the test cluster.
#include "backup/BackupNames.h"
#include "backup/BackupWindow.h"
#include "data/Database.h"
#include "data/ServerRights.h"
#include "support/ScratchServer.h"
#include "support/TableContents.h"
#include "support/TableHold.h"
#include "support/TestProgram.h"
#include "support/TestServer.h"
#include "ui/MessageCatalogue.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QSqlQuery>
#include <QTest>

class TestServerJobs : public QObject {
    Q_OBJECT
private slots:
    void backupShowsProgressAndEndsWithTheServersRows();
    void closingMidBackupKeepsTheEarlierFile();
    void closingMidRestoreLeavesTheServerAsItWas();
    void counsellorRefusedHeadsBackupNoted();
};

namespace {

// The server of `scratch` holding `examinees` examinees, each with a row of answers; its files in `program`'s folder.
std::unique_ptr<Database> serverWith(const ScratchServer& scratch, TestProgram& program, int examinees)
{
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    if (!server->open().ok())
        QTest::qFail("the server did not open", __FILE__, __LINE__);
    server->setFolders(program.folder(), program.folder());
    const QString fill = QStringLiteral("INSERT INTO %1 (\"Code\", %2) SELECT n::text, 'x' || n FROM "
                                        "generate_series(1, %3) n");
    if (!server->exec(fill.arg(QStringLiteral("\"IDE\""), QStringLiteral("\"FName\"")).arg(examinees))
        || !server->exec(fill.arg(QStringLiteral("\"Answer\""), QStringLiteral("\"1\"")).arg(examinees)))
        QTest::qFail(qPrintable(server->lastError()), __FILE__, __LINE__);
    return server;
}

// A backup window of its own on `db`, gone when it closes itself or the test ends.
struct OwnWindow {
    OwnWindow(Database& db, TestProgram& program)
        : window(new BackupWindow(db, program.messages(), program.fileDialogs()))
    {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QObject::connect(Drive::find<QProgressBar>(window, "CopyProgress"), &QProgressBar::valueChanged,
            [this](int percent) { shown << percent; });
    }
    ~OwnWindow() { delete window.data(); }
    QPointer<BackupWindow> window;
    QList<int> shown; // the percents the progress bar showed, in order
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

void TestServerJobs::backupShowsProgressAndEndsWithTheServersRows()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram program;
    const std::unique_ptr<Database> server = serverWith(scratch, program, 1000);
    const QString target = QDir(program.folder()).filePath(QStringLiteral("clinic.mdbB"));
    OwnWindow w(*server, program);
    Drive::find<QLineEdit>(w.window, "Text1")->setText(target);
    QVERIFY(Drive::click(w.window, QStringLiteral("VisualButtonEx2")));
    QCOMPARE(program.messages().lastText(), Msg::BackupDone);
    // Whole percents climbing to the end, by batches of rows.
    QVERIFY2(w.shown.size() > 5, qPrintable(QString::number(w.shown.size())));
    QVERIFY(std::is_sorted(w.shown.cbegin(), w.shown.cend()));
    QCOMPARE(w.shown.last(), 100);
    const std::unique_ptr<Database> backup = Database::atFile(target);
    QVERIFY(backup->open().ok());
    QCOMPARE(tableContents(*backup), tableContents(*server));
    QTRY_VERIFY(!w.window);
}

void TestServerJobs::closingMidBackupKeepsTheEarlierFile()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram program;
    const std::unique_ptr<Database> server = serverWith(scratch, program, 1000);
    const QString target = QDir(program.folder()).filePath(QStringLiteral("clinic.mdbB"));
    {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier backup");
    }
    OwnWindow w(*server, program);
    Drive::find<QLineEdit>(w.window, "Text1")->setText(target);
    program.messages().answers.enqueue(Msg::Yes); // the earlier backup is to be replaced
    // The backup's read waits at the invitations, its snapshot taken; the window is closed meanwhile.
    TableHold hold(scratch.address(), QStringLiteral("Invitation"), QStringLiteral("ACCESS EXCLUSIVE"));
    QVERIFY(hold.held());
    hold.whenWaitedFor([&] { w.window->close(); });
    QVERIFY(Drive::click(w.window, QStringLiteral("VisualButtonEx2")));
    QTRY_VERIFY(!w.window);
    QCOMPARE(contents(target), QByteArray("an earlier backup"));
    QVERIFY(!QFile::exists(target + QStringLiteral(".building")));
    // Nothing said but the question: no failure, no success.
    QCOMPARE(program.messages().boxes.size(), 1);
}

void TestServerJobs::closingMidRestoreLeavesTheServerAsItWas()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram program;
    program.addExaminee(QStringLiteral("local-1"));
    const std::unique_ptr<Database> server = serverWith(scratch, program, 1000);
    QVERIFY(server->exec(QStringLiteral("INSERT INTO \"Invitation\" (\"Code\", \"TokenHash\", \"State\") "
                                        "VALUES ('1', 'h', 'open')")));
    const auto before = tableContents(*server);
    const BackupNames::Places places(Database::filePath(program.folder()));
    OwnWindow w(*server, program);
    Drive::find<QLineEdit>(w.window, "Text2")->setText(places.database);
    program.messages().answers.enqueue(Msg::Yes);
    // The server's rows went to their own file and the restore's deletions began: the last of them waits.
    TableHold hold(scratch.address(), QStringLiteral("Invitation"), QStringLiteral("SHARE"));
    QVERIFY(hold.held());
    hold.whenWaitedFor([&] { w.window->close(); });
    QVERIFY(Drive::click(w.window, QStringLiteral("VisualButtonEx3")));
    QTRY_VERIFY(!w.window);
    QCOMPARE(tableContents(*server), before);
    QSqlQuery invitations(server->connection());
    QVERIFY(invitations.exec(QStringLiteral("SELECT count(*) FROM \"Invitation\"")) && invitations.next());
    QCOMPARE(invitations.value(0).toInt(), 1);
    QVERIFY(!QFile::exists(places.restoreCheck));
    QCOMPARE(program.messages().boxes.size(), 1);
}

void TestServerJobs::counsellorRefusedHeadsBackupNoted()
{
    T35_SKIP_WITHOUT_SERVER();
    const std::optional<ServerAddress> address = TestServer::freshProgramDatabase();
    QVERIFY(address);
    TestProgram program;
    const QString head = address->database + QStringLiteral("_head");
    const QString counsellor = address->database + QStringLiteral("_first");
    const auto cleanUp = qScopeGuard([&] {
        TestServer::drop(*address);
        for (const QString& role : { head, counsellor })
            TestServer::execAsAdmin(QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(role));
    });
    {
        const std::unique_ptr<Database> owner = Database::onServer(*address);
        QVERIFY(owner->open().ok());
        QVERIFY(ServerRights::setUp(*owner, QString()).isNull());
        QVERIFY(owner->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('41')")));
    }
    QVERIFY(TestServer::execAsAdmin(
        QStringLiteral("CREATE ROLE \"%1\" LOGIN IN ROLE %2").arg(head, ServerRights::HeadRole)).isNull());
    QVERIFY(TestServer::execAsAdmin(
        QStringLiteral("CREATE ROLE \"%1\" LOGIN IN ROLE %2").arg(counsellor, ServerRights::CounsellorRole)).isNull());
    const auto as = [&](const QString& user) {
        ServerAddress login = *address;
        login.user = user;
        std::unique_ptr<Database> db = Database::onServer(login);
        if (!db->open().ok())
            QTest::qFail("the server did not open", __FILE__, __LINE__);
        db->setFolders(program.folder(), program.folder());
        return db;
    };

    // A counsellor may not put a backup in place of the clinic's rows.
    {
        const std::unique_ptr<Database> asCounsellor = as(counsellor);
        OwnWindow w(*asCounsellor, program);
        Drive::find<QLineEdit>(w.window, "Text2")->setText(Database::filePath(program.folder()));
        QVERIFY(Drive::click(w.window, QStringLiteral("VisualButtonEx3")));
        QCOMPARE(program.messages().lastText(), Msg::HeadOnly);
        QVERIFY(w.shown.isEmpty());
    }
    // The head's backup, made on the worker's connection as the same login, is in the trail.
    const std::unique_ptr<Database> asHead = as(head);
    const QString target = QDir(program.folder()).filePath(QStringLiteral("clinic.mdbB"));
    {
        OwnWindow w(*asHead, program);
        Drive::find<QLineEdit>(w.window, "Text1")->setText(target);
        QVERIFY(Drive::click(w.window, QStringLiteral("VisualButtonEx2")));
        QCOMPARE(program.messages().lastText(), Msg::BackupDone);
    }
    QSqlQuery trail(asHead->connection());
    QVERIFY(trail.exec(QStringLiteral("SELECT \"Who\", \"Detail\" FROM \"AuditLog\" WHERE \"What\" = 'backup'")));
    QVERIFY(trail.next());
    QCOMPARE(trail.value(0).toString(), head);
    QCOMPARE(trail.value(1).toString(), target);
    const std::unique_ptr<Database> backup = Database::atFile(target);
    QVERIFY(backup->open().ok());
    QCOMPARE(tableContents(*backup).value(QStringLiteral("IDE")).size(), 1);
}

QTEST_MAIN(TestServerJobs)
#include "TestServerJobs.moc"
