#include "backup/BackupWindow.h"
#include "backup/FileBytes.h"
#include "calendar/SolarHijri.h"
#include "data/Schema.h"
#include "support/LayoutCheck.h"
#include "support/TestProgram.h"
#include "text/Digits.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>

using namespace FileBytes;

namespace {

// Runs a statement on an SQLite file of the test's own making and returns the first value it gives.
QVariant onFile(const QString& path, const QString& statement)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(statement) && q.next())
            value = q.value(0);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    return value;
}

// Rebuilds the examinee table of the file at `path` with the same columns and rows; `change` is either the code
// column's ending (a COLLATE) or what ends the column list (a constraint and the closing bracket, and what follows).
bool rebuildExamineeTable(const QString& path, const QString& change)
{
    const bool ofCode = change.startsWith(QLatin1String("COLLATE"));
    QStringList columns;
    for (const QString& column : Database::ideColumns())
        columns << QStringLiteral("\"%1\" TEXT").arg(column)
                + (ofCode && column == QLatin1String("Code") ? QLatin1Char(' ') + change : QString());
    const QString create = QStringLiteral("CREATE TABLE IDE_copy (%1%2")
                               .arg(columns.join(QStringLiteral(", ")),
                                   ofCode ? QStringLiteral(")") : QStringLiteral(", ") + change);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("rebuild"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open();
        for (const QString& statement : { create, QStringLiteral("INSERT INTO IDE_copy SELECT * FROM IDE"),
                 QStringLiteral("DROP TABLE IDE"), QStringLiteral("ALTER TABLE IDE_copy RENAME TO IDE") })
            ok = ok && q.exec(statement);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("rebuild"));
    return ok;
}

struct Window {
    Window()
        : window(new BackupWindow(program.database(), program.messages(), program.fileDialogs()))
    {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    ~Window() { delete window.data(); }

    QString database() { return program.database().filePath(); }
    QString path(const QString& name) { return QDir(program.folder()).filePath(name); }
    QStringList besideDatabase() { return namesIn(QFileInfo(database()).path()); }
    QLineEdit* field(const char* name) { return Drive::find<QLineEdit>(window, QString::fromLatin1(name)); }
    QString label(const char* name) { return Drive::find<QLabel>(window, QString::fromLatin1(name))->text(); }
    void click(const char* name) { Drive::click(window, QString::fromLatin1(name)); }
    const ScriptedMessages::Box& box(int i) { return program.messages().boxes.at(i); }
    QStringList texts()
    {
        QStringList all;
        for (const ScriptedMessages::Box& box : program.messages().boxes)
            all << box.text;
        return all;
    }
    // Megabytes of data, so a copy takes many chunks.
    void grow() { program.exec(QStringLiteral("INSERT INTO PPP (ID) VALUES (hex(randomblob(3000000)))")); }

    TestProgram program;
    QPointer<BackupWindow> window;
};

} // namespace

class TestBackupWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void load();
    void emptyPaths_data();
    void emptyPaths();
    void browse();
    void backup_data();
    void backup();
    void failedCopyReportedOnce();
    void selfCopyRefused_data();
    void selfCopyRefused();
    void writeInProgressRefusesBackup();
    void restoreFromBackup();
    void restoreFromAFirstVersionBackup();
    void restoreRefused_data();
    void restoreRefused();
    void unreadableRestoreSaysRestore();
    void restoreNeedsAFile_data();
    void restoreNeedsAFile();
    void restoreTakesTheJournalAlong();
    void bareNameGoesIntoTheBackFolder();
    void fullDiskSaysSo();
    void buttonsRestDuringCopy();
    void closingDuringCopyStopsIt();
    void helpFrame();
    void pathFieldsReadLeftToRight();
};

void TestBackupWindow::load()
{
    Window w;
    w.program.exec(QStringLiteral("UPDATE Theme SET TH = '6'"));
    BackupWindow window(w.program.database(), w.program.messages(), w.program.fileDialogs());
    QCOMPARE(window.pos(), QPoint(Twips::toPixelsX(2340), Twips::toPixelsY(768)));
    QCOMPARE(window.property("appliedTheme").toInt(), 6);
    // Today's date and the clock are drawn with Persian digits.
    QCOMPARE(w.label("Label1"), ShownNumbers::text(SolarHijriToday(4)));
    QCOMPARE(w.label("Label3"), ShownNumbers::text(SolarHijriToday(4)));
    QVERIFY2(QRegularExpression(QStringLiteral("^([۰-۹]|۱[۰-۹]|۲[۰-۳])\\.[۰-۵][۰-۹]$")).match(w.label("Label2")).hasMatch(),
        qPrintable(w.label("Label2")));
    QVERIFY(Drive::find<QTimer>(w.window, QStringLiteral("Timer1"))->isActive());
    QVERIFY(!Drive::find<QWidget>(w.window, QStringLiteral("Frame1"))->isVisible());
    QVERIFY(LayoutCheck::nothingCutOff(w.window));
}

void TestBackupWindow::emptyPaths_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("backup") << "VisualButtonEx2" << Msg::ChooseBackupTarget;
    QTest::newRow("restore") << "VisualButtonEx3" << Msg::ChooseRestoreSource;
}

void TestBackupWindow::emptyPaths()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    Window w;
    const QByteArray before = read(w.database());
    w.click(qPrintable(button));
    QCOMPARE(w.texts(), QStringList { text });
    QCOMPARE(w.box(0).style, 0x100030);
    QCOMPARE(w.box(0).title, QStringLiteral("خطا"));
    QVERIFY(w.window->isVisible());
    QCOMPARE(read(w.database()), before);
}

void TestBackupWindow::browse()
{
    Window w;
    const QString back = w.path(QStringLiteral("Back"));
    auto& dialogs = w.program.fileDialogs();
    dialogs.names << QString() << back + QStringLiteral("/chosen.mdbB") << back + QStringLiteral("/old.mdbB");
    w.click("b1"); // cancelled
    QCOMPARE(w.field("Text1")->text(), QString());
    QVERIFY(QFileInfo(back).isDir());
    w.click("b1");
    QCOMPARE(w.field("Text1")->text(), back + QStringLiteral("/chosen.mdbB"));
    QCOMPARE(dialogs.requests.at(1).kind, ScriptedFileDialogs::Kind::Save);
    QCOMPARE(dialogs.requests.at(1).path,
        back + QStringLiteral("/در تاريخ") + Digits::toAscii(w.label("Label1")) + QStringLiteral(" ساعت)")
            + Digits::toAscii(w.label("Label2")) + QStringLiteral(").mdbB"));
    // The file is named with ASCII digits, whatever digits the window draws.
    QVERIFY(!dialogs.requests.at(1).path.contains(QRegularExpression(QStringLiteral("[۰-۹]"))));
    QCOMPARE(dialogs.requests.at(1).filter, QStringLiteral("Database Backup (*.mdbB)"));
    w.click("b2");
    QCOMPARE(dialogs.requests.at(2).kind, ScriptedFileDialogs::Kind::Open);
    QCOMPARE(dialogs.requests.at(2).path, back);
    QCOMPARE(w.field("Text2")->text(), back + QStringLiteral("/old.mdbB"));
}

void TestBackupWindow::backup_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("new file") << false << 0 << QStringList { Msg::BackupDone };
    QTest::newRow("replace: Yes") << true << int(Msg::Yes) << QStringList { Msg::BackupTargetExists, Msg::BackupDone };
    QTest::newRow("replace: No") << true << int(Msg::No) << QStringList { Msg::BackupTargetExists, Msg::BackupRefused };
}

void TestBackupWindow::backup()
{
    QFETCH(bool, exists);
    QFETCH(int, answer);
    QFETCH(QStringList, texts);
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    const QString target = w.path(QStringLiteral("old.mdbB"));
    if (exists)
        QVERIFY(write(target, "the previous backup"));
    w.program.messages().answers << answer;
    w.field("Text1")->setText(target);
    const QByteArray before = read(w.database());
    w.click("VisualButtonEx2");
    QCOMPARE(w.texts(), texts);
    if (texts.last() == Msg::BackupDone) {
        QCOMPARE(w.program.messages().boxes.last().style, 0);
        // The backup is the file as it was; the file's trail then says where it went.
        QCOMPARE(read(target), before);
        QCOMPARE(onFile(w.database(), QStringLiteral("SELECT Detail FROM AuditLog WHERE What = 'backup'")).toString(),
            target);
        QTRY_VERIFY(!w.window); // the program ends
    } else {
        QCOMPARE(w.program.messages().boxes.last().style, 0x100040);
        QCOMPARE(read(target), QByteArray("the previous backup"));
        QVERIFY(w.window->isVisible());
    }
}

void TestBackupWindow::failedCopyReportedOnce()
{
    Window w;
    w.field("Text1")->setText(w.path(QStringLiteral("unplugged/backup.mdbB")));
    w.click("VisualButtonEx2");
    QCOMPARE(w.program.messages().boxes.size(), 1);
    QVERIFY(w.box(0).text.startsWith(Msg::CopyFailed + QStringLiteral("\r\n")));
    QVERIFY(w.box(0).text.size() > Msg::CopyFailed.size() + 2); // the platform's description follows
    QCOMPARE(w.box(0).style, 0x100010);
    QVERIFY(w.window->isVisible());
    QVERIFY(Drive::find<QWidget>(w.window, QStringLiteral("VisualButtonEx2"))->isEnabled());
}

void TestBackupWindow::selfCopyRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::newRow("backup onto it") << "Text1"
                                    << "RIVERIVU/RIVERIVU.mdb" << Msg::BackupOntoDatabase;
    QTest::newRow("backup onto its journal") << "Text1"
                                             << "RIVERIVU/RIVERIVU.mdb-journal" << Msg::BackupOntoDatabase;
    QTest::newRow("roundabout path") << "Text1"
                                     << "Back/../RIVERIVU/./RIVERIVU.mdb" << Msg::BackupOntoDatabase;
    QTest::newRow("restore from it") << "Text2"
                                     << "RIVERIVU/RIVERIVU.mdb" << Msg::RestoreFromDatabase;
}

void TestBackupWindow::selfCopyRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, path);
    QFETCH(QString, text);
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    const QByteArray before = read(w.database());
    w.field(qPrintable(field))->setText(w.path(path));
    w.program.messages().answers << Msg::Yes << Msg::Yes;
    w.click(field == QLatin1String("Text1") ? "VisualButtonEx2" : "VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList { text });
    QCOMPARE(read(w.database()), before);
    QCOMPARE(w.besideDatabase(), QStringList { QStringLiteral("RIVERIVU.mdb") });
}

void TestBackupWindow::writeInProgressRefusesBackup()
{
    Window w;
    QVERIFY(w.program.database().beginTransaction());
    w.program.addExaminee(QStringLiteral("half-written"));
    w.field("Text1")->setText(w.path(QStringLiteral("backup.mdbB")));
    w.click("VisualButtonEx2");
    QCOMPARE(w.program.messages().boxes.size(), 1);
    QCOMPARE(w.box(0).style, 0x200000);
    QCOMPARE(w.box(0).title, QStringLiteral("Error"));
    QVERIFY(!QFileInfo::exists(w.path(QStringLiteral("backup.mdbB"))));
    w.program.database().rollback();
}

void TestBackupWindow::restoreFromBackup()
{
    Window w;
    w.program.addExaminee(QStringLiteral("from the backup"));
    const QString backup = w.path(QStringLiteral("yesterday.mdbB"));
    QVERIFY(QFile::copy(w.database(), backup));
    w.program.addExaminee(QStringLiteral("since the backup"));
    const QByteArray replaced = read(w.database());

    w.field("Text2")->setText(backup);
    w.program.messages().answers << Msg::Yes;
    w.click("VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList({ Msg::ConfirmRestore, Msg::RestoreDone }));
    QTRY_VERIFY(!w.window); // the program ends
    QVERIFY(!w.program.database().isOpen());
    QCOMPARE(read(w.database() + QStringLiteral(".before-restore")), replaced);
    QCOMPARE(w.besideDatabase(),
        QStringList({ QStringLiteral("RIVERIVU.mdb"), QStringLiteral("RIVERIVU.mdb.before-restore") }));
    // The next start opens the backup's data.
    Database next(w.program.folder());
    QVERIFY(next.open().ok());
    next.close();
    const QString codes = QStringLiteral("SELECT group_concat(Code) FROM IDE");
    QCOMPARE(onFile(w.database(), codes).toString(), QStringLiteral("from the backup"));
}

// A backup made before the remembered comparison pairs existed (schema version 0) restores, and the program's next
// opening brings it up to date.
void TestBackupWindow::restoreFromAFirstVersionBackup()
{
    Window w;
    w.program.addExaminee(QStringLiteral("from the backup"));
    const QString backup = w.path(QStringLiteral("older.mdbB"));
    QVERIFY(QFile::copy(w.database(), backup));
    onFile(backup, QStringLiteral("DROP TABLE AuditLog"));
    onFile(backup, QStringLiteral("DROP TABLE ComparedPairs"));
    onFile(backup, QStringLiteral("DROP TABLE Invitation"));
    onFile(backup, QStringLiteral("DROP INDEX Answer_Complete"));
    onFile(backup, QStringLiteral("PRAGMA user_version = 0"));
    const QString pairsTables = QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'ComparedPairs'");
    QCOMPARE(onFile(backup, pairsTables).toInt(), 0);

    w.field("Text2")->setText(backup);
    w.program.messages().answers << Msg::Yes;
    w.click("VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList({ Msg::ConfirmRestore, Msg::RestoreDone }));
    QTRY_VERIFY(!w.window);

    Database next(w.program.folder());
    QVERIFY(next.open().ok());
    next.close();
    QCOMPARE(onFile(w.database(), QStringLiteral("PRAGMA user_version")).toInt(), Schema::CurrentVersion);
    QCOMPARE(onFile(w.database(), pairsTables).toInt(), 1);
    // The restored file's trail says it was restored, and from which file.
    QCOMPARE(onFile(w.database(), QStringLiteral("SELECT Detail FROM AuditLog WHERE What = 'restore'")).toString(), backup);
    QCOMPARE(onFile(w.database(), QStringLiteral("SELECT group_concat(Code) FROM IDE")).toString(),
        QStringLiteral("from the backup"));
}

void TestBackupWindow::restoreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("answered No") << "no" << Msg::RestoreRefused;
    QTest::newRow("text file") << "text" << Msg::RestoreNotOurs;
    QTest::newRow("cut short") << "cut" << Msg::RestoreDamaged;
    QTest::newRow("another program's database") << "other" << Msg::RestoreNotOurs;
    QTest::newRow("ours with a trigger") << "trigger" << Msg::RestoreNotOurs;
    // Our tables and columns, rebuilt so that the program could not work on them: without row ids the windows
    // cannot read a row, a CHECK refuses most codes, a collation takes "ABC" for "abc".
    QTest::newRow("examinees without row ids") << "PRIMARY KEY (\"Code\")) WITHOUT ROWID" << Msg::RestoreNotOurs;
    QTest::newRow("a CHECK on the code") << "CHECK (length(\"Code\") < 3))" << Msg::RestoreNotOurs;
    QTest::newRow("a collation on the code") << "COLLATE NOCASE" << Msg::RestoreNotOurs;
}

void TestBackupWindow::restoreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    const QString source = w.path(QStringLiteral("chosen.mdbB"));
    const QByteArray ours = read(w.database());
    if (kind == QLatin1String("text"))
        QVERIFY(write(source, "Code,Name\n1,Ali\n"));
    else if (kind == QLatin1String("cut"))
        QVERIFY(write(source, ours.left(ours.size() / 2 + 100)));
    else if (kind == QLatin1String("other"))
        onFile(source, QStringLiteral("CREATE TABLE Customers (Name TEXT)"));
    else
        QVERIFY(write(source, ours));
    if (kind == QLatin1String("trigger"))
        onFile(source, QStringLiteral("CREATE TRIGGER wipe AFTER INSERT ON IDE BEGIN DELETE FROM Answer; END"));
    if (kind.contains(QLatin1Char(' ')))
        QVERIFY(rebuildExamineeTable(source, kind));

    w.field("Text2")->setText(source);
    w.program.messages().answers << (kind == QLatin1String("no") ? Msg::No : Msg::Yes);
    w.click("VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList({ Msg::ConfirmRestore, text }));
    QCOMPARE(read(w.database()), ours);
    QCOMPARE(w.besideDatabase(), QStringList { QStringLiteral("RIVERIVU.mdb") });
    QVERIFY(w.window->isVisible());
    QCOMPARE(w.program.rowCount(QStringLiteral("IDE")), 1); // still open and in use
}

// A backup that is there but cannot be read is a failed restore, never a failed backup. A bus's uevent file in /sys
// can be written but never opened for reading, even by root.
void TestBackupWindow::unreadableRestoreSaysRestore()
{
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    const QByteArray before = read(w.database());
    QString source;
    for (const QString& bus : QDir(QStringLiteral("/sys/bus")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QFileInfo(QStringLiteral("/sys/bus/%1/uevent").arg(bus)).isFile() && source.isEmpty())
            source = QStringLiteral("/sys/bus/%1/uevent").arg(bus);
    QVERIFY2(!source.isEmpty(), "no bus in /sys");
    QVERIFY(!QFile(source).open(QIODevice::ReadOnly));
    w.field("Text2")->setText(source);
    w.program.messages().answers << Msg::Yes;
    w.click("VisualButtonEx3");
    QCOMPARE(w.texts().size(), 2);
    QCOMPARE(w.texts().at(0), Msg::ConfirmRestore);
    QVERIFY2(w.texts().at(1).startsWith(Msg::RestoreCopyFailed + QStringLiteral("\r\n")), qPrintable(w.texts().at(1)));
    QVERIFY(!w.texts().at(1).contains(Msg::CopyFailed));
    QCOMPARE(read(w.database()), before);
    QCOMPARE(w.besideDatabase(), QStringList { QStringLiteral("RIVERIVU.mdb") });
    QVERIFY(w.window->isVisible());
}

void TestBackupWindow::restoreNeedsAFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing file") << "gone.mdbB" << Msg::RestoreSourceMissing;
    QTest::newRow("a folder") << "folder.mdbB" << Msg::RestoreSourceNotFile;
}

void TestBackupWindow::restoreNeedsAFile()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    Window w;
    QVERIFY(QDir(w.program.folder()).mkpath(QStringLiteral("folder.mdbB")));
    const QByteArray before = read(w.database());
    w.field("Text2")->setText(w.path(name));
    w.program.messages().answers << Msg::Yes;
    w.click("VisualButtonEx3");
    // Said at once, without the question that would promise a restore.
    QCOMPARE(w.texts(), QStringList { text });
    QCOMPARE(read(w.database()), before);
    QVERIFY(w.window->isVisible());
}

void TestBackupWindow::restoreTakesTheJournalAlong()
{
    Window w;
    w.program.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                                  "INSERT INTO IDE (Code, FName) SELECT i, 'Ali' FROM n"));
    const QString backup = w.path(QStringLiteral("copied by hand.mdbB"));
    {
        // A write caught half-way: with a small page cache, changed pages reach the file before the write ends, and
        // what they replaced waits in the journal. The file and its journal are copied as they are at that moment.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
        db.setDatabaseName(w.database());
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("PRAGMA cache_size = 10")));
        QVERIFY(q.exec(QStringLiteral("BEGIN")));
        QVERIFY(q.exec(QStringLiteral("UPDATE IDE SET FName = hex(randomblob(400))")));
        QVERIFY(QFile::copy(w.database(), backup));
        QVERIFY(QFile::copy(w.database() + QStringLiteral("-journal"), backup + QStringLiteral("-journal")));
        QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("writer"));
    QVERIFY(read(backup) != read(w.database())); // the copy alone holds half the write

    w.field("Text2")->setText(backup);
    w.program.messages().answers << Msg::Yes;
    w.click("VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList({ Msg::ConfirmRestore, Msg::RestoreDone }));
    QTRY_VERIFY(!w.window);
    // The journal was played back into the copy: every examinee as before the unfinished write.
    QCOMPARE(onFile(w.database(), QStringLiteral("SELECT COUNT(*) FROM IDE WHERE FName = 'Ali'")).toInt(), 3000);
    QCOMPARE(onFile(w.database(), QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    // The chosen file and its journal are as the operator left them.
    QVERIFY(QFileInfo::exists(backup + QStringLiteral("-journal")));
}

void TestBackupWindow::bareNameGoesIntoTheBackFolder()
{
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    QVERIFY(!QFileInfo::exists(w.path(QStringLiteral("Back"))));
    w.field("Text1")->setText(QStringLiteral("mine.mdbB"));
    const QByteArray before = read(w.database());
    w.click("VisualButtonEx2");
    QCOMPARE(w.texts(), QStringList { Msg::BackupDone });
    QCOMPARE(read(w.path(QStringLiteral("Back/mine.mdbB"))), before);
}

void TestBackupWindow::fullDiskSaysSo()
{
    Window w;
    w.grow();
    // A stick of one megabyte, smaller than the database.
    const QString stick = w.path(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(stick));
    QProcess mount;
    mount.start(QStringLiteral("mount"), { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                             QStringLiteral("size=1m"), QStringLiteral("tmpfs"), stick });
    if (!mount.waitForFinished() || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
        QSKIP("a small disk cannot be mounted here (mounting needs root)");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), { stick }); });

    w.field("Text1")->setText(stick + QStringLiteral("/backup.mdbB"));
    w.click("VisualButtonEx2");
    QCOMPARE(w.texts(), QStringList { Msg::DiskFull });
    QCOMPARE(w.box(0).style, Msg::Style::StopRtl);
    QCOMPARE(namesIn(stick), QStringList());
    QVERIFY(w.window->isVisible());
}

void TestBackupWindow::buttonsRestDuringCopy()
{
    Window w;
    w.grow();
    w.field("Text1")->setText(w.path(QStringLiteral("backup.mdbB")));
    auto* progress = Drive::find<QProgressBar>(w.window, QStringLiteral("CopyProgress"));
    QVERIFY(!progress->isVisible());
    QStringList seen;
    connect(progress, &QProgressBar::valueChanged, this, [&] {
        for (const char* name : { "VisualButtonEx2", "VisualButtonEx3", "b1", "b2" })
            if (Drive::find<QWidget>(w.window, QString::fromLatin1(name))->isEnabled())
                seen << QString::fromLatin1(name);
        seen << (progress->isVisible() ? QStringLiteral("step") : QStringLiteral("hidden"));
    });
    w.click("VisualButtonEx2");
    QVERIFY(seen.size() > 2);
    QCOMPARE(seen.filter(QStringLiteral("step")), seen);
    QCOMPARE(w.texts(), QStringList { Msg::BackupDone });
}

void TestBackupWindow::closingDuringCopyStopsIt()
{
    Window w;
    w.grow();
    w.field("Text1")->setText(w.path(QStringLiteral("backup.mdbB")));
    const QStringList before = namesIn(w.program.folder());
    // Closed the moment the copy shows its progress: the copy stops, nothing is written, the window closes.
    connect(Drive::find<QProgressBar>(w.window, QStringLiteral("CopyProgress")), &QProgressBar::valueChanged,
        w.window.data(), [&] { w.window->close(); });
    w.click("VisualButtonEx2");
    QTRY_VERIFY(!w.window);
    QCOMPARE(w.texts(), QStringList());
    QCOMPARE(namesIn(w.program.folder()), before);
}

void TestBackupWindow::helpFrame()
{
    Window w;
    auto* frame = Drive::find<QWidget>(w.window, QStringLiteral("Frame1"));
    w.click("Command3");
    QVERIFY(frame->isVisible());
    QVERIFY(Drive::find<QPlainTextEdit>(frame, QStringLiteral("Text4"))->toPlainText().contains(Msg::BackupDone));
    QVERIFY(LayoutCheck::nothingCutOff(frame));
    w.click("Command2");
    QVERIFY(!frame->isVisible());
    w.click("Command1");
    QTRY_VERIFY(!w.window);
    QCOMPARE(w.texts(), QStringList());
}

void TestBackupWindow::pathFieldsReadLeftToRight()
{
    Window w;
    // As the program sets every window: right to left.
    w.window->setLayoutDirection(Qt::RightToLeft);
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    for (const char* name : { "Text1", "Text2" }) {
        QLineEdit* path = w.field(name);
        QCOMPARE(path->layoutDirection(), Qt::LeftToRight);
        // A path with a Persian folder among Latin ones starts at the left edge, where a path is read from.
        path->setText(QStringLiteral("/home/clinic/مرکز مشاوره/Back/x.mdbB"));
        const QImage image = path->grab().toImage();
        const int middle = image.height() / 2;
        const QColor background = image.pixelColor(image.width() / 2, 3);
        int left = -1;
        int right = -1;
        for (int x = 3; x < image.width() - 3; ++x) {
            for (int y = middle - 4; y <= middle + 4; ++y) {
                if (std::abs(image.pixelColor(x, y).lightness() - background.lightness()) > 80) {
                    if (left < 0)
                        left = x;
                    right = x;
                }
            }
        }
        QVERIFY2(left >= 0, name);
        QVERIFY2(left < image.width() - 1 - right, name);
    }
}

QTEST_MAIN(TestBackupWindow)
#include "TestBackupWindow.moc"
