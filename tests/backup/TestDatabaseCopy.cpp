#include "backup/CopyJob.h"
#include "backup/DatabaseCopy.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray randomBytes(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(static_cast<quint32>(size) + 7);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(generator.bounded(256));
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A small file system of its own at `folder` while it lives, when the machine lets the test mount one.
class SmallDisk {
public:
    SmallDisk(const QString& folder, const QString& size)
        : m_folder(folder)
    {
        m_mounted = geteuid() == 0
            && run(QStringLiteral("mount"),
                { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=") + size,
                    QStringLiteral("tmpfs"), folder });
    }
    ~SmallDisk()
    {
        if (m_mounted)
            run(QStringLiteral("umount"), { m_folder });
    }
    bool mounted() const { return m_mounted; }
    bool makeReadOnly()
    {
        return run(QStringLiteral("mount"), { QStringLiteral("-o"), QStringLiteral("remount,ro"), m_folder });
    }

private:
    QString m_folder;
    bool m_mounted = false;
};

// Files of this process may grow no larger than `bytes` while it lives: writing past that fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved {};
    void (*m_handler)(int) = nullptr;
};

} // namespace

class TestDatabaseCopy : public QObject {
    Q_OBJECT
private slots:
    void copiesByteForByte_data();
    void copiesByteForByte();
    void replacesALongerTarget();
    void failureLeavesTargetAsItWas_data();
    void failureLeavesTargetAsItWas();
    void fullDisk();
    void unwritableFolder();
    void cancelledCopy();
    void jobKeepsTheEventLoopTurning();
    void sameFile();
};

void TestDatabaseCopy::copiesByteForByte_data()
{
    QTest::addColumn<qint64>("size");
    QTest::newRow("empty") << qint64(0);
    QTest::newRow("one byte") << qint64(1);
    QTest::newRow("one short chunk") << qint64(4047);
    QTest::newRow("one whole chunk") << qint64(4048);
    QTest::newRow("whole chunk and a byte") << qint64(4049);
    QTest::newRow("three whole chunks") << qint64(3 * 4048);
    QTest::newRow("three chunks and a short one") << qint64(3 * 4048 + 17);
    QTest::newRow("10 MB") << qint64(10 * 1024 * 1024);
}

void TestDatabaseCopy::copiesByteForByte()
{
    QFETCH(qint64, size);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("RIVERIVU.mdb"));
    const QString target = dir.filePath(QStringLiteral("نسخه.mdbB"));
    const QByteArray bytes = randomBytes(size);
    QVERIFY(writeFile(source, bytes));

    QList<qint64> steps;
    const DatabaseCopy::Result result = DatabaseCopy::copyFile(source, target, [&](qint64 done, qint64 total) {
        QCOMPARE(total, size);
        steps << done;
    });
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(readFile(target), bytes);
    QCOMPARE(filesIn(dir.path()), QStringList({ QStringLiteral("RIVERIVU.mdb"), QStringLiteral("نسخه.mdbB") }));

    // Whole chunks of 4048 bytes, and one shorter chunk at the end when the length asks for it.
    QCOMPARE(steps.size(), static_cast<qsizetype>((size + 4047) / 4048));
    qint64 previous = 0;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const qint64 chunk = steps.at(i) - previous;
        if (i + 1 < steps.size())
            QCOMPARE(chunk, qint64(4048));
        else
            QVERIFY(chunk > 0 && chunk <= 4048);
        previous = steps.at(i);
    }
}

void TestDatabaseCopy::replacesALongerTarget()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("small"));
    const QString target = dir.filePath(QStringLiteral("large.mdbB"));
    QVERIFY(writeFile(source, randomBytes(5000)));
    QVERIFY(writeFile(target, randomBytes(50000)));
    QVERIFY(DatabaseCopy::copyFile(source, target).ok());
    QCOMPARE(readFile(target), readFile(source));
}

void TestDatabaseCopy::failureLeavesTargetAsItWas_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::newRow("missing source") << "missing.mdb"
                                    << "old.mdbB";
    QTest::newRow("source is a folder") << "folder"
                                        << "old.mdbB";
    QTest::newRow("target folder missing") << "RIVERIVU.mdb"
                                           << "nowhere/new.mdbB";
    QTest::newRow("target is a folder") << "RIVERIVU.mdb"
                                        << "folder";
}

void TestDatabaseCopy::failureLeavesTargetAsItWas()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder/inside")));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("RIVERIVU.mdb")), randomBytes(9000)));
    const QByteArray old = randomBytes(3000);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("old.mdbB")), old));
    const QStringList before = filesIn(dir.path());

    const DatabaseCopy::Result result = DatabaseCopy::copyFile(dir.filePath(source), dir.filePath(target));
    QCOMPARE(result.status, DatabaseCopy::Result::Status::Failed);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readFile(dir.filePath(QStringLiteral("old.mdbB"))), old);
    QCOMPARE(filesIn(dir.path()), before);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder/inside"))).isDir());
}

void TestDatabaseCopy::fullDisk()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("RIVERIVU.mdb"));
    QVERIFY(writeFile(source, randomBytes(1024 * 1024)));
    const QString folder = dir.filePath(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/old.mdbB");
    const QByteArray old = randomBytes(20000);

    DatabaseCopy::Result result;
    SmallDisk disk(folder, QStringLiteral("256k"));
    QVERIFY(writeFile(target, old));
    if (disk.mounted()) {
        result = DatabaseCopy::copyFile(source, target);
    } else {
        // Without the right to mount, a limit on the size of files makes the same write fail.
        FileSizeLimit limit(256 * 1024);
        result = DatabaseCopy::copyFile(source, target);
    }
    QCOMPARE(result.status, DatabaseCopy::Result::Status::Failed);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readFile(target), old);
    QCOMPARE(filesIn(folder), QStringList { QStringLiteral("old.mdbB") });
}

void TestDatabaseCopy::unwritableFolder()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("RIVERIVU.mdb"));
    QVERIFY(writeFile(source, randomBytes(10000)));
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/old.mdbB");
    const QByteArray old = randomBytes(2000);

    SmallDisk disk(folder, QStringLiteral("1m"));
    QVERIFY(writeFile(target, old));
    if (disk.mounted()) {
        QVERIFY(disk.makeReadOnly());
    } else {
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (QFileInfo(folder).isWritable())
            QSKIP("this user may write into any folder and may not mount one");
    }
    const DatabaseCopy::Result result = DatabaseCopy::copyFile(source, target);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(result.status, DatabaseCopy::Result::Status::Failed);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readFile(target), old);
    QCOMPARE(filesIn(folder), QStringList { QStringLiteral("old.mdbB") });
}

void TestDatabaseCopy::cancelledCopy()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("RIVERIVU.mdb"));
    const QString target = dir.filePath(QStringLiteral("old.mdbB"));
    QVERIFY(writeFile(source, randomBytes(100000)));
    const QByteArray old = randomBytes(700);
    QVERIFY(writeFile(target, old));

    std::atomic_bool cancel { false };
    int chunks = 0;
    const DatabaseCopy::Result result = DatabaseCopy::copyFile(
        source, target,
        [&](qint64, qint64) {
            if (++chunks == 3)
                cancel = true;
        },
        &cancel);
    QCOMPARE(result.status, DatabaseCopy::Result::Status::Cancelled);
    QCOMPARE(chunks, 3);
    QCOMPARE(readFile(target), old);
    QCOMPARE(filesIn(dir.path()), QStringList({ QStringLiteral("RIVERIVU.mdb"), QStringLiteral("old.mdbB") }));
}

void TestDatabaseCopy::jobKeepsTheEventLoopTurning()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("RIVERIVU.mdb"));
    const QString target = dir.filePath(QStringLiteral("new.mdbB"));
    QVERIFY(writeFile(source, randomBytes(20 * 1024 * 1024)));

    CopyJob job(source, target);
    QList<int> percents;
    connect(&job, &CopyJob::progressChanged, this, [&](int percent) { percents << percent; });
    int turns = 0;
    QTimer turn;
    connect(&turn, &QTimer::timeout, this, [&] { ++turns; });
    turn.start(0);
    const DatabaseCopy::Result result = job.run();
    turn.stop();

    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(!job.isRunning());
    QCOMPARE(readFile(target), readFile(source));
    QVERIFY(turns > 0);
    QVERIFY(!percents.isEmpty());
    QCOMPARE(percents.last(), 100);
    for (qsizetype i = 1; i < percents.size(); ++i)
        QVERIFY(percents.at(i) > percents.at(i - 1));
}

void TestDatabaseCopy::sameFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("RIVERIVU")));
    QVERIFY(writeFile(file, "data"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("other.mdbB")), "data"));
    QVERIFY(QFile::link(file, dir.filePath(QStringLiteral("shortcut.mdbB"))));
    QVERIFY(::link(QFile::encodeName(file).constData(),
                QFile::encodeName(dir.filePath(QStringLiteral("hardlink.mdbB"))).constData())
        == 0);

    QVERIFY(DatabaseCopy::sameFile(file, file));
    QVERIFY(DatabaseCopy::sameFile(dir.filePath(QStringLiteral("RIVERIVU/../RIVERIVU/./RIVERIVU.mdb")), file));
    QVERIFY(DatabaseCopy::sameFile(dir.filePath(QStringLiteral("shortcut.mdbB")), file));
    QVERIFY(DatabaseCopy::sameFile(dir.filePath(QStringLiteral("hardlink.mdbB")), file));
    QVERIFY(!DatabaseCopy::sameFile(dir.filePath(QStringLiteral("other.mdbB")), file));
    QVERIFY(!DatabaseCopy::sameFile(dir.filePath(QStringLiteral("new.mdbB")), file));
    QVERIFY(DatabaseCopy::sameFile(
        dir.filePath(QStringLiteral("new.mdbB")), dir.filePath(QStringLiteral("RIVERIVU/../new.mdbB"))));
}

QTEST_GUILESS_MAIN(TestDatabaseCopy)
#include "TestDatabaseCopy.moc"
