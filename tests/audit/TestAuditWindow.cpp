// The activity window: its filters narrow the grid, its export writes the lines listed (and is itself noted), and on
// a clinic's server a counsellor may not read the trail.
#include "audit/AuditLinesModel.h"
#include "audit/AuditWindow.h"
#include "calendar/SolarHijri.h"
#include "data/AuditTrail.h"
#include "data/Rights.h"
#include "data/ServerRights.h"
#include "data/TableCursor.h"
#include "support/LayoutCheck.h"
#include "support/TestProgram.h"
#include "support/TestServer.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

class TestAuditWindow : public QObject {
    Q_OBJECT
private slots:
    void showsTheLinesNewestFirst();
    void filtersNarrowTheGrid_data();
    void filtersNarrowTheGrid();
    void aWrongDateIsRefused();
    void exportWritesTheListedLines();
    void onlyTheHeadReadsTheServersTrail();
};

namespace {

// Lines of two days, 1 and 2 Farvardin 1405, of two users.
struct Trail {
    TestProgram program { TestProgram::OnFile };
    std::unique_ptr<AuditWindow> window;

    Trail()
    {
        // Digits as stored, so the grid's texts compare with what the trail keeps.
        ShownNumbers::setPersianDigits(false);
        const QDate first = SolarHijriToGregorian(1405, 1, 1);
        const QString insert = QStringLiteral("INSERT INTO AuditLog (\"When\", Who, What, Code, Detail) VALUES (?, ?, ?, ?, ?)");
        program.exec(insert, { stamp(first, 9), "sara", "IDE insert", "11", QVariant() });
        program.exec(insert, { stamp(first, 10), "sara", "Answer update", "11", QVariant() });
        program.exec(insert, { stamp(first.addDays(1), 9), "reza", "IDE insert", "12", QVariant() });
        program.exec(insert, { stamp(first.addDays(1), 23), "reza", "CSV export", QVariant(), "3 rows, without names" });
        window = std::make_unique<AuditWindow>(program.database(), program.messages(), program.fileDialogs());
        window->setLayoutDirection(Qt::RightToLeft);
        window->show();
    }
    static QString stamp(const QDate& day, int hour) { return AuditTrail::stamp(day.startOfDay().addSecs(hour * 3600)); }
    QStringList column(int column) const
    {
        QStringList texts;
        const QAbstractItemModel* lines = window->linesModel();
        for (int row = 0; row < lines->rowCount(); ++row)
            texts << lines->index(row, column).data().toString();
        return texts;
    }
    void choose(const char* combo, const QString& stored)
    {
        auto* box = Drive::find<QComboBox>(window.get(), QString::fromLatin1(combo));
        const int index = box->findData(stored);
        QVERIFY2(index >= 0, qPrintable(stored));
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
};

} // namespace

void TestAuditWindow::showsTheLinesNewestFirst()
{
    Trail trail;
    QAbstractItemModelTester tester(trail.window->linesModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(trail.column(AuditLinesModel::Who), QStringList({ "reza", "reza", "sara", "sara" }));
    QCOMPARE(trail.column(AuditLinesModel::When).last(), QStringLiteral("1405/01/01 09:00:00"));
    QCOMPARE(trail.column(AuditLinesModel::What),
        QStringList({ Msg::AuditCsvExport, Msg::AuditExamineeRegistered, Msg::AuditAnswersChanged, Msg::AuditExamineeRegistered }));
    QVERIFY(LayoutCheck::nothingCutOff(trail.window.get()));
}

void TestAuditWindow::filtersNarrowTheGrid_data()
{
    QTest::addColumn<QString>("who");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("counsellor") << "sara" << "" << "" << "" << "" << QStringList { "11", "11" };
    QTest::newRow("code, typed in Persian digits") << "" << "\u06F1\u06F2" << "" << "" << "" << QStringList { "12" };
    QTest::newRow("action") << "" << "" << "IDE insert" << "" << "" << QStringList { "12", "11" };
    QTest::newRow("from a day") << "" << "" << "" << "1405/01/02" << "" << QStringList { "", "12" };
    QTest::newRow("up to a day") << "" << "" << "" << "" << "1405/1/1" << QStringList { "11", "11" };
    QTest::newRow("one day, in Persian digits") << "" << "" << "" << "\u06F1\u06F4\u06F0\u06F5/\u06F0\u06F1/\u06F0\u06F2"
                                                << "1405/01/02" << QStringList { "", "12" };
    QTest::newRow("all together") << "reza" << "12" << "IDE insert" << "1405/01/01" << "1405/01/02" << QStringList { "12" };
    QTest::newRow("nothing left") << "sara" << "12" << "" << "" << "" << QStringList {};
}

void TestAuditWindow::filtersNarrowTheGrid()
{
    QFETCH(QString, who);
    QFETCH(QString, code);
    QFETCH(QString, what);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, codes);
    Trail trail;
    if (!who.isEmpty())
        trail.choose("ComboWho", who);
    if (!what.isEmpty())
        trail.choose("ComboWhat", what);
    Drive::find<QLineEdit>(trail.window.get(), QStringLiteral("TextCode"))->setText(code);
    Drive::find<QLineEdit>(trail.window.get(), QStringLiteral("TextFrom"))->setText(from);
    Drive::find<QLineEdit>(trail.window.get(), QStringLiteral("TextTo"))->setText(to);
    QVERIFY(Drive::click(trail.window.get(), QStringLiteral("CommandShow")));
    QCOMPARE(trail.column(AuditLinesModel::Code), codes);
    QVERIFY(trail.program.messages().boxes.isEmpty());
}

void TestAuditWindow::aWrongDateIsRefused()
{
    Trail trail;
    Drive::find<QLineEdit>(trail.window.get(), QStringLiteral("TextFrom"))->setText(QStringLiteral("1405/12/31"));
    QVERIFY(!trail.window->applyFilter());
    QCOMPARE(trail.program.messages().lastText(), Msg::AuditDateWrong);
    QCOMPARE(trail.window->linesModel()->rowCount(), 4);
}

void TestAuditWindow::exportWritesTheListedLines()
{
    Trail trail;
    trail.choose("ComboWho", QStringLiteral("reza"));
    const QString path = QDir(trail.program.folder()).filePath(QStringLiteral("trail.csv"));
    trail.program.fileDialogs().names << path;
    QVERIFY(Drive::click(trail.window.get(), QStringLiteral("CommandExport")));
    QCOMPARE(trail.program.messages().lastText(), Msg::AuditExportDone);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 4); // header, two lines of reza, the empty rest
    QVERIFY(lines.at(1).startsWith(QStringLiteral("1405/01/02 23:00:00,")));
    QVERIFY(lines.at(1).endsWith(QStringLiteral(",reza,%1,CSV export,,\"3 rows, without names\"").arg(Msg::AuditCsvExport)));
    QVERIFY(lines.at(2).contains(QStringLiteral(",reza,%1,IDE insert,12,").arg(Msg::AuditExamineeRegistered)));
    // The export is in the trail too.
    QCOMPARE(trail.program.scalar(QStringLiteral("SELECT Detail FROM AuditLog WHERE What = 'trail export'")).toString(),
        QStringLiteral("2 lines"));
}

void TestAuditWindow::onlyTheHeadReadsTheServersTrail()
{
    T35_SKIP_WITHOUT_SERVER();
    TestProgram program(TestProgram::OnServer);
    QVERIFY(ServerRights::setUp(program.database(), QString()).isNull());
    const ServerAddress server = *program.server();
    QStringList logins;
    std::vector<std::unique_ptr<Database>> as;
    for (const auto& [suffix, group] :
        { std::pair { "head", ServerRights::HeadRole }, std::pair { "counsellor", ServerRights::CounsellorRole } }) {
        const QString name = server.database + QLatin1Char('_') + QLatin1String(suffix);
        QVERIFY(TestServer::execAsAdmin(QStringLiteral("CREATE ROLE \"%1\" LOGIN IN ROLE \"%2\"").arg(name, group)).isNull());
        logins << name;
        ServerAddress login = server;
        login.user = name;
        as.push_back(Database::onServer(login));
        QVERIFY(as.back()->open().ok());
    }
    QVERIFY(as.at(1)->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('31')")));

    // The head sees the counsellor's registration, as the server wrote it.
    QVERIFY(Rights::may(*as.at(0), Rights::Act::ReadAuditTrail));
    {
        AuditWindow window(*as.at(0), program.messages(), program.fileDialogs());
        QAbstractItemModel* lines = window.linesModel();
        QCOMPARE(lines->rowCount(), 1);
        QCOMPARE(lines->index(0, AuditLinesModel::Who).data().toString(), logins.at(1));
        QCOMPARE(lines->index(0, AuditLinesModel::What).data().toString(), Msg::AuditExamineeRegistered);
        QVERIFY(!lines->index(0, AuditLinesModel::When).data().toString().isEmpty());
        // The server's times compare with the days typed as the file's do.
        auto* from = Drive::find<QLineEdit>(&window, QStringLiteral("TextFrom"));
        from->setText(SolarHijriDate(QDate::currentDate().addDays(1)));
        QVERIFY(window.applyFilter());
        QCOMPARE(lines->rowCount(), 0);
        from->setText(SolarHijriDate(QDate::currentDate()));
        QVERIFY(window.applyFilter());
        QCOMPARE(lines->rowCount(), 1);
        QVERIFY(program.messages().boxes.isEmpty());
    }
    // A counsellor is refused by the program, and by the server when the window reads anyway.
    QVERIFY(!Rights::may(*as.at(1), Rights::Act::ReadAuditTrail));
    {
        AuditWindow window(*as.at(1), program.messages(), program.fileDialogs());
        QVERIFY(window.listed()->readFailed());
        QCOMPARE(window.linesModel()->rowCount(), 0);
        QCOMPARE(program.messages().boxes.size(), 1);
    }
    as.clear();
    for (const QString& name : std::as_const(logins))
        TestServer::execAsAdmin(QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(name));
}

QTEST_MAIN(TestAuditWindow)
#include "TestAuditWindow.moc"
