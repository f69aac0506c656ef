#include "data/HomeFigures.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"

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

QTEST_MAIN(TestHomeFigures)
#include "TestHomeFigures.moc"
