#include "data/Database.h"
#include "data/HomeFigures.h"
#include "data/TableCursor.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QStringList everyItem(const QString& value)
{
    QStringList answers;
    for (int item = 0; item < 35; ++item)
        answers << value;
    return answers;
}

} // namespace

class TestHomeFigures : public QObject {
    Q_OBJECT
private slots:
    void counts_data();
    void counts();
    void recentAreTheLastRegisteredNewestFirst_data();
    void recentAreTheLastRegisteredNewestFirst();
    void detailsOfTheRecent();
    void aFileHeldByAnotherProgramIsSaid();
    void answeredFollowTheAnswersAsTheyAreWritten_data();
    void answeredFollowTheAnswersAsTheyAreWritten();
    void readerFollowsEveryWriter_data();
    void readerFollowsEveryWriter();
    void readerOutlivesAnEndedServerConnection();
    void anyAnswerRowReadWithACursor();
};

void TestHomeFigures::counts_data()
{
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("complete");
    QTest::addColumn<int>("partial"); // of the registered, beyond the complete ones
    QTest::newRow("none") << 0 << 0 << 0;
    QTest::newRow("registered, none answered") << 3 << 0 << 0;
    QTest::newRow("one complete") << 3 << 1 << 0;
    QTest::newRow("unfinished ones are not answered") << 5 << 2 << 2;
    QTest::newRow("all complete") << 4 << 4 << 0;
}

void TestHomeFigures::counts()
{
    QFETCH(int, registered);
    QFETCH(int, complete);
    QFETCH(int, partial);
    TestProgram program;
    for (int i = 0; i < registered; ++i)
        program.addExaminee(QString::number(100 + i));
    for (int i = 0; i < complete; ++i)
        program.setAnswers(QString::number(100 + i), everyItem(QStringLiteral("3")));
    for (int i = complete; i < complete + partial; ++i) {
        QStringList answers = everyItem(QStringLiteral("2"));
        answers[34 - i] = QString(); // one item left unanswered, a different one each time
        program.setAnswers(QString::number(100 + i), answers);
    }
    const HomeFigures::Figures figures = HomeFigures::read(program.database(), 5);
    QVERIFY(figures.read);
    QCOMPARE(figures.registered, registered);
    QCOMPARE(figures.answered, complete);
}

void TestHomeFigures::recentAreTheLastRegisteredNewestFirst_data()
{
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("asked");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("none registered") << 0 << 5 << QStringList();
    QTest::newRow("fewer than asked") << 2 << 5 << QStringList { "c2", "c1" };
    QTest::newRow("as many as asked") << 3 << 3 << QStringList { "c3", "c2", "c1" };
    QTest::newRow("more than asked") << 7 << 3 << QStringList { "c7", "c6", "c5" };
    QTest::newRow("none asked") << 4 << 0 << QStringList();
}

void TestHomeFigures::recentAreTheLastRegisteredNewestFirst()
{
    QFETCH(int, registered);
    QFETCH(int, asked);
    QFETCH(QStringList, codes);
    TestProgram program;
    for (int i = 1; i <= registered; ++i)
        program.addExaminee(QStringLiteral("c%1").arg(i));
    const HomeFigures::Figures figures = HomeFigures::read(program.database(), asked);
    QVERIFY(figures.read);
    QStringList shown;
    for (const HomeFigures::Recent& recent : figures.recent)
        shown << recent.code;
    QCOMPARE(shown, codes);
}

void TestHomeFigures::detailsOfTheRecent()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("7"));
    program.exec(QStringLiteral("UPDATE IDE SET FName = ?, LName = ?, Date = ? WHERE Code = '7'"),
        { QStringLiteral("مريم"), QStringLiteral("احمدي"), QStringLiteral("1405/09/12") });
    const HomeFigures::Figures figures = HomeFigures::read(program.database(), 5);
    QCOMPARE(figures.recent.size(), 1);
    QCOMPARE(figures.recent[0].code, QStringLiteral("7"));
    QCOMPARE(figures.recent[0].firstName, QStringLiteral("مريم"));
    QCOMPARE(figures.recent[0].familyName, QStringLiteral("احمدي"));
    QCOMPARE(figures.recent[0].date, QStringLiteral("1405/09/12"));
}

void TestHomeFigures::aFileHeldByAnotherProgramIsSaid()
{
    TestProgram program;
    if (program.onServer())
        QSKIP("a file held by another program is the data file's case");
    program.addExaminee(QStringLiteral("1"));
    program.database().setLockWait(0);
    {
        LockHolder holder(program.database().filePath());
        QVERIFY(holder.isHolding());
        const HomeFigures::Figures figures = HomeFigures::read(program.database(), 5);
        QVERIFY(!figures.read);
        QVERIFY(figures.busy);
        QVERIFY(!figures.error.isEmpty());
    }
    const HomeFigures::Figures figures = HomeFigures::read(program.database(), 5);
    QVERIFY(figures.read);
    QCOMPARE(figures.registered, 1);
}

void TestHomeFigures::answeredFollowTheAnswersAsTheyAreWritten_data()
{
    // Steps after the figures were read once, each "what:code": the answers written by the program's table cursor
    // ("complete", "partial", "clear" one item of a complete row, "remove" the row, "removeAll" rows by a filter,
    // "add" a new examinee's complete row) or by another connection to the file ("other").
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("answered");
    QTest::newRow("nothing written") << QStringList() << 1;
    QTest::newRow("an answer completes a row") << QStringList { "complete:2" } << 2;
    QTest::newRow("a row stays partial") << QStringList { "partial:2" } << 1;
    QTest::newRow("an item emptied") << QStringList { "clear:1" } << 0;
    QTest::newRow("completed, then emptied") << QStringList { "complete:2", "clear:2" } << 1;
    QTest::newRow("a complete row removed") << QStringList { "remove:1" } << 0;
    QTest::newRow("a partial row removed") << QStringList { "remove:3" } << 1;
    QTest::newRow("rows removed by a filter") << QStringList { "removeAll:1" } << 0;
    QTest::newRow("a new complete row") << QStringList { "add:9" } << 2;
    QTest::newRow("written by another connection") << QStringList { "other:2" } << 2;
    QTest::newRow("several") << QStringList { "complete:2", "complete:3", "remove:1", "add:9", "clear:9" } << 2;
}

void TestHomeFigures::answeredFollowTheAnswersAsTheyAreWritten()
{
    QFETCH(QStringList, steps);
    QFETCH(int, answered);
    TestProgram program;
    if (program.onServer() && steps.join(QString()).contains(QLatin1String("other")))
        QSKIP("another program on the same data file");
    for (const char* code : { "1", "2", "3" })
        program.addExaminee(QString::fromLatin1(code));
    program.setAnswers(QStringLiteral("1"), everyItem(QStringLiteral("3")));
    program.setAnswers(QStringLiteral("3"), everyItem(QStringLiteral("2")).mid(0, 20));
    Database& db = program.database();
    QCOMPARE(HomeFigures::read(db, 5).answered, 1);

    for (const QString& step : steps) {
        const QString what = step.section(QLatin1Char(':'), 0, 0);
        const QString code = step.section(QLatin1Char(':'), 1);
        if (what == QLatin1String("other")) {
            std::unique_ptr<Database> other = Database::atFile(db.filePath());
            QVERIFY(other->open().ok());
            QSqlQuery q(other->connection());
            QStringList sets;
            for (int item = 1; item <= 35; ++item)
                sets << QStringLiteral("\"%1\" = '4'").arg(item);
            QVERIFY(q.exec(QStringLiteral("UPDATE \"Answer\" SET %1 WHERE \"Code\" = '%2'")
                               .arg(sets.join(QStringLiteral(", ")), code)));
            continue;
        }
        TableCursor answers(db, QStringLiteral("Answer"));
        if (what == QLatin1String("add")) {
            answers.addNew();
            answers.setField(QStringLiteral("Code"), code);
        } else {
            QVERIFY(answers.setFilter(QStringLiteral("Code"), code));
            QVERIFY(answers.hasCurrent());
        }
        if (what == QLatin1String("remove")) {
            QVERIFY(answers.remove());
            continue;
        }
        if (what == QLatin1String("removeAll")) {
            QVERIFY(answers.removeAll());
            continue;
        }
        const int items = what == QLatin1String("partial") ? 34 : 35;
        for (int item = 1; item <= items; ++item)
            answers.setField(
                QString::number(item), what == QLatin1String("clear") && item == 7 ? QString() : QStringLiteral("1"));
        QVERIFY(answers.update());
    }

    const HomeFigures::Figures figures = HomeFigures::read(db, 5);
    QVERIFY(figures.read);
    QCOMPARE(figures.answered, answered);
    // As a count over the whole table finds them.
    QStringList every;
    for (int item = 1; item <= 35; ++item)
        every << QStringLiteral("\"%1\" <> ''").arg(item);
    QCOMPARE(
        program.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Answer\" WHERE ") + every.join(QStringLiteral(" AND ")))
            .toInt(),
        answered);
}

void TestHomeFigures::readerFollowsEveryWriter_data()
{
    // Written after a first reading, each "what:code": a registration through a table cursor ("register"), a
    // complete answer row ("complete"), an item emptied ("clear"), an examinee's rows removed ("remove"); each
    // through the program's own connection, never the reader's.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("answered");
    QTest::addColumn<QString>("newest");
    QTest::newRow("nothing written") << QStringList() << 3 << 1 << "3";
    QTest::newRow("a registration") << QStringList { "register:9" } << 4 << 1 << "9";
    QTest::newRow("answers completed") << QStringList { "complete:2", "complete:3" } << 3 << 3 << "3";
    QTest::newRow("an item emptied") << QStringList { "clear:1" } << 3 << 0 << "3";
    QTest::newRow("the newest removed") << QStringList { "remove:3" } << 2 << 1 << "2";
    QTest::newRow("a complete one removed") << QStringList { "remove:1" } << 2 << 0 << "3";
    QTest::newRow("several") << QStringList { "register:9", "complete:9", "remove:1", "complete:2" } << 3 << 2 << "9";
}

void TestHomeFigures::readerFollowsEveryWriter()
{
    QFETCH(QStringList, steps);
    QFETCH(int, registered);
    QFETCH(int, answered);
    QFETCH(QString, newest);
    TestProgram program;
    for (const char* code : { "1", "2", "3" })
        program.addExaminee(QString::fromLatin1(code));
    program.setAnswers(QStringLiteral("1"), everyItem(QStringLiteral("3")));
    HomeFigures::Reader reader(program.database(), 5);
    QVERIFY(!reader.latest());
    QSignalSpy read(&reader, &HomeFigures::Reader::figuresRead);
    reader.request();
    QVERIFY(read.wait());
    QVERIFY(reader.latest() && reader.latest()->read);
    QCOMPARE(reader.latest()->registered, 3);

    for (const QString& step : steps) {
        const QString what = step.section(QLatin1Char(':'), 0, 0);
        const QString code = step.section(QLatin1Char(':'), 1);
        if (what == QLatin1String("register")) {
            program.addExaminee(code);
        } else if (what == QLatin1String("complete")) {
            program.setAnswers(code, everyItem(QStringLiteral("2")));
        } else if (what == QLatin1String("clear")) {
            TableCursor answers(program.database(), QStringLiteral("Answer"));
            QVERIFY(answers.setFilter(QStringLiteral("Code"), code));
            answers.setField(QStringLiteral("7"), QString());
            QVERIFY(answers.update());
        } else {
            QVERIFY(program.exec(QStringLiteral("DELETE FROM IDE WHERE Code = ?"), { code }));
            QVERIFY(program.exec(QStringLiteral("DELETE FROM Answer WHERE Code = ?"), { code }));
        }
    }
    // Asked again while a reading may be under way: a reading made after the last write still comes.
    reader.request();
    reader.request();
    QTRY_VERIFY(reader.latest()->registered == registered && reader.latest()->answered == answered);
    const HomeFigures::Figures figures = *reader.latest();
    QCOMPARE(figures.registered, registered);
    QCOMPARE(figures.answered, answered);
    QCOMPARE(figures.recent.constFirst().code, newest);
    QCOMPARE(figures.answered, HomeFigures::read(program.database(), 5).answered);
}

// The reader keeps its server connection between readings; one the server ended meanwhile is made again.
void TestHomeFigures::readerOutlivesAnEndedServerConnection()
{
    TestProgram program;
    if (!program.onServer())
        QSKIP("the server's connections");
    program.addExaminee(QStringLiteral("1"));
    HomeFigures::Reader reader(program.database(), 5);
    QSignalSpy read(&reader, &HomeFigures::Reader::figuresRead);
    reader.request();
    QVERIFY(read.wait());
    QVERIFY(reader.latest());
    QVERIFY(program.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                        "WHERE datname = current_database() AND pid <> pg_backend_pid()")));
    program.addExaminee(QStringLiteral("2"));
    reader.request();
    QVERIFY(read.wait());
    QVERIFY2(read.last().constFirst().value<HomeFigures::Figures>().read, "the reading failed");
    QCOMPARE(reader.latest()->registered, 2);
}

void TestHomeFigures::anyAnswerRowReadWithACursor()
{
    TestProgram program;
    program.exec(QStringLiteral("UPDATE Theme SET Name = 'Mehr'"));
    TableCursor theme(program.database(), QStringLiteral("Theme"), TableCursor::Unread {});
    QCOMPARE(HomeFigures::reloadWithAnyAnswerRow(theme), std::optional<bool>(false));
    QCOMPARE(theme.field(QStringLiteral("Name")), QStringLiteral("Mehr"));
    program.addExaminee(QStringLiteral("12"));
    QCOMPARE(HomeFigures::reloadWithAnyAnswerRow(theme), std::optional<bool>(true));
    // Without a row of the cursor's the answers are still looked at.
    program.exec(QStringLiteral("DELETE FROM Theme"));
    QCOMPARE(HomeFigures::reloadWithAnyAnswerRow(theme), std::optional<bool>(true));
    QVERIFY(!theme.hasCurrent());
    program.exec(QStringLiteral("DELETE FROM Answer"));
    QCOMPARE(HomeFigures::reloadWithAnyAnswerRow(theme), std::optional<bool>(false));
}

QTEST_MAIN(TestHomeFigures)
#include "TestHomeFigures.moc"
