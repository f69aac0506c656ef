#include "text/OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

int modeOf(const QString& path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

bool make(const QString& path, int mode, bool folder)
{
    if (folder ? !QDir().mkdir(path) : !QFile(path).open(QIODevice::WriteOnly))
        return false;
    return ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)) == 0;
}

} // namespace

class TestOwnerOnly : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ::umask(022); }
    void cleanup() { QCOMPARE(::umask(022), mode_t(022)); }
    void tighten_data();
    void tighten();
    void linksAndMissingPathsAreLeftAlone();
    void makeFolder();
    void savedFiles_data();
    void savedFiles();
};

void TestOwnerOnly::tighten_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("file others may read") << false << 0644 << 0600;
    QTest::newRow("file anyone may write") << false << 0666 << 0600;
    QTest::newRow("owner's own program") << false << 0755 << 0700;
    QTest::newRow("read-only for the owner") << false << 0444 << 0400;
    QTest::newRow("already owner-only") << false << 0600 << 0600;
    QTest::newRow("folder others may list") << true << 0755 << 0700;
    QTest::newRow("folder already owner-only") << true << 0700 << 0700;
}

void TestOwnerOnly::tighten()
{
    QFETCH(bool, folder);
    QFETCH(int, before);
    QFETCH(int, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x"));
    QVERIFY(make(path, before, folder));
    QCOMPARE(OwnerOnly::isOwnerOnly(path), (before & 077) == 0);
    QVERIFY(OwnerOnly::tighten(path));
    QCOMPARE(modeOf(path), after);
    QVERIFY(OwnerOnly::isOwnerOnly(path));
}

void TestOwnerOnly::linksAndMissingPathsAreLeftAlone()
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath(QStringLiteral("notes"));
    QVERIFY(make(outside, 0644, false));
    QVERIFY(make(dir.filePath(QStringLiteral("own")), 0644, false));
    const QString link = dir.filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(outside, link));
    QVERIFY(OwnerOnly::tighten(link));
    QVERIFY(OwnerOnly::tightenFolder(dir.path()));
    QCOMPARE(modeOf(dir.filePath(QStringLiteral("own"))), 0600); // a file of the folder itself
    QCOMPARE(modeOf(outside), 0644); // reached through a link: not the folder's
    QVERIFY(OwnerOnly::tighten(dir.filePath(QStringLiteral("missing"))));
    QVERIFY(!OwnerOnly::isOwnerOnly(dir.filePath(QStringLiteral("missing"))));
}

void TestOwnerOnly::makeFolder()
{
    QTemporaryDir dir;
    QVERIFY(make(dir.filePath(QStringLiteral("kept")), 0755, true));
    const QString nested = dir.filePath(QStringLiteral("kept/a/b"));
    QVERIFY(OwnerOnly::makeFolder(nested));
    QCOMPARE(modeOf(dir.filePath(QStringLiteral("kept/a"))), 0700);
    QCOMPARE(modeOf(nested), 0700);
    QCOMPARE(modeOf(dir.filePath(QStringLiteral("kept"))), 0755); // there already: the operator's
    QVERIFY(OwnerOnly::makeFolder(nested)); // there already: fine

    QVERIFY(make(dir.filePath(QStringLiteral("a file")), 0600, false));
    QString error;
    QVERIFY(!OwnerOnly::makeFolder(dir.filePath(QStringLiteral("a file/below")), &error));
    QVERIFY(!error.isEmpty());
}

void TestOwnerOnly::savedFiles_data()
{
    QTest::addColumn<int>("replaced");
    QTest::newRow("new") << -1;
    QTest::newRow("over a file others may read") << 0644;
    QTest::newRow("over an owner-only file") << 0600;
}

void TestOwnerOnly::savedFiles()
{
    QFETCH(int, replaced);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    if (replaced >= 0)
        QVERIFY(make(path, replaced, false));
    QSaveFile file(path);
    QVERIFY(OwnerOnly::open(file));
    QCOMPARE(::umask(022), mode_t(022)); // the mask is the process's own again as soon as the file is made
    file.write("the clients' answers");
    QVERIFY(file.commit());
    QCOMPARE(modeOf(path), 0600);
}

QTEST_MAIN(TestOwnerOnly)
#include "TestOwnerOnly.moc"
