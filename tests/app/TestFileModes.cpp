#include "app/Program.h"
#include "backup/BackupCipher.h"
#include "backup/BackupDecryption.h"
#include "backup/BackupEncryption.h"
#include "backup/BackupWindow.h"
#include "backup/DatabaseCopy.h"
#include "data/Database.h"
#include "data/TableCursor.h"
#include "examinees/ResearchExport.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessages.h"
#include "support/TestProgram.h"
#include "text/OwnerOnly.h"
#include "text/ProgramSettings.h"
#include "ui/DocumentOutput.h"
#include "ui/MessageCatalogue.h"
#include "ui/PagedDocument.h"
#include "ui/PersianText.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

namespace {

// The permission bits of a file or folder as the system keeps them (-1 when there is none).
int modeOf(const QString& path)
{
    struct stat info { };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return static_cast<int>(info.st_mode & 07777);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// What a file others may read looks like to the tests: 0644, whatever the process's mask.
bool openToOthers(const QString& path)
{
    return ::chmod(QFile::encodeName(path).constData(), 0644) == 0;
}

bool folderOpenToOthers(const QString& path)
{
    return ::chmod(QFile::encodeName(path).constData(), 0755) == 0;
}

class OnePage : public PagedDocument {
public:
    QString title() const override { return QStringLiteral("گزارش"); }
    int pageCount() const override { return 1; }
    void paintPage(QPainter& painter, int) const override { painter.drawText(QPointF(1000, 1000), title()); }
};

ScriptedFileDialogs noDialogs;

} // namespace

// Every file the program writes is its owner's alone from the start (0600, in folders of 0700), whatever the mode a
// file it replaces had; what an earlier version left open is tightened at start.
class TestFileModes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void dataFolderAndFile();
    void journalOfAnUnfinishedWrite();
    void backups_data();
    void backups();
    void temporaryCopies_data();
    void temporaryCopies();
    void restoreCopies();
    void exports_data();
    void exports();
    void settingsFile();
    void settingsFileOthersMayRead();
    void tightenedAtStart();
};

void TestFileModes::initTestCase()
{
    PersianText::loadFont();
    // The usual mask, under which a file made without care is readable by everyone: every check below would see it.
    ::umask(022);
}

// Whatever made its files owner-only gave the process its own mask back.
void TestFileModes::cleanup()
{
    QCOMPARE(::umask(022), mode_t(022));
}

void TestFileModes::dataFolderAndFile()
{
    TestProgram program;
    const QString database = program.database().filePath();
    QCOMPARE(modeOf(QFileInfo(database).path()), 0700);
    QCOMPARE(modeOf(database), 0600);
}

void TestFileModes::journalOfAnUnfinishedWrite()
{
    TestProgram program;
    const QString journal = program.database().filePath() + QStringLiteral("-journal");
    QVERIFY(program.database().beginTransaction());
    program.addExaminee(QStringLiteral("half-written"));
    QVERIFY(QFileInfo::exists(journal));
    QCOMPARE(modeOf(journal), 0600);
    program.database().rollback();
}

void TestFileModes::backups_data()
{
    QTest::addColumn<bool>("encrypted");
    QTest::addColumn<bool>("replacing");
    QTest::newRow("a copy") << false << false;
    QTest::newRow("a copy over a backup others may read") << false << true;
    QTest::newRow("encrypted") << true << false;
    QTest::newRow("encrypted over a backup others may read") << true << true;
}

void TestFileModes::backups()
{
    QFETCH(bool, encrypted);
    QFETCH(bool, replacing);
    TestProgram program;
    program.addExaminee(QStringLiteral("A"));
    auto* window = new BackupWindow(program.database(), program.messages(), program.fileDialogs());
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<BackupWindow> open(window);
    window->show();
    const QString back = QDir(program.folder()).filePath(QStringLiteral("Back"));
    if (replacing) {
        QVERIFY(QDir().mkpath(back));
        QVERIFY(writeFile(QDir(back).filePath(QStringLiteral("mine.mdbB")), "older"));
        QVERIFY(openToOthers(QDir(back).filePath(QStringLiteral("mine.mdbB"))));
        program.messages().answers << Msg::Yes;
    }
    Drive::find<QLineEdit>(window, QStringLiteral("Text1"))->setText(QStringLiteral("mine.mdbB"));
    if (encrypted) {
        Drive::click(window, QStringLiteral("CheckEncrypt"));
        Drive::type(Drive::find<QLineEdit>(window, QStringLiteral("TextPassphrase")), QStringLiteral("abcdefgh"));
        Drive::type(Drive::find<QLineEdit>(window, QStringLiteral("TextPassphraseAgain")), QStringLiteral("abcdefgh"));
    }
    Drive::click(window, QStringLiteral("VisualButtonEx2"));
    QVERIFY(program.messages().lastText().startsWith(Msg::BackupDone));
    QTRY_VERIFY(!open);
    const QString backup = QDir(back).filePath(QStringLiteral("mine.mdbB"));
    QCOMPARE(BackupCipher::recognise(backup) == BackupCipher::Verdict::Good, encrypted);
    QCOMPARE(modeOf(back), replacing ? 0755 : 0700); // a folder of the operator's own stays as it is
    QCOMPARE(modeOf(backup), 0600);
}

// The temporary file a backup or a restore's copy is written into, looked for between two of its chunks. Where the
// system can, the file has no name until it is complete (Linux's O_TMPFILE) and nobody can open it at all; where it
// has one, it is owner-only. Either way the finished copy is.
void TestFileModes::temporaryCopies_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a copy") << "copy";
    QTest::newRow("encrypted") << "encrypt";
    QTest::newRow("decrypted") << "decrypt";
}

void TestFileModes::temporaryCopies()
{
    QFETCH(QString, kind);
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("source"));
    QVERIFY(writeFile(source, QByteArray(300000, 'x')));
    QVERIFY(openToOthers(source));
    const QString targets = folder.filePath(QStringLiteral("targets"));
    QVERIFY(QDir().mkpath(targets));
    std::unique_ptr<DatabaseCopy::Transform> transform;
    if (kind == QLatin1String("encrypt")) {
        transform
            = std::make_unique<BackupCipher::Encryption>(QStringLiteral("abcdefgh"), BackupCipher::cheapestCost());
    } else if (kind == QLatin1String("decrypt")) {
        BackupCipher::Encryption encryption(QStringLiteral("abcdefgh"), BackupCipher::cheapestCost());
        QVERIFY(
            DatabaseCopy::copyFile(source, folder.filePath(QStringLiteral("sealed")), {}, nullptr, &encryption).ok());
        QVERIFY(openToOthers(folder.filePath(QStringLiteral("sealed"))));
        transform = std::make_unique<BackupCipher::Decryption>(QStringLiteral("abcdefgh"));
    }
    QList<int> partModes;
    const auto whileCopying = [&](qint64, qint64) {
        for (const QFileInfo& part : QDir(targets).entryInfoList(QDir::Files | QDir::Hidden))
            partModes << modeOf(part.absoluteFilePath());
    };
    const QString from = kind == QLatin1String("decrypt") ? folder.filePath(QStringLiteral("sealed")) : source;
    const QString target = QDir(targets).filePath(QStringLiteral("target"));
    QVERIFY(DatabaseCopy::copyFile(from, target, whileCopying, nullptr, transform.get()).ok());
    QCOMPARE(partModes, QList<int>(partModes.size(), 0600));
    QCOMPARE(modeOf(target), 0600);
}

void TestFileModes::restoreCopies()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("in the backup"));
    // A backup that others may read: nothing made from it takes its mode.
    const QString backup = QDir(program.folder()).filePath(QStringLiteral("chosen.mdbB"));
    QVERIFY(QFile::copy(program.database().filePath(), backup));
    QVERIFY(openToOthers(backup));
    const QString data = QFileInfo(program.database().filePath()).path();

    auto* window = new BackupWindow(program.database(), program.messages(), program.fileDialogs());
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<BackupWindow> open(window);
    window->show();
    QList<int> copyModes;
    connect(
        Drive::find<QProgressBar>(window, QStringLiteral("CopyProgress")), &QProgressBar::valueChanged, window, [&] {
            for (const QFileInfo& file : QDir(data).entryInfoList(QDir::Files))
                copyModes << modeOf(file.absoluteFilePath());
        });
    Drive::find<QLineEdit>(window, QStringLiteral("Text2"))->setText(backup);
    program.messages().answers << Msg::Yes;
    Drive::click(window, QStringLiteral("VisualButtonEx3"));
    QCOMPARE(program.messages().lastText(), Msg::RestoreDone);
    QTRY_VERIFY(!open);
    // The private copy being checked and the database kept from before, while they were written, and after.
    QVERIFY(!copyModes.isEmpty());
    QCOMPARE(copyModes, QList<int>(copyModes.size(), 0600));
    QCOMPARE(modeOf(program.database().filePath()), 0600);
    QCOMPARE(modeOf(program.database().filePath() + QStringLiteral(".before-restore")), 0600);
    QCOMPARE(modeOf(backup), 0644); // the operator's own file is left as it was
}

void TestFileModes::exports_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("replacing");
    QTest::addColumn<bool>("throughLink");
    QTest::newRow("research CSV") << "csv" << false << false;
    QTest::newRow("research CSV over a file others may read") << "csv" << true << false;
    QTest::newRow("research CSV through a link to a file others may read") << "csv" << true << true;
    QTest::newRow("PDF") << "pdf" << false << false;
    QTest::newRow("PDF over a file others may read") << "pdf" << true << false;
    QTest::newRow("PDF through a link to a file others may read") << "pdf" << true << true;
}

void TestFileModes::exports()
{
    QFETCH(QString, kind);
    QFETCH(bool, replacing);
    QFETCH(bool, throughLink);
    TestProgram program;
    program.addExaminee(QStringLiteral("A"));
    const QString path = QDir(program.folder()).filePath(QStringLiteral("export.") + kind);
    // The file the name leads to: the name itself, or the file a link of that name points at.
    const QString file = throughLink ? QDir(program.folder()).filePath(QStringLiteral("shared.") + kind) : path;
    if (replacing) {
        QVERIFY(writeFile(file, "an earlier export"));
        QVERIFY(openToOthers(file));
    }
    if (throughLink)
        QVERIFY(QFile::link(file, path));
    if (kind == QLatin1String("csv")) {
        TableCursor listed(program.database(), QStringLiteral("IDE"));
        const ResearchExport::Result written = ResearchExport::write(listed, path, ResearchExport::Scoring());
        QVERIFY2(written.ok, qPrintable(written.error));
    } else {
        QString error;
        QVERIFY2(DocumentOutput::writePdf(OnePage(), path, error), qPrintable(error));
    }
    QVERIFY(QFileInfo(file).size() > QByteArray("an earlier export").size());
    QCOMPARE(modeOf(file), 0600);
    QCOMPARE(QFileInfo(path).isSymLink(), throughLink);
}

void TestFileModes::settingsFile()
{
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("config/tovrin35/tovrin35.conf"));
    ProgramSettings::setFilePath(path);
    const auto restore = qScopeGuard([] { ProgramSettings::setFilePath(QString()); });
    QCOMPARE(ProgramSettings::filePath(), path);
    QCOMPARE(modeOf(path), 0600);
    QCOMPARE(modeOf(QFileInfo(path).path()), 0700);
    QCOMPARE(modeOf(home.filePath(QStringLiteral("config"))), 0700);
    {
        QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("digits/persian"), true);
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
    }
    QVERIFY(QFileInfo(path).size() > 0);
    QCOMPARE(modeOf(path), 0600);
}

// A settings file an earlier version (or the operator) left open to others is the operator's alone once the program
// has written it.
void TestFileModes::settingsFileOthersMayRead()
{
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("tovrin35.conf"));
    QVERIFY(writeFile(path, "[digits]\npersian=false\n"));
    QVERIFY(openToOthers(path));
    ProgramSettings::setFilePath(path);
    const auto restore = qScopeGuard([] { ProgramSettings::setFilePath(QString()); });
    {
        QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("digits/persian"), true);
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
    }
    QCOMPARE(modeOf(path), 0600);
}

void TestFileModes::tightenedAtStart()
{
    QTemporaryDir folder;
    QTemporaryDir locks;
    QTemporaryDir elsewhere;
    const QString database = Database::filePath(folder.path());
    const QString data = QFileInfo(database).path();
    const QString back = QDir(folder.path()).filePath(QStringLiteral("Back"));
    {
        Database made(folder.path());
        QVERIFY(made.open().ok());
    }
    // As an earlier version left them: everyone on the computer could read the clients' answers.
    QVERIFY(QDir().mkpath(back));
    QVERIFY(writeFile(database + QStringLiteral(".before-restore"), "kept"));
    QVERIFY(writeFile(QDir(back).filePath(QStringLiteral("old.mdbB")), "old"));
    for (const QString& file :
        { database, database + QStringLiteral(".before-restore"), QDir(back).filePath(QStringLiteral("old.mdbB")) })
        QVERIFY(openToOthers(file));
    QVERIFY(folderOpenToOthers(data));
    QVERIFY(folderOpenToOthers(back));
    // A link the operator put there leads to a file that is not the program's: it is left alone.
    const QString outside = elsewhere.filePath(QStringLiteral("notes.txt"));
    QVERIFY(writeFile(outside, "mine"));
    QVERIFY(openToOthers(outside));
    QVERIFY(QFile::link(outside, QDir(data).filePath(QStringLiteral("notes.txt"))));
    const int folderAbove = modeOf(folder.path());

    ScriptedMessages messages;
    const QString lock = locks.filePath(QStringLiteral("t35.lock"));
    Program program(folder.path(), messages, noDialogs, lock);
    QCOMPARE(program.start(), Program::Start::Running);
    QCOMPARE(messages.boxes.size(), 0);
    QCOMPARE(modeOf(data), 0700);
    QCOMPARE(modeOf(back), 0700);
    QCOMPARE(modeOf(database), 0600);
    QCOMPARE(modeOf(database + QStringLiteral(".before-restore")), 0600);
    QCOMPARE(modeOf(QDir(back).filePath(QStringLiteral("old.mdbB"))), 0600);
    QCOMPARE(modeOf(outside), 0644);
    QCOMPARE(modeOf(folder.path()), folderAbove); // the program's own folder is the operator's business
    QCOMPARE(modeOf(lock), 0600);
}

QTEST_MAIN(TestFileModes)
#include "TestFileModes.moc"
