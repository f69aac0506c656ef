#include "app/DataFolderCheck.h"
#include "app/DataPlace.h"
#include "app/Program.h"
#include "app/SingleInstance.h"
#include "app/WindowRouter.h"
#include "backup/BackupNames.h"
#include "data/Database.h"
#include "settings/Theme.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessages.h"
#include "text/ProgramSettings.h"
#include "ui/MessageCatalogue.h"
#include "ui/PathField.h"
#include "ui/PersianText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

using Where = DataPlace::Where;

Q_DECLARE_METATYPE(DataPlace::Where)
Q_DECLARE_METATYPE(DataFolderCheck::Verdict)

namespace {

ScriptedFileDialogs noDialogs;

// Points the user's folders (data, configuration, runtime) into `home` while it lives.
class TemporaryHome {
public:
    TemporaryHome()
    {
        for (const char* name : { "HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR" })
            m_saved.append({ name, qgetenv(name) });
        qputenv("HOME", m_home.path().toLocal8Bit());
        qunsetenv("XDG_DATA_HOME");
        QDir(m_home.path()).mkpath(QStringLiteral("run"));
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime().toLocal8Bit());
        ProgramSettings::setFilePath(QDir(m_home.path()).filePath(QStringLiteral("tovrin35.conf")));
    }
    ~TemporaryHome()
    {
        for (const auto& [name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }
    QString path() const { return m_home.path(); }
    QString runtime() const { return QDir(m_home.path()).filePath(QStringLiteral("run")); }
    QString userData() const { return QDir(m_home.path()).filePath(QStringLiteral(".local/share/tovrin35")); }

private:
    QTemporaryDir m_home;
    QList<std::pair<const char*, QByteArray>> m_saved;
};

// A program folder as a build or an unpacked folder has it: the executable's folder with a skin beside it; or, with
// `installed`, as a package lays it out: <root>/bin with the skins in <root>/share/tovrin35.
struct ProgramTree {
    explicit ProgramTree(bool installed)
    {
        const QDir root(m_root.path());
        root.mkpath(QStringLiteral("bin"));
        bin = root.filePath(QStringLiteral("bin"));
        resources = bin;
        if (installed) {
            root.mkpath(QStringLiteral("share/tovrin35"));
            resources = root.filePath(QStringLiteral("share/tovrin35"));
        }
        QFile::copy(QDir(QStringLiteral(T35_DELIVERED_SKINS)).filePath(QStringLiteral("Green.skn")),
            QDir(resources).filePath(QStringLiteral("Green.skn")));
    }
    QTemporaryDir m_root;
    QString bin;
    QString resources;
};

} // namespace

class TestDataPlace : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void choose_data();
    void choose();
    void userDataFolderIsNamedForTheProgram();
    void writableProgramFolderKeepsDataBeside();
    void installedProgramUsesUserDataFolder();
    void readOnlyProgramFolderUsesUserDataFolder();
    void chosenFolderForOneRun();
    void skinsComeFromTheResourcesFolder();
    void lockFollowsTheData();
    void chosenFolderRefused_data();
    void chosenFolderRefused();
};

void TestDataPlace::choose_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<QString>("userData");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("resources");
    QTest::addColumn<Where>("where");

    const QString program = QStringLiteral("/opt/t35");
    const QString share = QStringLiteral("/usr/share/tovrin35");
    const QString user = QStringLiteral("/home/u/.local/share/tovrin35");
    const QString chosen = QStringLiteral("/srv/clinic");
    const QString none;
    QTest::newRow("build or unpacked folder")
        << true << none << user << none << program << program << Where::BesideProgram;
    QTest::newRow("folder it may not write to")
        << false << none << user << none << user << program << Where::UserDataFolder;
    QTest::newRow("installed") << false << share << user << none << user << share << Where::UserDataFolder;
    QTest::newRow("installed, run by root") << true << share << user << none << user << share << Where::UserDataFolder;
    QTest::newRow("chosen beside a build") << true << none << user << chosen << chosen << program << Where::Chosen;
    QTest::newRow("chosen, installed") << false << share << user << chosen << chosen << share << Where::Chosen;
    QTest::newRow("no user data folder") << false << share << none << none << program << share << Where::BesideProgram;
}

void TestDataPlace::choose()
{
    QFETCH(bool, writable);
    QFETCH(QString, installed);
    QFETCH(QString, userData);
    QFETCH(QString, chosen);
    QFETCH(QString, data);
    QFETCH(QString, resources);
    QFETCH(Where, where);
    DataPlace::Facts facts;
    facts.programFolder = QStringLiteral("/opt/t35");
    facts.programFolderWritable = writable;
    facts.installedResources = installed;
    facts.userDataFolder = userData;
    facts.chosenFolder = chosen;
    const DataPlace::Folders folders = DataPlace::choose(facts);
    QCOMPARE(folders.data, data);
    QCOMPARE(folders.resources, resources);
    QCOMPARE(folders.where, where);
}

void TestDataPlace::userDataFolderIsNamedForTheProgram()
{
    TemporaryHome home;
    QCOMPARE(DataPlace::userDataFolder(), home.userData());
    const QTemporaryDir xdg;
    qputenv("XDG_DATA_HOME", xdg.path().toLocal8Bit());
    QCOMPARE(DataPlace::userDataFolder(), QDir(xdg.path()).filePath(QStringLiteral("tovrin35")));
}

void TestDataPlace::writableProgramFolderKeepsDataBeside()
{
    TemporaryHome home;
    ProgramTree tree(false);
    const DataPlace::Folders folders = DataPlace::decide(tree.bin, QString());
    QCOMPARE(folders.where, Where::BesideProgram);
    QCOMPARE(folders.data, tree.bin);
    QCOMPARE(folders.resources, tree.bin);

    ScriptedMessages messages;
    Program program(folders, messages, noDialogs);
    QCOMPARE(program.start(), Program::Start::Running);
    QCOMPARE(program.router()->database().filePath(), QDir(tree.bin).filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb")));
    QVERIFY(QFileInfo(Database::filePath(tree.bin)).isFile());
    QVERIFY(!QFileInfo::exists(home.userData()));
}

void TestDataPlace::installedProgramUsesUserDataFolder()
{
    TemporaryHome home;
    ProgramTree tree(true);
    const DataPlace::Folders folders = DataPlace::decide(tree.bin, QString());
    QCOMPARE(folders.where, Where::UserDataFolder);
    QCOMPARE(folders.data, home.userData());
    QCOMPARE(QFileInfo(folders.resources).canonicalFilePath(), QFileInfo(tree.resources).canonicalFilePath());
    QVERIFY(!QFileInfo::exists(home.userData()));

    // The first start makes the folder and the file.
    ScriptedMessages messages;
    Program program(folders, messages, noDialogs);
    QCOMPARE(program.start(), Program::Start::Running);
    QCOMPARE(messages.boxes.size(), 0);
    const QString file = QDir(home.path()).filePath(QStringLiteral(".local/share/tovrin35/RIVERIVU/RIVERIVU.mdb"));
    QVERIFY(QFileInfo(file).isFile());
    QCOMPARE(program.router()->database().filePath(), file);
    QVERIFY(!QFileInfo::exists(QDir(tree.bin).filePath(QStringLiteral("RIVERIVU"))));
    // The backup window starts in the data's Back folder.
    QCOMPARE(BackupNames::Places(file).backFolder, QDir(home.userData()).filePath(QStringLiteral("Back")));
}

void TestDataPlace::readOnlyProgramFolderUsesUserDataFolder()
{
    TemporaryHome home;
    ProgramTree tree(false);
    QVERIFY(QFile::setPermissions(tree.bin, QFile::ReadOwner | QFile::ExeOwner));
    const auto restore
        = qScopeGuard([&] { QFile::setPermissions(tree.bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    if (::geteuid() == 0)
        QSKIP("root may write to any folder");
    const DataPlace::Folders folders = DataPlace::decide(tree.bin, QString());
    QCOMPARE(folders.where, Where::UserDataFolder);
    QCOMPARE(folders.data, home.userData());
    // The skins are still the ones beside the program.
    QCOMPARE(folders.resources, tree.bin);
    ScriptedMessages messages;
    Program program(folders, messages, noDialogs);
    QCOMPARE(program.start(), Program::Start::Running);
    QVERIFY(QFileInfo(Database::filePath(home.userData())).isFile());
}

void TestDataPlace::chosenFolderForOneRun()
{
    TemporaryHome home;
    ProgramTree tree(true);
    const QString chosen = QDir(home.path()).filePath(QStringLiteral("clinic/داده ها"));
    const DataPlace::Folders folders = DataPlace::decide(tree.bin, chosen);
    QCOMPARE(folders.where, Where::Chosen);
    QCOMPARE(folders.data, chosen);
    ScriptedMessages messages;
    Program program(folders, messages, noDialogs);
    QCOMPARE(program.start(), Program::Start::Running);
    QVERIFY(QFileInfo(Database::filePath(chosen)).isFile());
    QVERIFY(!QFileInfo::exists(home.userData()));
    QCOMPARE(BackupNames::Places(Database::filePath(chosen)).backFolder, QDir(chosen).filePath(QStringLiteral("Back")));

    // A relative folder is the current folder's.
    const QString before = QDir::currentPath();
    QDir::setCurrent(home.path());
    const DataPlace::Folders relative = DataPlace::decide(tree.bin, QStringLiteral("rel/../here"));
    QDir::setCurrent(before);
    QCOMPARE(relative.data, QDir(home.path()).filePath(QStringLiteral("here")));
}

void TestDataPlace::skinsComeFromTheResourcesFolder()
{
    ProgramTree tree(true);
    QTemporaryDir data;
    Database db(data.path(), tree.resources);
    QCOMPARE(db.dataFolder(), data.path());
    QCOMPARE(db.resourcesFolder(), tree.resources);
    QVERIFY(db.open().ok());
    QWidget window;
    // Green is theme 2; the data folder has no skins at all.
    Theme::applyTheme(&window, db, QStringLiteral("2"));
    QCOMPARE(window.property("appliedTheme").toInt(), 2);
    QCOMPARE(Theme::replacementFor(db.resourcesFolder(), QStringLiteral("2")), 0);
    QCOMPARE(Theme::replacementFor(db.dataFolder(), QStringLiteral("2")), Theme::First);

    // Without a folder of its own for them, the data folder holds the skins, as beside a build.
    Database beside(tree.resources);
    QCOMPARE(beside.resourcesFolder(), tree.resources);
}

void TestDataPlace::lockFollowsTheData()
{
    TemporaryHome home;
    QTemporaryDir first;
    QTemporaryDir second;
    QCOMPARE(QFileInfo(SingleInstance::lockPathFor(first.path())).absolutePath(),
        QFileInfo(home.runtime()).absoluteFilePath());
    QVERIFY(SingleInstance::lockPathFor(first.path()) != SingleInstance::lockPathFor(second.path()));
    // The same folder named another way is the same data, through a link too, and a folder still to be made is
    // named as it will be once made.
    QCOMPARE(
        SingleInstance::lockPathFor(first.path() + QStringLiteral("/./")), SingleInstance::lockPathFor(first.path()));
    const QString link = QDir(home.path()).filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(first.path(), link));
    QCOMPARE(SingleInstance::lockPathFor(link), SingleInstance::lockPathFor(first.path()));
    const QString later = SingleInstance::lockPathFor(QDir(link).filePath(QStringLiteral("new/data")));
    QVERIFY(QDir(first.path()).mkpath(QStringLiteral("new/data")));
    QCOMPARE(later, SingleInstance::lockPathFor(QDir(first.path()).filePath(QStringLiteral("new/data"))));

    ScriptedMessages messages;
    Program running(DataPlace::Folders(first.path()), messages, noDialogs);
    QCOMPARE(running.start(), Program::Start::Running);
    // A second copy on the same data is refused; one on other data runs beside it.
    ScriptedMessages sameMessages;
    Program same(DataPlace::Folders(first.path()), sameMessages, noDialogs);
    QCOMPARE(same.start(), Program::Start::AlreadyRunning);
    QCOMPARE(sameMessages.boxes.size(), 1);
    ScriptedMessages otherMessages;
    Program other(DataPlace::Folders(second.path()), otherMessages, noDialogs);
    QCOMPARE(other.start(), Program::Start::Running);
    QCOMPARE(otherMessages.boxes.size(), 0);
}

// A folder chosen with --data-dir that another user of the computer could write to, or that is theirs, is refused
// before anything in it is made or read, as are a file, a system folder and too long a name, each for what it is.
// Paths are relative to the temporary home (mode 0700, in the system's /tmp); "nobody/" folders are given to
// another user, which only root can do.
void TestDataPlace::chosenFolderRefused_data()
{
    using Verdict = DataFolderCheck::Verdict;
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("where");
    QTest::newRow("a folder of the user's own") << ""
                                                << "clinic/data" << Verdict::Fit << "";
    QTest::newRow("inside a shared folder with the sticky bit") << "sticky:shared"
                                                                << "shared/data" << Verdict::Fit << "";
    QTest::newRow("a folder others may write") << "open:shared"
                                               << "shared/data" << Verdict::OpenToOthers << "shared";
    QTest::newRow("the data folder itself open to others") << "open:data"
                                                           << "data" << Verdict::OpenToOthers << "data";
    QTest::newRow("the data folder itself open to others, sticky") << "sticky:data"
                                                                   << "data" << Verdict::OpenToOthers << "data";
    QTest::newRow("a folder its group may write") << "group:shared"
                                                  << "shared/data" << Verdict::OpenToOthers << "shared";
    QTest::newRow("through a link into a folder others may write")
        << "open:elsewhere/shared link:mine=elsewhere/shared"
        << "mine/data" << Verdict::OpenToOthers << "elsewhere/shared";
    QTest::newRow("the program's folder in it open to others") << "open:data/RIVERIVU"
                                                               << "data" << Verdict::OpenToOthers << "data/RIVERIVU";
    QTest::newRow("a folder of another user") << "nobody:theirs"
                                              << "theirs/data" << Verdict::OwnedByOther << "theirs";
    QTest::newRow("a database planted by another user")
        << "nobody:data/RIVERIVU/RIVERIVU.mdb"
        << "data" << Verdict::OwnedByOther << "data/RIVERIVU/RIVERIVU.mdb";
    QTest::newRow("a file") << "file:notes.txt"
                            << "notes.txt" << Verdict::NotAFolder << "notes.txt";
    QTest::newRow("below a file") << "file:notes.txt"
                                  << "notes.txt/data" << Verdict::NotAFolder << "notes.txt";
    QTest::newRow("/proc") << ""
                           << "/proc/tovrin35" << Verdict::SystemFolder << "/proc";
    QTest::newRow("a name too long") << "" << QString(300, QLatin1Char('x')) << Verdict::NameTooLong << "";
    QString deep;
    while (deep.size() < 4438)
        deep += QStringLiteral("clinic-folder-") + QString::number(deep.size()) + QLatin1Char('/');
    QTest::newRow("a 4,438-character path") << "" << deep.left(4438) << Verdict::NameTooLong << "";
}

void TestDataPlace::chosenFolderRefused()
{
    using Verdict = DataFolderCheck::Verdict;
    QFETCH(QString, layout);
    QFETCH(QString, chosen);
    QFETCH(Verdict, verdict);
    QFETCH(QString, where);
    TemporaryHome home;
    const QDir base(home.path());
    const auto mode
        = [](const QString& path, mode_t bits) { return ::chmod(QFile::encodeName(path).constData(), bits) == 0; };
    for (const QString& step : layout.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString kind = step.section(QLatin1Char(':'), 0, 0);
        const QString name = step.section(QLatin1Char(':'), 1);
        if (kind == QLatin1String("link")) {
            QVERIFY(QFile::link(
                base.filePath(name.section(QLatin1Char('='), 1)), base.filePath(name.section(QLatin1Char('='), 0, 0))));
            continue;
        }
        const QString path = base.filePath(name);
        if (kind == QLatin1String("file") || name.endsWith(QLatin1String(".mdb"))) {
            QVERIFY(base.mkpath(QFileInfo(path).path()));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("planted");
        } else {
            QVERIFY(base.mkpath(name));
        }
        if (kind == QLatin1String("open"))
            QVERIFY(mode(path, 0777));
        else if (kind == QLatin1String("group"))
            QVERIFY(mode(path, 0770));
        else if (kind == QLatin1String("sticky"))
            QVERIFY(mode(path, 01777));
        else if (kind == QLatin1String("nobody") && ::chown(QFile::encodeName(path).constData(), 65534, 65534) != 0)
            QSKIP("giving a folder to another user needs root");
    }
    const QString folder = chosen.startsWith(QLatin1Char('/')) ? chosen : base.filePath(chosen);
    const QString at = where.startsWith(QLatin1Char('/')) ? where : base.filePath(where);
    const QStringList before = QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    const DataFolderCheck::Result checked = DataFolderCheck::check(folder);
    QCOMPARE(checked.verdict, verdict);
    if (verdict != Verdict::Fit && verdict != Verdict::NameTooLong)
        QCOMPARE(checked.where, at);

    ScriptedMessages messages;
    ProgramTree tree(true);
    Program program(DataPlace::decide(tree.bin, folder), messages, noDialogs);
    if (verdict == Verdict::Fit) {
        QCOMPARE(program.start(), Program::Start::Running);
        QVERIFY(QFileInfo(Database::filePath(folder)).isFile());
        return;
    }
    QCOMPARE(program.start(), Program::Start::DatabaseRefused);
    QCOMPARE(messages.boxes.size(), 1);
    QCOMPARE(messages.lastText(), Program::refusalText(checked, folder));
    if (verdict != Verdict::NameTooLong)
        QVERIFY(messages.lastText().contains(PathField::inSentence(at)));
    QVERIFY(!messages.lastText().contains(Msg::DatabaseNotWritable.left(20)));
    // Nothing was made, and a planted file was not opened.
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    if (layout.contains(QLatin1String(".mdb")))
        QCOMPARE(QFileInfo(base.filePath(where)).size(), qint64(7));
    else if (verdict != Verdict::NotAFolder && verdict != Verdict::SystemFolder && verdict != Verdict::NameTooLong)
        QVERIFY(!QFileInfo::exists(Database::filePath(folder)));
}

QTEST_MAIN(TestDataPlace)
#include "TestDataPlace.moc"
