#include "backup/DatabaseCopy.h"
#include "backup/FileBytes.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace FileBytes;

namespace {

QByteArray randomBytes(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(static_cast<quint32>(size));
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

bool run(const QString& command)
{
    QStringList words = command.split(QLatin1Char(' '));
    return QProcess::execute(words.takeFirst(), words) == 0;
}

// A full or read-only disk at `folder`: a small file system of its own when the machine lets the test mount one;
// otherwise a limit on how large this process may make a file (which fails the write the same way) or a folder
// without the right to write.
class SmallDisk {
public:
    enum class Kind { None, Full, ReadOnly };

    SmallDisk(const QString& folder, Kind kind)
        : m_folder(folder)
        , m_kind(kind)
    {
        m_mounted = kind != Kind::None && geteuid() == 0
            && run(QStringLiteral("mount -t tmpfs -o size=256k tmpfs ") + folder);
    }
    ~SmallDisk()
    {
        if (m_mounted)
            run(QStringLiteral("umount ") + m_folder);
        if (m_limited) {
            setrlimit(RLIMIT_FSIZE, &m_saved);
            std::signal(SIGXFSZ, SIG_DFL);
        }
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // Takes effect once the folder holds what the test put there; false when this user cannot be kept out.
    bool fill()
    {
        if (m_kind == Kind::ReadOnly && m_mounted)
            return run(QStringLiteral("mount -o remount,ro ") + m_folder);
        if (m_kind == Kind::ReadOnly) {
            QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            return !QFileInfo(m_folder).isWritable();
        }
        if (m_kind == Kind::Full && !m_mounted) {
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &m_saved);
            rlimit limit = m_saved;
            limit.rlim_cur = 256 * 1024;
            m_limited = setrlimit(RLIMIT_FSIZE, &limit) == 0;
        }
        return true;
    }

private:
    QString m_folder;
    Kind m_kind;
    bool m_mounted = false;
    bool m_limited = false;
    rlimit m_saved {};
};

} // namespace

class TestDatabaseCopy : public QObject {
    Q_OBJECT
private slots:
    void copiesByteForByte_data();
    void copiesByteForByte();
    void failureLeavesTargetAsItWas_data();
    void failureLeavesTargetAsItWas();
    void sameFile();
};

void TestDatabaseCopy::copiesByteForByte_data()
{
    QTest::addColumn<qint64>("size");
    QTest::newRow("empty") << qint64(0);
    QTest::newRow("one byte") << qint64(1);
    QTest::newRow("one short chunk") << qint64(4047);
    QTest::newRow("one whole chunk") << qint64(4048);
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
    QVERIFY(write(source, randomBytes(size)));
    // A longer file is replaced: the copy ends exactly as long as the source.
    QVERIFY(write(target, randomBytes(size + 5000)));

    QList<qint64> steps;
    const auto result = DatabaseCopy::copyFile(source, target, [&](qint64 done, qint64) { steps << done; });
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(read(target), read(source));
    QCOMPARE(namesIn(dir.path()), QStringList({ QStringLiteral("RIVERIVU.mdb"), QStringLiteral("نسخه.mdbB") }));
    // Whole chunks of 4048 bytes, and one shorter chunk at the end when the length asks for it.
    QCOMPARE(steps.size(), static_cast<qsizetype>((size + 4047) / 4048));
    for (qsizetype i = 0; i < steps.size(); ++i)
        QCOMPARE(steps.at(i), qMin(size, (i + 1) * 4048));
}

void TestDatabaseCopy::failureLeavesTargetAsItWas_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::newRow("missing source") << "missing.mdb"
                                    << "stick/old.mdbB";
    QTest::newRow("source is a folder") << "stick"
                                        << "stick/old.mdbB";
    QTest::newRow("target folder missing") << "RIVERIVU.mdb"
                                           << "nowhere/new.mdbB";
    QTest::newRow("target is a folder") << "RIVERIVU.mdb"
                                        << "stick";
    QTest::newRow("full disk") << "RIVERIVU.mdb"
                               << "stick/old.mdbB";
    QTest::newRow("unwritable folder") << "RIVERIVU.mdb"
                                       << "stick/old.mdbB";
    QTest::newRow("cancelled") << "RIVERIVU.mdb"
                               << "stick/old.mdbB";
}

void TestDatabaseCopy::failureLeavesTargetAsItWas()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QTemporaryDir dir;
    const QString stick = dir.filePath(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(stick));
    QVERIFY(write(dir.filePath(QStringLiteral("RIVERIVU.mdb")), randomBytes(1024 * 1024)));
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    SmallDisk disk(stick,
        tag == QLatin1String("full disk")               ? SmallDisk::Kind::Full
            : tag == QLatin1String("unwritable folder") ? SmallDisk::Kind::ReadOnly
                                                        : SmallDisk::Kind::None);
    const QByteArray old = randomBytes(20000);
    QVERIFY(write(stick + QStringLiteral("/old.mdbB"), old));
    if (!disk.fill())
        QSKIP("this user may write into any folder and may not mount one");

    std::atomic_bool cancel { false };
    int chunks = 0;
    const auto result = DatabaseCopy::copyFile(
        dir.filePath(source), dir.filePath(target),
        [&](qint64, qint64) { cancel = tag == QLatin1String("cancelled") && ++chunks == 3; }, &cancel);
    QCOMPARE(result.status,
        tag == QLatin1String("cancelled") ? DatabaseCopy::Result::Status::Cancelled
                                          : DatabaseCopy::Result::Status::Failed);
    QCOMPARE(result.error.isEmpty(), tag == QLatin1String("cancelled"));
    QCOMPARE(read(stick + QStringLiteral("/old.mdbB")), old);
    QCOMPARE(namesIn(stick), QStringList { QStringLiteral("old.mdbB") });
    QCOMPARE(namesIn(dir.path()), QStringList { QStringLiteral("RIVERIVU.mdb") });
}

void TestDatabaseCopy::sameFile()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("RIVERIVU")));
    const QString file = dir.filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb"));
    const auto at = [&](const char* name) { return dir.filePath(QString::fromUtf8(name)); };
    QVERIFY(write(file, "data") && write(at("other.mdbB"), "data"));
    QVERIFY(QFile::link(file, at("shortcut.mdbB")));
    QVERIFY(::link(QFile::encodeName(file).constData(), QFile::encodeName(at("hardlink.mdbB")).constData()) == 0);

    QVERIFY(DatabaseCopy::sameFile(at("RIVERIVU/../RIVERIVU/./RIVERIVU.mdb"), file));
    QVERIFY(DatabaseCopy::sameFile(at("shortcut.mdbB"), file));
    QVERIFY(DatabaseCopy::sameFile(at("hardlink.mdbB"), file));
    QVERIFY(!DatabaseCopy::sameFile(at("other.mdbB"), file));
    QVERIFY(!DatabaseCopy::sameFile(at("new.mdbB"), file));
    QVERIFY(DatabaseCopy::sameFile(at("new.mdbB"), at("RIVERIVU/../new.mdbB")));
}

QTEST_GUILESS_MAIN(TestDatabaseCopy)
#include "TestDatabaseCopy.moc"
