#include "backup/BackupWindow.h"
#include "calendar/SolarHijri.h"
#include "support/LayoutCheck.h"
#include "support/TestProgram.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Runs statements on an SQLite file of the test's own making.
bool onFile(const QString& path, const QStringList& statements)
{
    const QString name = QStringLiteral("test_") + path;
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        for (const QString& statement : statements)
            ok = ok && q.exec(statement);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

int examinees(const QString& path, const QString& code)
{
    const QString name = QStringLiteral("count_") + path;
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("SELECT COUNT(*) FROM IDE WHERE Code = '%1'").arg(code)) && q.next())
            count = q.value(0).toInt();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return count;
}

struct Window {
    Window()
        : window(new BackupWindow(program.database(), program.messages(), program.fileDialogs()))
    {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    ~Window() { delete window.data(); }

    QString databaseFile() { return program.database().filePath(); }
    QString path(const QString& name) { return QDir(program.folder()).filePath(name); }
    QLineEdit* field(const char* name) { return Drive::find<QLineEdit>(window, QString::fromLatin1(name)); }
    void click(const char* name) { Drive::click(window, QString::fromLatin1(name)); }
    ScriptedMessages& messages() { return program.messages(); }
    QStringList texts() const
    {
        QStringList all;
        for (const ScriptedMessages::Box& box : program.messages().boxes)
            all << box.text;
        return all;
    }
    QStringList filesBeside(const QString& file) const
    {
        return QFileInfo(file).dir().entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    mutable TestProgram program;
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
    void backupToNewFile();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void failedCopyReportedOnce();
    void selfCopyRefused_data();
    void selfCopyRefused();
    void writeInProgressRefusesBackup();
    void restoreFromBackup();
    void restoreRefused_data();
    void restoreRefused();
    void restoreAnsweredNo();
    void buttonsRestDuringCopy();
    void closingDuringCopy();
    void helpFrame();
};

void TestBackupWindow::load()
{
    TestProgram program;
    program.exec(QStringLiteral("UPDATE Theme SET TH = '6'"));
    BackupWindow window(program.database(), program.messages(), program.fileDialogs());
    QCOMPARE(window.windowTitle(), QStringLiteral("Back up ...  Reastor"));
    QCOMPARE(window.pos(), QPoint(Twips::toPixelsX(2340), Twips::toPixelsY(768)));
    QCOMPARE(window.property("appliedTheme").toInt(), 6);
    QCOMPARE(Drive::find<QLabel>(&window, QStringLiteral("Label1"))->text(), SolarHijriToday(4));
    QCOMPARE(Drive::find<QLabel>(&window, QStringLiteral("Label3"))->text(), SolarHijriToday(4));
    const QString clock = Drive::find<QLabel>(&window, QStringLiteral("Label2"))->text();
    QVERIFY2(QRegularExpression(QStringLiteral("^([0-9]|1[0-9]|2[0-3])\\.[0-5][0-9]$")).match(clock).hasMatch(),
        qPrintable(clock));
    QCOMPARE(Drive::find<QTimer>(&window, QStringLiteral("Timer1"))->interval(), 1000);
    QVERIFY(Drive::find<QTimer>(&window, QStringLiteral("Timer1"))->isActive());
    window.show();
    QVERIFY(!Drive::find<QWidget>(&window, QStringLiteral("Frame1"))->isVisible());
    QVERIFY(LayoutCheck::nothingCutOff(&window));
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
    const QByteArray before = readFile(w.databaseFile());
    w.click(qPrintable(button));
    QCOMPARE(w.messages().boxes.size(), 1);
    QCOMPARE(w.messages().boxes.first().text, text);
    QCOMPARE(w.messages().boxes.first().style, 0x100030);
    QCOMPARE(w.messages().boxes.first().title, QStringLiteral("خطا"));
    QVERIFY(w.window->isVisible());
    QCOMPARE(readFile(w.databaseFile()), before);
}

void TestBackupWindow::browse()
{
    Window w;
    const QString back = w.path(QStringLiteral("Back"));
    QVERIFY(!QFileInfo::exists(back));
    w.program.fileDialogs().names << QString() << back + QStringLiteral("/chosen.mdbB");
    w.click("b1"); // cancelled
    QCOMPARE(w.field("Text1")->text(), QString());
    QVERIFY(QFileInfo(back).isDir());
    w.click("b1");
    QCOMPARE(w.field("Text1")->text(), back + QStringLiteral("/chosen.mdbB"));
    const auto& save = w.program.fileDialogs().requests.at(1);
    const QString date = Drive::find<QLabel>(w.window, QStringLiteral("Label1"))->text();
    const QString clock = Drive::find<QLabel>(w.window, QStringLiteral("Label2"))->text();
    QCOMPARE(save.kind, ScriptedFileDialogs::Kind::Save);
    QCOMPARE(save.path,
        back + QStringLiteral("/در تاريخ") + date + QStringLiteral(" ساعت)") + clock + QStringLiteral(").mdbB"));
    QCOMPARE(save.filter, QStringLiteral("Database Backup (*.mdbB)"));

    w.program.fileDialogs().names << back + QStringLiteral("/old.mdbB");
    w.click("b2");
    QCOMPARE(w.program.fileDialogs().requests.at(2).kind, ScriptedFileDialogs::Kind::Open);
    QCOMPARE(w.program.fileDialogs().requests.at(2).path, back);
    QCOMPARE(w.field("Text2")->text(), back + QStringLiteral("/old.mdbB"));
}

void TestBackupWindow::backupToNewFile()
{
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    const QString target = w.path(QStringLiteral("backup.mdbB"));
    w.field("Text1")->setText(target);
    w.click("VisualButtonEx2");
    QCOMPARE(w.texts(), QStringList { Msg::BackupDone });
    QCOMPARE(w.messages().boxes.first().style, 0);
    QCOMPARE(w.messages().boxes.first().title, Msg::ApplicationTitle);
    QCOMPARE(readFile(target), readFile(w.databaseFile()));
    QTRY_VERIFY(!w.window);
}

void TestBackupWindow::overwriteQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("No") << int(Msg::No);
    QTest::newRow("Yes") << int(Msg::Yes);
}

void TestBackupWindow::overwriteQuestion()
{
    QFETCH(int, answer);
    Window w;
    const QString target = w.path(QStringLiteral("old.mdbB"));
    QVERIFY(writeFile(target, "the previous backup"));
    w.field("Text1")->setText(target);
    w.messages().answers << answer;
    w.click("VisualButtonEx2");
    QCOMPARE(w.messages().boxes.first().text, Msg::BackupTargetExists);
    QCOMPARE(w.messages().boxes.first().style, 4);
    if (answer == Msg::No) {
        QCOMPARE(w.texts().last(), Msg::BackupRefused);
        QCOMPARE(w.messages().boxes.last().style, 0x100040);
        QCOMPARE(readFile(target), QByteArray("the previous backup"));
        QVERIFY(w.window->isVisible());
    } else {
        QCOMPARE(w.texts().last(), Msg::BackupDone);
        QCOMPARE(readFile(target), readFile(w.databaseFile()));
        QTRY_VERIFY(!w.window);
    }
}

void TestBackupWindow::failedCopyReportedOnce()
{
    Window w;
    const QString target = w.path(QStringLiteral("unplugged/backup.mdbB"));
    w.field("Text1")->setText(target);
    w.click("VisualButtonEx2");
    QCOMPARE(w.messages().boxes.size(), 1);
    QVERIFY(w.texts().first().startsWith(Msg::CopyFailed + QStringLiteral("\r\n")));
    QVERIFY(w.texts().first().size() > Msg::CopyFailed.size() + 2);
    QCOMPARE(w.messages().boxes.first().style, 0x100010);
    QVERIFY(w.window->isVisible());
    QVERIFY(w.window->findChild<QPushButton*>(QStringLiteral("VisualButtonEx2"))->isEnabled());
}

void TestBackupWindow::selfCopyRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::newRow("backup onto the database") << "Text1"
                                              << "RIVERIVU/RIVERIVU.mdb" << Msg::BackupOntoDatabase;
    QTest::newRow("backup onto its journal") << "Text1"
                                             << "RIVERIVU/RIVERIVU.mdb-journal" << Msg::BackupOntoDatabase;
    QTest::newRow("backup by a roundabout path") << "Text1"
                                                 << "Back/../RIVERIVU/./RIVERIVU.mdb" << Msg::BackupOntoDatabase;
    QTest::newRow("restore from the database") << "Text2"
                                               << "RIVERIVU/RIVERIVU.mdb" << Msg::RestoreFromDatabase;
}

void TestBackupWindow::selfCopyRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, path);
    QFETCH(QString, text);
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    const QByteArray before = readFile(w.databaseFile());
    w.field(qPrintable(field))->setText(w.path(path));
    w.messages().answers << Msg::Yes << Msg::Yes;
    w.click(field == QLatin1String("Text1") ? "VisualButtonEx2" : "VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList { text });
    QCOMPARE(readFile(w.databaseFile()), before);
    QCOMPARE(w.filesBeside(w.databaseFile()), QStringList { QStringLiteral("RIVERIVU.mdb") });
    QVERIFY(w.window->isVisible());
}

void TestBackupWindow::writeInProgressRefusesBackup()
{
    Window w;
    QVERIFY(w.program.database().beginTransaction());
    w.program.addExaminee(QStringLiteral("half-written"));
    w.field("Text1")->setText(w.path(QStringLiteral("backup.mdbB")));
    w.click("VisualButtonEx2");
    QCOMPARE(w.messages().boxes.size(), 1);
    QCOMPARE(w.messages().boxes.first().style, 0x200000);
    QCOMPARE(w.messages().boxes.first().title, QStringLiteral("Error"));
    QVERIFY(!QFileInfo::exists(w.path(QStringLiteral("backup.mdbB"))));
    w.program.database().rollback();
}

void TestBackupWindow::restoreFromBackup()
{
    Window w;
    w.program.addExaminee(QStringLiteral("from the backup"));
    const QString backup = w.path(QStringLiteral("yesterday.mdbB"));
    QVERIFY(QFile::copy(w.databaseFile(), backup));
    w.program.addExaminee(QStringLiteral("since the backup"));
    const QByteArray replaced = readFile(w.databaseFile());

    w.field("Text2")->setText(backup);
    w.messages().answers << Msg::Yes;
    w.click("VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList({ Msg::ConfirmRestore, Msg::RestoreDone }));
    QCOMPARE(w.messages().boxes.first().style, 4);
    QTRY_VERIFY(!w.window);
    // The program lets go of the file; the next start opens the restored one.
    QVERIFY(!w.program.database().isOpen());
    QCOMPARE(readFile(w.databaseFile()), readFile(backup));
    QCOMPARE(readFile(w.databaseFile() + QStringLiteral(".before-restore")), replaced);
    QCOMPARE(w.filesBeside(w.databaseFile()),
        QStringList({ QStringLiteral("RIVERIVU.mdb"), QStringLiteral("RIVERIVU.mdb.before-restore") }));
    Database next(w.program.folder());
    QVERIFY(next.open().ok());
    next.close();
    QCOMPARE(examinees(w.databaseFile(), QStringLiteral("from the backup")), 1);
    QCOMPARE(examinees(w.databaseFile(), QStringLiteral("since the backup")), 0);
}

void TestBackupWindow::restoreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("text file") << "text" << Msg::RestoreNotOurs;
    QTest::newRow("cut short mid-page") << "cut" << Msg::RestoreDamaged;
    QTest::newRow("cut short at a page") << "cut at page" << Msg::RestoreDamaged;
    QTest::newRow("another program's database") << "other" << Msg::RestoreNotOurs;
    QTest::newRow("ours with a trigger") << "trigger" << Msg::RestoreNotOurs;
}

void TestBackupWindow::restoreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    const QString source = w.path(QStringLiteral("chosen.mdbB"));
    const QByteArray ours = readFile(w.databaseFile());
    if (kind == QLatin1String("text"))
        QVERIFY(writeFile(source, "Code,Name\n1,Ali\n"));
    else if (kind == QLatin1String("cut"))
        QVERIFY(writeFile(source, ours.left(ours.size() / 2 + 100)));
    else if (kind == QLatin1String("cut at page"))
        QVERIFY(writeFile(source, ours.left(ours.size() - 4096)));
    else if (kind == QLatin1String("other"))
        QVERIFY(onFile(source, { QStringLiteral("CREATE TABLE Customers (Name TEXT)") }));
    else
        QVERIFY(writeFile(source, ours)
            && onFile(
                source, { QStringLiteral("CREATE TRIGGER wipe AFTER INSERT ON IDE BEGIN DELETE FROM Answer; END") }));

    w.field("Text2")->setText(source);
    w.messages().answers << Msg::Yes;
    w.click("VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList({ Msg::ConfirmRestore, text }));
    QCOMPARE(w.messages().boxes.last().style, 0x100030);
    QCOMPARE(readFile(w.databaseFile()), ours);
    QCOMPARE(w.filesBeside(w.databaseFile()), QStringList { QStringLiteral("RIVERIVU.mdb") });
    QVERIFY(w.window->isVisible());
    QVERIFY(w.program.database().isOpen());
    QCOMPARE(w.program.rowCount(QStringLiteral("IDE")), 1);
}

void TestBackupWindow::restoreAnsweredNo()
{
    Window w;
    const QString backup = w.path(QStringLiteral("yesterday.mdbB"));
    QVERIFY(QFile::copy(w.databaseFile(), backup));
    w.program.addExaminee(QStringLiteral("A"));
    const QByteArray before = readFile(w.databaseFile());
    w.field("Text2")->setText(backup);
    w.messages().answers << Msg::No;
    w.click("VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList({ Msg::ConfirmRestore, Msg::RestoreRefused }));
    QCOMPARE(w.messages().boxes.last().style, 0);
    QCOMPARE(readFile(w.databaseFile()), before);
    QVERIFY(w.window->isVisible());
}

void TestBackupWindow::buttonsRestDuringCopy()
{
    Window w;
    // Megabytes of data, so the copy takes many chunks.
    w.program.exec(QStringLiteral("INSERT INTO PPP (ID) VALUES (hex(randomblob(3000000)))"));
    w.field("Text1")->setText(w.path(QStringLiteral("backup.mdbB")));
    auto* progress = Drive::find<QProgressBar>(w.window, QStringLiteral("CopyProgress"));
    QVERIFY(!progress->isVisible());
    QStringList seen;
    connect(progress, &QProgressBar::valueChanged, this, [&] {
        for (const char* name : { "VisualButtonEx2", "VisualButtonEx3", "b1", "b2" })
            if (w.window->findChild<QAbstractButton*>(QString::fromLatin1(name))->isEnabled())
                seen << QString::fromLatin1(name);
        if (!progress->isVisible())
            seen << QStringLiteral("no progress shown");
        seen << QStringLiteral("step");
    });
    w.click("VisualButtonEx2");
    QVERIFY(seen.contains(QStringLiteral("step")));
    QCOMPARE(seen.filter(QStringLiteral("step")).size(), seen.size());
    QCOMPARE(w.texts(), QStringList { Msg::BackupDone });
}

void TestBackupWindow::closingDuringCopy()
{
    Window w;
    w.program.exec(QStringLiteral("INSERT INTO PPP (ID) VALUES (hex(randomblob(3000000)))"));
    const QString target = w.path(QStringLiteral("Back/backup.mdbB"));
    QVERIFY(QDir().mkpath(w.path(QStringLiteral("Back"))));
    w.field("Text1")->setText(target);
    connect(Drive::find<QProgressBar>(w.window, QStringLiteral("CopyProgress")), &QProgressBar::valueChanged,
        w.window.data(), [&] { w.window->close(); });
    w.click("VisualButtonEx2");
    QTRY_VERIFY(!w.window);
    QCOMPARE(w.texts(), QStringList());
    QCOMPARE(QDir(w.path(QStringLiteral("Back"))).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestBackupWindow::helpFrame()
{
    Window w;
    auto* frame = Drive::find<QWidget>(w.window, QStringLiteral("Frame1"));
    w.click("Command3");
    QVERIFY(frame->isVisible());
    QVERIFY(!Drive::find<QPlainTextEdit>(frame, QStringLiteral("Text4"))->toPlainText().isEmpty());
    QCOMPARE(Drive::find<QLabel>(frame, QStringLiteral("Label3"))->text(), SolarHijriToday(4));
    QVERIFY(LayoutCheck::nothingCutOff(frame));
    w.click("Command2");
    QVERIFY(!frame->isVisible());
    w.click("Command1");
    QTRY_VERIFY(!w.window);
    QCOMPARE(w.texts(), QStringList());
}

QTEST_MAIN(TestBackupWindow)
#include "TestBackupWindow.moc"
