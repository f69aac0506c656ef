#include "about/Notices.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestNotices : public QObject {
    Q_OBJECT
private slots:
    void carriedInside_data();
    void carriedInside();
    void noticeNamesEachComponent();
    void unknownFile();
    void installedWithTheProgram();
};

void TestNotices::carriedInside_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("closing"); // the whole text, not a part of it
    QTest::newRow("notice") << "THIRD-PARTY-NOTICES.txt"
                            << "Tovrin35: software from others"
                            << "in the program's\nsource.";
    QTest::newRow("LGPL v3") << "LGPL-3.txt"
                             << "GNU LESSER GENERAL PUBLIC LICENSE"
                             << "permanent authorization for you to choose that version for the\nLibrary.";
    QTest::newRow("GPL v3") << "GPL-3.txt"
                            << "GNU GENERAL PUBLIC LICENSE"
                            << "why-not-lgpl.html>.";
    QTest::newRow("OFL 1.1") << "OFL.txt"
                             << "SIL OPEN FONT LICENSE Version 1.1"
                             << "OTHER DEALINGS IN THE FONT SOFTWARE.";
}

void TestNotices::carriedInside()
{
    QFETCH(QString, fileName);
    QFETCH(QString, heading);
    QFETCH(QString, closing);
    bool listed = false;
    for (const Notices::Document& document : Notices::documents())
        listed = listed || (document.fileName == fileName && !document.title.isEmpty());
    QVERIFY(listed);
    const QString text = Notices::text(fileName);
    QVERIFY2(text.contains(heading), qPrintable(fileName));
    QVERIFY2(text.trimmed().endsWith(closing), qPrintable(fileName));
}

void TestNotices::noticeNamesEachComponent()
{
    const QString notice = Notices::text(QStringLiteral("THIRD-PARTY-NOTICES.txt"));
    for (const char* part : { "Qt 6", "GNU Lesser General Public License, version 3", "LGPL-3.txt", "GPL-3.txt",
             "SQLite", "public domain", "Vazirmatn", "SIL Open Font License, version 1.1", "OFL.txt",
             "The Vazirmatn Project Authors", "qtbase_fa.qm", "Qt Company GPL Exception 1.0" })
        QVERIFY2(notice.contains(QLatin1String(part)), part);
    QCOMPARE(Notices::documents().first().fileName, QStringLiteral("THIRD-PARTY-NOTICES.txt"));
    QCOMPARE(Notices::documents().size(), 4);
}

void TestNotices::unknownFile()
{
    QCOMPARE(Notices::text(QStringLiteral("missing.txt")), QString());
    QCOMPARE(Notices::text(QString()), QString());
}

void TestNotices::installedWithTheProgram()
{
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(T35_CMAKE_COMMAND),
        { QStringLiteral("--install"), QStringLiteral(T35_BINARY_DIR), QStringLiteral("--prefix"), prefix.path() });
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());

    const QDir root(prefix.path());
    // The program in bin/, what it brings in share/tovrin35/, where it looks for it.
    QVERIFY(QFile::exists(root.filePath(QStringLiteral("bin/tovrin35"))));
    QCOMPARE(QDir(root.filePath(QStringLiteral("share/tovrin35"))).entryList({QStringLiteral("*.skn")}).size(), 11);
    for (const Notices::Document& document : Notices::documents()) {
        QFile file(root.filePath(QStringLiteral("share/tovrin35/notices/") + document.fileName));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        // The installed file is the one the program carries.
        QCOMPARE(QString::fromUtf8(file.readAll()), Notices::text(document.fileName));
    }
}

QTEST_GUILESS_MAIN(TestNotices)
#include "TestNotices.moc"
