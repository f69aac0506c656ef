// One examinee's whole road through the real windows with the program on the clinic's server: registered, tested,
// scored, listed in the list report, backed up to a file and restored from it, every step read back from the server.
#include "app/MainWindow.h"
#include "app/WindowRouter.h"
#include "backup/BackupCipher.h"
#include "backup/BackupNames.h"
#include "backup/BackupWindow.h"
#include "data/DatabaseCheck.h"
#include "support/PdfText.h"
#include "support/ScratchServer.h"
#include "support/TableContents.h"
#include "support/TestProgram.h"
#include "text/OwnerOnly.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/PreviewWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestServerEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void registerTestScoreListBackUpRestore();
    void refusedBackupLeavesServerAlone();
    void encryptedBackupOfServer();
};

namespace {

QWidget* topLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

PreviewWindow* preview()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<PreviewWindow*>(w); p && p->isVisible())
            return p;
    return nullptr;
}

void answerAllAgreeingStrongly(bool* done)
{
    QTimer::singleShot(0, [done] {
        QWidget* test = QApplication::activeModalWidget();
        QVERIFY(test && test->objectName() == QLatin1String("FrmTest"));
        Drive::click(test, QStringLiteral("Command1"));
        for (int item = 1; item <= 35; ++item) {
            Drive::click(test, QStringLiteral("Option5"));
            Drive::click(test, QStringLiteral("CmdNext"));
        }
        Drive::click(test, QStringLiteral("Command5"));
        *done = true;
    });
}

QString onServer(Database& server, const QString& sql)
{
    QSqlQuery q(server.connection());
    return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("<none>");
}

const QString words = QStringLiteral("سه کبوتر سفيد 1405");

// A backup window of its own on `db`, gone when it closes itself or the test ends.
struct OwnWindow {
    OwnWindow(Database& db, TestProgram& program)
        : window(new BackupWindow(db, program.messages(), program.fileDialogs()))
    {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    ~OwnWindow() { delete window.data(); }
    QPointer<BackupWindow> window;
};

// REASTOR from `backup` in a window on `db`, the passphrase typed when asked; the last thing the window said.
QString restoreWith(Database& db, TestProgram& program, const QString& backup, const QString& passphrase)
{
    OwnWindow w(db, program);
    program.messages().clear();
    program.messages().answers.enqueue(Msg::Yes);
    program.messages().secrets.enqueue(passphrase);
    Drive::find<QLineEdit>(w.window, "Text2")->setText(backup);
    Drive::click(w.window, QStringLiteral("VisualButtonEx3"));
    return program.messages().lastText();
}

} // namespace

void TestServerEndToEnd::registerTestScoreListBackUpRestore()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram program; // this computer: the program's folder, the message seam and the file dialogs
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    server->setFolders(program.folder(), program.folder());
    ScriptedMessages& messages = program.messages();
    WindowRouter router(*server, messages, program.fileDialogs());
    router.showMainWindow();
    QWidget* main = router.mainWindow();
    QVERIFY(Drive::waitUntilActive(main));

    // Registered on the main window.
    Drive::click(main, QStringLiteral("Command1"));
    Drive::find<QLineEdit>(main, "Text11")->setText(QStringLiteral("41"));
    Drive::find<QLineEdit>(main, "Text6")->setText(QStringLiteral("مريم"));
    Drive::find<QLineEdit>(main, "Text4")->setText(QStringLiteral("احمدي"));
    Drive::find<QComboBox>(main, "Combo2")->setCurrentIndex(1);
    Drive::find<QLineEdit>(main, "Text5")->setText(QStringLiteral("34"));
    Drive::find<QComboBox>(main, "Combo1")->setCurrentIndex(1);
    Drive::find<QComboBox>(main, "Combo3")->setCurrentIndex(2);
    Drive::find<QLineEdit>(main, "Text7")->setText(QStringLiteral("ليسانس"));
    Drive::click(main, QStringLiteral("Command8"));
    QCOMPARE(messages.boxes.size(), 0);
    QCOMPARE(onServer(*server, QStringLiteral("SELECT \"FName\" FROM \"IDE\" WHERE \"Code\" = '41'")),
        QStringLiteral("مريم"));

    // Tested.
    bool answered = false;
    answerAllAgreeingStrongly(&answered);
    messages.typed.enqueue(QStringLiteral("41"));
    Drive::click(main, QStringLiteral("Command2"));
    QVERIFY(answered);
    QCOMPARE(onServer(*server, QStringLiteral("SELECT \"1\" || \"3\" || \"35\" FROM \"Answer\" WHERE \"Code\" = '41'")),
        QStringLiteral("515"));

    // Scored.
    Drive::click(main, QStringLiteral("Command3"));
    QWidget* scoring = topLevel(QStringLiteral("FrmkLID"));
    QVERIFY(scoring);
    messages.typed.enqueue(QStringLiteral("41"));
    Drive::click(scoring, QStringLiteral("Command1"));
    QCOMPARE(Drive::find<QLineEdit>(scoring, "TextRez")->text(), ShownNumbers::text(QStringLiteral("34")));
    QCOMPARE(onServer(*server,
                 QStringLiteral("SELECT \"Rezayat\" || ',' || \"Ertebat\" || ',' || \"HaleT\" || ',' || "
                                "\"TahrifeA\" FROM \"IDE\" WHERE \"Code\" = '41'")),
        QStringLiteral("34,22,18,25"));

    // Listed: the list report of every examinee, saved as PDF.
    QVERIFY(Drive::click(scoring, QStringLiteral("Command3")));
    PreviewWindow* list = preview();
    QVERIFY(list);
    const QString pdf = QDir(program.folder()).filePath(QStringLiteral("list.pdf"));
    program.fileDialogs().names.enqueue(pdf);
    QVERIFY(Drive::click(list, QStringLiteral("PreviewSavePdf")));
    const QStringList lines = PdfText::paragraphs(PdfText::extract(pdf));
    QVERIFY2(lines.contains(QStringLiteral("41")) && lines.contains(ShownNumbers::text(QStringLiteral("34"))), qPrintable(lines.join('|')));
    list->close();
    scoring->close();
    QTRY_VERIFY(router.mainWindow());

    // Backed up: a data file of ours holding the server's rows.
    const auto registered = tableContents(*server);
    const QString backup = QDir(program.folder()).filePath(QStringLiteral("clinic.mdbB"));
    router.openBackupWindow();
    QWidget* backupWindow = topLevel(QStringLiteral("Frmbackup"));
    QVERIFY(backupWindow);
    Drive::find<QLineEdit>(backupWindow, "Text1")->setText(backup);
    messages.clear();
    QVERIFY(Drive::click(backupWindow, QStringLiteral("VisualButtonEx2")));
    QCOMPARE(messages.lastText(), Msg::BackupDone);
    QCOMPARE(DatabaseCheck::inspect(backup, DatabaseCheck::Thoroughness::Full).outcome, DatabaseCheck::Outcome::Ours);
    QTRY_VERIFY(!topLevel(QStringLiteral("Frmbackup")));

    // Another counsellor's work since, then the backup restored: the server holds the backup's rows again.
    QVERIFY(server->exec(QStringLiteral("DELETE FROM \"Answer\" WHERE \"Code\" = '41'")));
    QVERIFY(server->exec(QStringLiteral("UPDATE \"IDE\" SET \"FName\" = 'Changed'")));
    router.openBackupWindow();
    backupWindow = topLevel(QStringLiteral("Frmbackup"));
    QVERIFY(backupWindow);
    Drive::find<QLineEdit>(backupWindow, "Text2")->setText(backup);
    messages.clear();
    messages.answers.enqueue(Msg::Yes);
    QVERIFY(Drive::click(backupWindow, QStringLiteral("VisualButtonEx3")));
    QCOMPARE(messages.lastText(), Msg::RestoreDone);
    QCOMPARE(tableContents(*server), registered);
    // What the server held before is kept beside the program's data.
    const QString before = QDir(program.folder()).filePath(QStringLiteral("RIVERIVU/server.mdbB.before-restore"));
    QCOMPARE(DatabaseCheck::inspect(before).outcome, DatabaseCheck::Outcome::Ours);
}

void TestServerEndToEnd::refusedBackupLeavesServerAlone()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram program;
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    server->setFolders(program.folder(), program.folder());
    QVERIFY(server->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\") VALUES ('5', 'Sara')")));
    QVERIFY(server->exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES ('5')")));
    const auto before = tableContents(*server);
    const QString notOurs = QDir(program.folder()).filePath(QStringLiteral("notes.mdbB"));
    {
        QFile file(notOurs);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a text file, not a backup");
    }
    ScriptedMessages& messages = program.messages();
    WindowRouter router(*server, messages, program.fileDialogs());
    router.openBackupWindow();
    QWidget* window = topLevel(QStringLiteral("Frmbackup"));
    QVERIFY(window);
    Drive::find<QLineEdit>(window, "Text2")->setText(notOurs);
    messages.answers.enqueue(Msg::Yes);
    QVERIFY(Drive::click(window, QStringLiteral("VisualButtonEx3")));
    QCOMPARE(messages.lastText(), Msg::RestoreNotOurs);
    QCOMPARE(tableContents(*server), before);
    // Nothing was kept as a copy of what the server held, since nothing was replaced.
    QVERIFY(!QFile::exists(QDir(program.folder()).filePath(QStringLiteral("RIVERIVU/server.mdbB.before-restore"))));
    QVERIFY(window->isVisible());
    window->close();
}

// Encrypted, the server's rows go through a private snapshot on this computer; only the sealed file stays.
void TestServerEndToEnd::encryptedBackupOfServer()
{
    ScratchServer scratch;
    ScratchServer freshScratch;
    SKIP_WITHOUT_SERVER(scratch);
    SKIP_WITHOUT_SERVER(freshScratch);
    TestProgram program;
    // A computer that has only ever used the server: no data folder of its own yet.
    QTemporaryDir serverOnly;
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    server->setFolders(serverOnly.path(), program.folder());
    QVERIFY(server->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\") VALUES ('5', 'مريم')")));
    QVERIFY(server->exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\", \"1\") VALUES ('5', '4')")));
    const auto rows = tableContents(*server);

    const QString backup = QDir(program.folder()).filePath(QStringLiteral("sealed.mdbB"));
    {
        OwnWindow w(*server, program);
        Drive::find<QLineEdit>(w.window, "Text1")->setText(backup);
        Drive::click(w.window, QStringLiteral("CheckEncrypt"));
        Drive::type(Drive::find<QLineEdit>(w.window, "TextPassphrase"), words);
        Drive::type(Drive::find<QLineEdit>(w.window, "TextPassphraseAgain"), words);
        Drive::click(w.window, QStringLiteral("VisualButtonEx2"));
        QVERIFY(program.messages().lastText().startsWith(Msg::BackupDone + QLatin1Char('\n')));
    }
    QCOMPARE(BackupCipher::recognise(backup), BackupCipher::Verdict::Good);
    QFile sealed(backup);
    QVERIFY(sealed.open(QIODevice::ReadOnly));
    const QByteArray start = sealed.read(16);
    QVERIFY(!start.startsWith("SQLite format 3"));
    QVERIFY(!sealed.readAll().contains("مريم"));
    QCOMPARE(QFile::permissions(backup), OwnerOnly::FileMode);
    const BackupNames::Places places(Database::filePath(serverOnly.path()));
    QVERIFY(!QFile::exists(places.serverSnapshot));
    QCOMPARE(QDir(QFileInfo(places.serverSnapshot).path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // A wrong passphrase: the server's rows, changed since, stay as they are.
    QVERIFY(server->exec(QStringLiteral("UPDATE \"IDE\" SET \"FName\" = 'Changed'")));
    const auto changed = tableContents(*server);
    QCOMPARE(restoreWith(*server, program, backup, QStringLiteral("not the passphrase")), Msg::RestorePassphraseOrAltered);
    QCOMPARE(tableContents(*server), changed);

    // Restored onto another server database, from another computer new to the program.
    std::unique_ptr<Database> fresh = Database::onServer(freshScratch.address());
    QVERIFY(fresh->open().ok());
    QTemporaryDir otherComputer;
    fresh->setFolders(otherComputer.path(), program.folder());
    QVERIFY(fresh->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\") VALUES ('9', 'Other')")));
    QCOMPARE(restoreWith(*fresh, program, backup, words), Msg::RestoreDone);
    QCOMPARE(tableContents(*fresh), rows);

    // And onto a data file.
    TestProgram local(TestProgram::OnFile);
    local.addExaminee(QStringLiteral("not in the backup"));
    QCOMPARE(restoreWith(local.database(), local, backup, words), Msg::RestoreDone);
    QVERIFY(local.database().open().ok());
    QCOMPARE(tableContents(local.database()), rows);
}

QTEST_MAIN(TestServerEndToEnd)
#include "TestServerEndToEnd.moc"
