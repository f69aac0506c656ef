#include "app/Program.h"
#include "app/SingleInstance.h"
#include "app/WindowRouter.h"
#include "data/Database.h"
#include "data/DatabaseCheck.h"
#include "support/LockHolder.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessages.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// Starting the program asks for no file.
ScriptedFileDialogs noDialogs;

const QString kAlreadyRunning = QStringLiteral("برنامه در حال اجراست");

int visibleWindows()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->isVisible();
    return n;
}

QByteArray fingerprint(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
        + QFileInfo(path).lastModified().toString(Qt::ISODateWithMs).toUtf8();
}

// The process id of a process that has ended.
qint64 deadProcessId()
{
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 0")});
    if (!process.waitForStarted())
        return -1;
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

} // namespace

class TestProgramStart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void firstStartRuns();
    void staleRestoreCopyIsRemoved();
    void secondStartRefused();
    void secondStartLeavesDatabaseAlone();
    void startsAgainAfterTheFirstEnds();
    void crashedFirstDoesNotLockOut();
    void unreadableLockIsStale_data();
    void unreadableLockIsStale();
    void foreignDatabaseRefused();
    void eachRefusalSaysWhy_data();
    void eachRefusalSaysWhy();
    void damagedPageFoundOnceTheWindowIsUp();
    void refusalTextsAreDistinct();
    void lockIsPerUser();
};

void TestProgramStart::firstStartRuns()
{
    QTemporaryDir folder;
    QTemporaryDir locks;
    ScriptedMessages messages;
    Program program(folder.path(), messages, noDialogs, locks.filePath(QStringLiteral("t35.lock")));
    QCOMPARE(program.start(), Program::Start::Running);
    QVERIFY(program.router());
    QVERIFY(program.router()->mainWindow());
    QVERIFY(program.router()->mainWindow()->isVisible());
    QVERIFY(QFileInfo::exists(Database::filePath(folder.path())));
    QCOMPARE(messages.boxes.size(), 0);
}

void TestProgramStart::staleRestoreCopyIsRemoved()
{
    QTemporaryDir folder;
    QTemporaryDir locks;
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("RIVERIVU")));
    const QString database = Database::filePath(folder.path());
    // What a restore killed half-way leaves beside the database: a whole private copy, perhaps with a journal; and
    // what an encrypted backup of the server killed half-way leaves: its plain snapshot, whole or still being built;
    // and the server's rows half kept by a restore onto the server killed half-way.
    const QString snapshot = QDir(QFileInfo(database).path()).filePath(QStringLiteral("server.mdbB.snapshot"));
    const QString kept = QDir(QFileInfo(database).path()).filePath(QStringLiteral("server.mdbB.before-restore"));
    for (const QString& left : { database + QStringLiteral(".restore-check"),
             database + QStringLiteral(".restore-check-journal"), snapshot, snapshot + QStringLiteral(".building"),
             snapshot + QStringLiteral(".building-journal"), kept + QStringLiteral(".building"),
             kept + QStringLiteral(".building-journal") }) {
        QFile file(left);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("half a restore");
    }
    ScriptedMessages messages;
    Program program(folder.path(), messages, noDialogs, locks.filePath(QStringLiteral("t35.lock")));
    QCOMPARE(program.start(), Program::Start::Running);
    QCOMPARE(QDir(QFileInfo(database).path()).entryList(QDir::Files), QStringList { QStringLiteral("RIVERIVU.mdb") });
}

void TestProgramStart::secondStartRefused()
{
    QTemporaryDir firstFolder;
    QTemporaryDir secondFolder;
    QTemporaryDir locks;
    const QString lock = locks.filePath(QStringLiteral("t35.lock"));
    ScriptedMessages firstMessages;
    Program first(firstFolder.path(), firstMessages, noDialogs, lock);
    QCOMPARE(first.start(), Program::Start::Running);
    const int windowsBefore = visibleWindows();

    ScriptedMessages messages;
    Program second(secondFolder.path(), messages, noDialogs, lock);
    QCOMPARE(second.start(), Program::Start::AlreadyRunning);
    QCOMPARE(messages.boxes.size(), 1);
    const ScriptedMessages::Box& box = messages.boxes.first();
    QCOMPARE(box.kind, ScriptedMessages::Kind::Standard);
    QCOMPARE(box.text, kAlreadyRunning);
    QCOMPARE(box.title, QStringLiteral("Warnnig"));
    QCOMPARE(box.style, 64);
    QVERIFY(!box.owner);
    // No window, no database.
    QVERIFY(!second.router());
    QCOMPARE(visibleWindows(), windowsBefore);
    QVERIFY(!QFileInfo::exists(QDir(secondFolder.path()).filePath(QStringLiteral("RIVERIVU"))));
    // The first copy is untouched.
    QVERIFY(first.router()->mainWindow()->isVisible());
    QCOMPARE(firstMessages.boxes.size(), 0);
}

void TestProgramStart::secondStartLeavesDatabaseAlone()
{
    QTemporaryDir folder;
    QTemporaryDir locks;
    const QString lock = locks.filePath(QStringLiteral("t35.lock"));
    ScriptedMessages messages;
    Program first(folder.path(), messages, noDialogs, lock);
    QCOMPARE(first.start(), Program::Start::Running);
    const QString file = Database::filePath(folder.path());
    const QByteArray before = fingerprint(file);
    QVERIFY(!before.isEmpty());
    QTest::qWait(20);

    Program second(folder.path(), messages, noDialogs, lock);
    QCOMPARE(second.start(), Program::Start::AlreadyRunning);
    QCOMPARE(fingerprint(file), before);
    QVERIFY(!QFileInfo::exists(file + QStringLiteral("-journal")));
}

void TestProgramStart::startsAgainAfterTheFirstEnds()
{
    QTemporaryDir folder;
    QTemporaryDir locks;
    const QString lock = locks.filePath(QStringLiteral("t35.lock"));
    ScriptedMessages messages;
    {
        Program first(folder.path(), messages, noDialogs, lock);
        QCOMPARE(first.start(), Program::Start::Running);
    }
    Program again(folder.path(), messages, noDialogs, lock);
    QCOMPARE(again.start(), Program::Start::Running);
    QCOMPARE(messages.boxes.size(), 0);
}

void TestProgramStart::crashedFirstDoesNotLockOut()
{
    QTemporaryDir folder;
    QTemporaryDir locks;
    const QString lock = locks.filePath(QStringLiteral("t35.lock"));
    const qint64 pid = deadProcessId();
    QVERIFY(pid > 0);
    {
        // What a copy that crashed leaves behind: the lock with its process id.
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(pid) + '\n' + QCoreApplication::applicationName().toUtf8() + '\n'
                   + QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n');
    }
    ScriptedMessages messages;
    Program program(folder.path(), messages, noDialogs, lock);
    QCOMPARE(program.start(), Program::Start::Running);
    QCOMPARE(messages.boxes.size(), 0);

    // And the lock is now this copy's own.
    ScriptedMessages secondMessages;
    Program second(folder.path(), secondMessages, noDialogs, lock);
    QCOMPARE(second.start(), Program::Start::AlreadyRunning);
}

void TestProgramStart::foreignDatabaseRefused()
{
    QTemporaryDir folder;
    QTemporaryDir locks;
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("RIVERIVU")));
    const QString file = Database::filePath(folder.path());
    {
        QFile foreign(file);
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write("not a database of ours");
    }
    const QByteArray before = fingerprint(file);
    ScriptedMessages messages;
    Program program(folder.path(), messages, noDialogs, locks.filePath(QStringLiteral("t35.lock")));
    QCOMPARE(program.start(), Program::Start::DatabaseRefused);
    QVERIFY(!program.router());
    QCOMPARE(messages.boxes.size(), 1);
    QCOMPARE(messages.boxes.first().title, QStringLiteral("خطا"));
    QCOMPARE(fingerprint(file), before);
}

void TestProgramStart::unreadableLockIsStale_data()
{
    QTest::addColumn<QByteArray>("content");
    // A power cut right after the lock was created, or a disk that garbled it.
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbled") << QByteArray("\xff\xfe\x00garbage");
    QTest::newRow("half a line") << QByteArray("12");
}

void TestProgramStart::unreadableLockIsStale()
{
    QFETCH(QByteArray, content);
    QTemporaryDir folder;
    QTemporaryDir locks;
    const QString lock = locks.filePath(QStringLiteral("t35.lock"));
    {
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    ScriptedMessages messages;
    Program program(folder.path(), messages, noDialogs, lock);
    QCOMPARE(program.start(), Program::Start::Running);
    QCOMPARE(messages.boxes.size(), 0);

    // The lock is this copy's own now: a second start is refused.
    ScriptedMessages secondMessages;
    Program second(folder.path(), secondMessages, noDialogs, lock);
    QCOMPARE(second.start(), Program::Start::AlreadyRunning);
}

void TestProgramStart::eachRefusalSaysWhy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("not ours") << "not ours" << Msg::DatabaseNotOurs;
    QTest::newRow("damaged") << "damaged" << Msg::DatabaseDamaged;
    QTest::newRow("held by another program") << "held" << Msg::DatabaseHeldAtStart;
    QTest::newRow("journal without its file") << "journal" << Msg::DatabaseJournalWithoutFile;
}

void TestProgramStart::eachRefusalSaysWhy()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QTemporaryDir folder;
    QTemporaryDir locks;
    const QString file = Database::filePath(folder.path());
    const QString journal = DatabaseCheck::journalPath(file);
    if (kind == QLatin1String("journal")) {
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("RIVERIVU")));
        QFile leftover(journal);
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write(QByteArray(512, '\x07'));
    } else {
        Database db(folder.path());
        QVERIFY(db.open().ok());
        if (kind == QLatin1String("not ours"))
            QVERIFY(QSqlQuery(db.connection()).exec(QStringLiteral("CREATE TABLE Notes (t TEXT)")));
        if (kind == QLatin1String("damaged"))
            QVERIFY(QSqlQuery(db.connection()).exec(QStringLiteral("DELETE FROM QU WHERE ID = '3'")));
    }
    std::unique_ptr<LockHolder> other;
    if (kind == QLatin1String("held"))
        other = std::make_unique<LockHolder>(file);
    const QByteArray fileBefore = fingerprint(file);
    const QByteArray journalBefore = fingerprint(journal);

    ScriptedMessages messages;
    Program program(folder.path(), messages, noDialogs, locks.filePath(QStringLiteral("t35.lock")));
    QCOMPARE(program.start(), Program::Start::DatabaseRefused);
    QVERIFY(!program.router());
    QCOMPARE(visibleWindows(), 0);
    QCOMPARE(messages.boxes.size(), 1);
    const ScriptedMessages::Box box = messages.boxes.first();
    QCOMPARE(box.kind, ScriptedMessages::Kind::Standard);
    QCOMPARE(box.title, QStringLiteral("خطا"));
    // Its own message, naming the file (and the journal, when that is what is left).
    QVERIFY2(box.text.startsWith(message.section(QStringLiteral("%1"), 0, 0)), qPrintable(box.text));
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(file)), qPrintable(box.text));
    if (kind == QLatin1String("journal"))
        QVERIFY2(box.text.contains(QDir::toNativeSeparators(journal)), qPrintable(box.text));
    // Nothing on disk changed; no new database took the journal's place.
    QCOMPARE(fingerprint(file), fileBefore);
    QCOMPARE(fingerprint(journal), journalBefore);
}

void TestProgramStart::damagedPageFoundOnceTheWindowIsUp()
{
    QTemporaryDir folder;
    QTemporaryDir locks;
    const QString file = Database::filePath(folder.path());
    {
        Database db(folder.path());
        QVERIFY(db.open().ok());
        QVERIFY(db.beginTransaction());
        QSqlQuery insert(db.connection());
        QVERIFY(insert.prepare(QStringLiteral("INSERT INTO IDE (Code, FName) VALUES (?, 'Sara')")));
        for (int n = 1; n <= 3000; ++n) {
            insert.addBindValue(QString::number(n));
            QVERIFY(insert.exec());
        }
        QVERIFY(db.commit());
    }
    {
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        // Among the examinees' pages, written last.
        QVERIFY(damaged.seek(damaged.size() / 4096 * 3 / 4 * 4096));
        QCOMPARE(damaged.write(QByteArray(4096, '\x41')), 4096);
    }
    const QByteArray before = fingerprint(file);

    ScriptedMessages messages;
    Program program(folder.path(), messages, noDialogs, locks.filePath(QStringLiteral("t35.lock")));
    QCOMPARE(program.start(), Program::Start::Running);
    QSignalSpy ended(program.router(), &WindowRouter::programEnded);
    QTRY_COMPARE(ended.size(), 1);
    QCOMPARE(messages.boxes.size(), 1);
    QCOMPARE(messages.boxes.first().title, QStringLiteral("خطا"));
    QVERIFY2(messages.boxes.first().text.startsWith(Msg::DatabaseDamaged.section(QStringLiteral("%1"), 0, 0)),
             qPrintable(messages.boxes.first().text));
    QCOMPARE(program.exitStatus(), 1);
    QCOMPARE(fingerprint(file), before);
}

void TestProgramStart::refusalTextsAreDistinct()
{
    using DatabaseCheck::Outcome;
    const QString path = QStringLiteral("/clinic/RIVERIVU/RIVERIVU.mdb");
    QSet<QString> texts;
    for (Outcome outcome : {Outcome::NotOurs, Outcome::Damaged, Outcome::Busy, Outcome::NoAccess,
                            Outcome::NotWritable, Outcome::JournalWithoutFile, Outcome::CannotOpen}) {
        Database::OpenResult refused;
        refused.status = Database::OpenStatus::Refused;
        refused.check = outcome;
        refused.error = QStringLiteral("platform words");
        const QString text = Program::refusalText(refused, path);
        QVERIFY2(!text.contains(QStringLiteral("%1")) && !text.contains(QStringLiteral("%2")), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\nplatform words")), qPrintable(text));
        if (outcome != Outcome::CannotOpen)
            QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        texts.insert(text);
    }
    QCOMPARE(texts.size(), 7);
}

void TestProgramStart::lockIsPerUser()
{
#ifdef Q_OS_WIN
    QSKIP("the user's temporary folder is per user by itself");
#else
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const QString path = SingleInstance::defaultLockPath();
    qputenv("XDG_RUNTIME_DIR", saved);
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(runtime.path()).absoluteFilePath());
#endif
}

QTEST_MAIN(TestProgramStart)
#include "TestProgramStart.moc"
