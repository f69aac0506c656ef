#include "questionnaire/AnswerSheet.h"

#include "support/LockHolder.h"
#include "support/TestProgram.h"

#include <QElapsedTimer>
#include <QTest>

#include <set>

namespace {

const QString examinee = QStringLiteral("100");
const QString other = QStringLiteral("200");

// Written out here on their own, so that a slip in the program shows up as a failure.
const std::set<int> reversedItems = {3, 5, 6, 7, 10, 13, 14, 18, 19, 21, 22, 23, 26, 27, 28, 29, 32, 33, 34};

// The keyed score of a choice: direct items store the option's position, reversed items its mirror.
QString keyedScore(int item, int option)
{
    return QString::number(reversedItems.count(item) ? 6 - option : option);
}

QString statusName(AnswerSheet::Opened status)
{
    switch (status) {
    case AnswerSheet::Opened::Ready:
        return QStringLiteral("Ready");
    case AnswerSheet::Opened::NotFound:
        return QStringLiteral("NotFound");
    case AnswerSheet::Opened::NothingTyped:
        return QStringLiteral("NothingTyped");
    case AnswerSheet::Opened::Failed:
        return QStringLiteral("Failed");
    }
    return QString();
}

// Ways a write is refused, each set up on the test's program and taken away again.
enum class Obstacle { Trigger, ReadOnly, HeldByAnother, RowGone };

class Blocker {
public:
    Blocker(TestProgram& p, Obstacle obstacle, const QString& table)
        : m_p(p)
        , m_obstacle(obstacle)
    {
        switch (obstacle) {
        case Obstacle::Trigger:
            m_p.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON \"%1\" BEGIN SELECT RAISE(ABORT, "
                                    "'refused by a trigger'); END")
                         .arg(table));
            break;
        case Obstacle::ReadOnly:
            m_p.exec(QStringLiteral("PRAGMA query_only = ON"));
            break;
        case Obstacle::HeldByAnother:
            m_p.database().setLockWait(100);
            m_lock = std::make_unique<LockHolder>(m_p.database().filePath());
            break;
        case Obstacle::RowGone:
            m_p.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
            break;
        }
    }

    void remove()
    {
        switch (m_obstacle) {
        case Obstacle::Trigger:
            m_p.exec(QStringLiteral("DROP TRIGGER refuse"));
            break;
        case Obstacle::ReadOnly:
            m_p.exec(QStringLiteral("PRAGMA query_only = OFF"));
            break;
        case Obstacle::HeldByAnother:
            m_lock.reset();
            // Statements give up at once for a while after one waited in vain.
            QTest::qWait(150);
            break;
        case Obstacle::RowGone:
            break;
        }
    }

private:
    TestProgram& m_p;
    Obstacle m_obstacle;
    std::unique_ptr<LockHolder> m_lock;
};

void addObstacleRows()
{
    QTest::addColumn<Obstacle>("obstacle");
    QTest::addColumn<bool>("busy");
    QTest::newRow("a trigger refuses the update") << Obstacle::Trigger << false;
    QTest::newRow("the file is read-only") << Obstacle::ReadOnly << false;
    QTest::newRow("another program holds the file") << Obstacle::HeldByAnother << true;
}

} // namespace

Q_DECLARE_METATYPE(Obstacle)

class TestAnswerSheet : public QObject {
    Q_OBJECT

private slots:
    void openFindsTheCodeHoweverTyped_data();
    void openFindsTheCodeHoweverTyped();
    void anAnswerRowMakesTheExaminee_data();
    void anAnswerRowMakesTheExaminee();
    void heldFileIsFailedNeverNotFound();
    void anExamineeNotFoundLeavesNoneOpen();
    void statementIsReadEachTime();
    void anItemIsReadWithTheAnswers();
    void recordStoresTheKeyedScore_data();
    void recordStoresTheKeyedScore();
    void recordRefusesWhatIsNoChoice_data();
    void recordRefusesWhatIsNoChoice();
    void failedRecordStoresNothing_data();
    void failedRecordStoresNothing();
    void storedValuesAndTheCount_data();
    void storedValuesAndTheCount();
    void answersAreReadAgainOnlyWhenAsked();
    void saveAndFinishStoresTheCorrectedDetails_data();
    void saveAndFinishStoresTheCorrectedDetails();
    void failedSaveStoresNothing_data();
    void failedSaveStoresNothing();
    void choicesStoredTogether_data();
    void choicesStoredTogether();
    void manyChoicesStoredTogether();
};

void TestAnswerSheet::openFindsTheCodeHoweverTyped_data()
{
    QTest::addColumn<QString>("registered");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("status");

    QTest::newRow("same code") << "100" << "100" << "Ready";
    QTest::newRow("blank before") << "100" << " 100" << "Ready";
    QTest::newRow("blank after") << "100" << "100 " << "Ready";
    QTest::newRow("Persian digits") << "100" << QStringLiteral("۱۰۰") << "Ready";
    QTest::newRow("Arabic-Indic digits") << "100" << QStringLiteral("\u0661\u0660\u0660") << "Ready";
    QTest::newRow("invisible marks") << "100" << QStringLiteral("\u200F1\u200B00\u200E") << "Ready";
    QTest::newRow("other case") << "abc" << "ABC" << "NotFound";
    QTest::newRow("leading zero") << "100" << "0100" << "NotFound";
    QTest::newRow("apostrophe") << "O'Neil" << "O'Neil" << "Ready";
    // Written by a version that kept codes as typed: found by typing it the same way.
    QTest::newRow("stored with a Persian digit") << QStringLiteral("کد۱") << QStringLiteral("کد۱") << "Ready";
    QTest::newRow("unknown") << "100" << "101" << "NotFound";
    QTest::newRow("empty") << "100" << "" << "NothingTyped";
    QTest::newRow("marks only") << "100" << QStringLiteral("\u200F \u200B") << "NothingTyped";
}

void TestAnswerSheet::openFindsTheCodeHoweverTyped()
{
    QFETCH(QString, registered);
    QFETCH(QString, typed);
    QFETCH(QString, status);
    TestProgram p;
    p.addExaminee(other, QStringLiteral("Reza"));
    p.addExaminee(registered, QStringLiteral("Sara"));
    AnswerSheet sheet(p.database());
    const AnswerSheet::Opening opening = sheet.open(typed);
    QCOMPARE(statusName(opening.status), status);
    QVERIFY(opening.ok);
    QCOMPARE(sheet.isOpen(), status == QLatin1String("Ready"));
    if (!sheet.isOpen())
        return;
    QCOMPARE(opening.code, registered);
    QCOMPARE(sheet.detail(QStringLiteral("Code")), registered);
    QCOMPARE(sheet.detail(QStringLiteral("FName")), QStringLiteral("Sara"));
    // What is recorded goes to that examinee alone.
    QVERIFY(sheet.record(1, 2).ok);
    QCOMPARE(p.answer(registered, 1), QStringLiteral("2"));
    QCOMPARE(p.answer(other, 1), QString());
}

void TestAnswerSheet::anAnswerRowMakesTheExaminee_data()
{
    QTest::addColumn<bool>("answerRow");
    QTest::addColumn<bool>("ideRow");
    QTest::addColumn<QString>("status");

    QTest::newRow("both rows") << true << true << "Ready";
    QTest::newRow("answers without details") << true << false << "Ready";
    QTest::newRow("details without answers") << false << true << "NotFound";
}

void TestAnswerSheet::anAnswerRowMakesTheExaminee()
{
    QFETCH(bool, answerRow);
    QFETCH(bool, ideRow);
    QFETCH(QString, status);
    TestProgram p;
    if (answerRow)
        p.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES (?)"), {examinee});
    if (ideRow)
        p.exec(QStringLiteral("INSERT INTO IDE (Code, FName) VALUES (?, 'Sara')"), {examinee});
    AnswerSheet sheet(p.database());
    QCOMPARE(statusName(sheet.open(examinee).status), status);
    QCOMPARE(sheet.hasDetails(), answerRow && ideRow);
    QCOMPARE(sheet.detail(QStringLiteral("FName")), answerRow && ideRow ? QStringLiteral("Sara") : QString());
}

void TestAnswerSheet::heldFileIsFailedNeverNotFound()
{
    TestProgram p;
    p.addExaminee(examinee);
    constexpr int wait = 300;
    p.database().setLockWait(wait);
    AnswerSheet sheet(p.database());
    auto other = std::make_unique<LockHolder>(p.database().filePath());

    QElapsedTimer clock;
    clock.start();
    const AnswerSheet::Opening opening = sheet.open(examinee);
    QCOMPARE(statusName(opening.status), QStringLiteral("Failed"));
    QVERIFY(!opening.ok);
    QVERIFY(opening.busy);
    QVERIFY(!opening.error.isEmpty());
    QVERIFY(!sheet.isOpen());
    // Held up once for the lock, not once for every statement.
    QVERIFY2(clock.elapsed() < 3 * wait, qPrintable(QString::number(clock.elapsed())));

    other.reset();
    QTest::qWait(wait);
    QCOMPARE(statusName(sheet.open(examinee).status), QStringLiteral("Ready"));
}

void TestAnswerSheet::anExamineeNotFoundLeavesNoneOpen()
{
    TestProgram p;
    p.addExaminee(examinee);
    p.setAnswers(examinee, {QStringLiteral("4")});
    AnswerSheet sheet(p.database());
    QVERIFY(!sheet.record(1, 1).ok);
    QVERIFY(!sheet.saveAndFinish({}).ok);
    QCOMPARE(statusName(sheet.open(examinee).status), QStringLiteral("Ready"));
    QCOMPARE(sheet.answeredCount(), 1);

    // A second look-up that finds no one leaves no examinee to write to, not the first one.
    QCOMPARE(statusName(sheet.open(QStringLiteral("999")).status), QStringLiteral("NotFound"));
    QVERIFY(!sheet.isOpen());
    QVERIFY(!sheet.hasDetails());
    QCOMPARE(sheet.answeredCount(), 0);
    QCOMPARE(sheet.storedOption(1), 0);
    const AnswerSheet::Outcome recorded = sheet.record(1, 1);
    QVERIFY(!recorded.ok);
    QVERIFY(!recorded.error.isEmpty());
    QVERIFY(!sheet.saveAndFinish({{QStringLiteral("FName"), QStringLiteral("Sara")}}).ok);
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("4"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("FName")), QStringLiteral("Ali"));
}

void TestAnswerSheet::statementIsReadEachTime()
{
    TestProgram p;
    AnswerSheet sheet(p.database());
    for (int item : {1, 17, 35}) {
        const AnswerSheet::Statement read = sheet.statement(item);
        QVERIFY(read.ok);
        QVERIFY(!read.text.isEmpty());
        QCOMPARE(read.text, p.scalar(QStringLiteral("SELECT QUs FROM QU WHERE ID = ?"), {item}).toString());
    }
    // Changed behind the sheet's back.
    const QString changed = QStringLiteral("جمله تازه");
    p.exec(QStringLiteral("UPDATE QU SET QUs = ? WHERE ID = '3'"), {changed});
    QCOMPARE(sheet.statement(3).text, changed);
    // An item the file has no statement for reads as empty, which is no failure.
    const AnswerSheet::Statement none = sheet.statement(36);
    QVERIFY(none.ok);
    QVERIFY(none.text.isEmpty());

    p.database().setLockWait(100);
    LockHolder holder(p.database().filePath());
    const AnswerSheet::Statement held = sheet.statement(3);
    QVERIFY(!held.ok);
    QVERIFY(held.busy);
    QVERIFY(!held.error.isEmpty());
}

void TestAnswerSheet::anItemIsReadWithTheAnswers()
{
    TestProgram p;
    p.addExaminee(examinee);
    AnswerSheet sheet(p.database());
    QVERIFY(sheet.open(examinee).ok);
    // Changed behind the sheet's back: the statement and the answer as they are now.
    const QString changed = QStringLiteral("جمله تازه");
    p.exec(QStringLiteral("UPDATE QU SET QUs = ? WHERE ID = '3'"), {changed});
    p.exec(QStringLiteral("UPDATE Answer SET \"3\" = '1' WHERE Code = ?"), {examinee});
    const AnswerSheet::Statement read = sheet.readItem(3);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.text, changed);
    QCOMPARE(sheet.storedOption(3), 5);
    QCOMPARE(sheet.readItem(36).text, QString());

    // An examinee deleted meanwhile has no answers; the statement is still read.
    p.exec(QStringLiteral("DELETE FROM Answer"));
    const AnswerSheet::Statement gone = sheet.readItem(3);
    QVERIFY(gone.ok);
    QCOMPARE(gone.text, changed);
    QCOMPARE(sheet.answeredCount(), 0);
}

void TestAnswerSheet::recordStoresTheKeyedScore_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("stored");

    // The option table: Option1..Option5 store 1..5 on a direct item and 5..1 on a reversed one.
    const char* direct[] = {"1", "2", "3", "4", "5"};
    const char* reversed[] = {"5", "4", "3", "2", "1"};
    for (int option = 1; option <= 5; ++option) {
        QTest::addRow("item 1 direct, Option%d", option) << 1 << option << QString(direct[option - 1]);
        QTest::addRow("item 3 reversed, Option%d", option) << 3 << option << QString(reversed[option - 1]);
        QTest::addRow("item 35 direct, Option%d", option) << 35 << option << QString(direct[option - 1]);
        QTest::addRow("item 34 reversed, Option%d", option) << 34 << option << QString(reversed[option - 1]);
    }
}

void TestAnswerSheet::recordStoresTheKeyedScore()
{
    QFETCH(int, item);
    QFETCH(int, option);
    QFETCH(QString, stored);
    TestProgram p;
    p.addExaminee(examinee);
    AnswerSheet sheet(p.database());
    QVERIFY(sheet.open(examinee).ok);
    QCOMPARE(sheet.answeredCount(), 0);

    const AnswerSheet::Outcome recorded = sheet.record(item, option);
    QVERIFY2(recorded.ok, qPrintable(recorded.error));
    QCOMPARE(p.answer(examinee, item), stored);
    QCOMPARE(sheet.storedOption(item), option);
    QCOMPARE(sheet.answeredCount(), 1);
    // Read back from the file, the score is the same choice.
    QVERIFY(sheet.readAnswers().ok);
    QCOMPARE(sheet.storedOption(item), option);

    // Another choice on the same item replaces it and is not counted twice.
    const int another = option % 5 + 1;
    QVERIFY(sheet.record(item, another).ok);
    QCOMPARE(p.answer(examinee, item), keyedScore(item, another));
    QCOMPARE(sheet.answeredCount(), 1);
}

void TestAnswerSheet::recordRefusesWhatIsNoChoice_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("option");

    QTest::newRow("item 0") << 0 << 1;
    QTest::newRow("item 36") << 36 << 1;
    QTest::newRow("option 0") << 1 << 0;
    QTest::newRow("option 6") << 3 << 6;
    QTest::newRow("option -1") << 3 << -1;
}

void TestAnswerSheet::recordRefusesWhatIsNoChoice()
{
    QFETCH(int, item);
    QFETCH(int, option);
    TestProgram p;
    p.addExaminee(examinee);
    AnswerSheet sheet(p.database());
    QVERIFY(sheet.open(examinee).ok);
    const AnswerSheet::Outcome recorded = sheet.record(item, option);
    QVERIFY(!recorded.ok);
    QVERIFY(!recorded.error.isEmpty());
    for (int i = 1; i <= 35; ++i)
        QCOMPARE(p.answer(examinee, i), QString());
    QCOMPARE(sheet.answeredCount(), 0);
}

void TestAnswerSheet::failedRecordStoresNothing_data()
{
    addObstacleRows();
    QTest::newRow("the row is gone") << Obstacle::RowGone << false;
}

void TestAnswerSheet::failedRecordStoresNothing()
{
    QFETCH(Obstacle, obstacle);
    QFETCH(bool, busy);
    TestProgram p;
    p.addExaminee(examinee);
    p.setAnswers(examinee, {QStringLiteral("4")});
    AnswerSheet sheet(p.database());
    QVERIFY(sheet.open(examinee).ok);

    Blocker blocker(p, obstacle, QStringLiteral("Answer"));
    // An answered item keeps its answer, an unanswered one stays unanswered, and the count does not move.
    for (int item : {1, 2}) {
        const AnswerSheet::Outcome recorded = sheet.record(item, 2);
        QVERIFY(!recorded.ok);
        QVERIFY(!recorded.error.isEmpty());
        QCOMPARE(recorded.busy, busy);
        QCOMPARE(sheet.storedOption(item), item == 1 ? 4 : 0);
        QCOMPARE(sheet.answeredCount(), 1);
    }
    blocker.remove();
    if (obstacle == Obstacle::RowGone) {
        QCOMPARE(p.rowCount(QStringLiteral("Answer")), 0);
        return;
    }
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("4"));
    QCOMPARE(p.answer(examinee, 2), QString());

    // Nothing was left half-stored to go out with the next write.
    QVERIFY(sheet.record(3, 1).ok);
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("4"));
    QCOMPARE(p.answer(examinee, 2), QString());
    QCOMPARE(p.answer(examinee, 3), keyedScore(3, 1));
    QCOMPARE(sheet.answeredCount(), 2);
}

void TestAnswerSheet::storedValuesAndTheCount_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QList<int>>("options"); // the option shown for items 1, 2, 3, ...
    QTest::addColumn<int>("count");

    QTest::newRow("nothing answered") << QStringList() << QList<int>{0, 0, 0} << 0;
    // Item 3 is reversed: its stored 5 is Option1.
    QTest::newRow("keyed scores") << QStringList{"1", "4", "5"} << QList<int>{1, 4, 1} << 3;
    QTest::newRow("gaps") << QStringList{"", "2", ""} << QList<int>{0, 2, 0} << 1;
    // Scoring refuses these as damaged, so they show as unanswered and are not counted.
    QTest::newRow("damaged values") << QStringList{"7", " 2", "2.0", "0", "x", QStringLiteral("۲")}
                                    << QList<int>{0, 0, 0, 0, 0, 0} << 0;
    QTest::newRow("every item") << QStringList(35, QStringLiteral("3")) << QList<int>(35, 3) << 35;
}

void TestAnswerSheet::storedValuesAndTheCount()
{
    QFETCH(QStringList, stored);
    QFETCH(QList<int>, options);
    QFETCH(int, count);
    TestProgram p;
    p.addExaminee(examinee);
    p.addExaminee(other);
    p.setAnswers(examinee, stored);
    p.setAnswers(other, QStringList(35, QStringLiteral("1")));
    AnswerSheet sheet(p.database());
    QVERIFY(sheet.open(examinee).ok);
    for (int i = 0; i < options.size(); ++i)
        QCOMPARE(sheet.storedOption(i + 1), options.at(i));
    QCOMPARE(sheet.answeredCount(), count);
    // Looking changes nothing in the file.
    for (int i = 0; i < stored.size(); ++i)
        QCOMPARE(p.answer(examinee, i + 1), stored.at(i));
}

void TestAnswerSheet::answersAreReadAgainOnlyWhenAsked()
{
    TestProgram p;
    p.addExaminee(examinee);
    AnswerSheet sheet(p.database());
    QVERIFY(sheet.open(examinee).ok);
    QVERIFY(sheet.record(2, 1).ok);

    // Another copy of the program writes behind the sheet's back.
    p.exec(QStringLiteral("UPDATE Answer SET \"3\" = '1', \"2\" = '4' WHERE Code = ?"), {examinee});
    QCOMPARE(sheet.storedOption(2), 1);
    QCOMPARE(sheet.storedOption(3), 0);
    QCOMPARE(sheet.answeredCount(), 1);
    QVERIFY(sheet.readAnswers().ok);
    QCOMPARE(sheet.storedOption(2), 4);
    QCOMPARE(sheet.storedOption(3), 5);
    QCOMPARE(sheet.answeredCount(), 2);

    // A read that fails is said, and the sheet then knows no answers rather than old ones.
    p.database().setLockWait(100);
    {
        LockHolder holder(p.database().filePath());
        const AnswerSheet::Outcome read = sheet.readAnswers();
        QVERIFY(!read.ok);
        QVERIFY(read.busy);
        QCOMPARE(sheet.answeredCount(), 0);
    }
    QTest::qWait(150);
    // A choice made then reads the answers again before it writes.
    QVERIFY(sheet.record(4, 2).ok);
    QCOMPARE(p.answer(examinee, 4), QStringLiteral("2"));
    QCOMPARE(sheet.storedOption(2), 4);
    QCOMPARE(sheet.answeredCount(), 3);
}

void TestAnswerSheet::saveAndFinishStoresTheCorrectedDetails_data()
{
    QTest::addColumn<bool>("ideRow");
    QTest::newRow("with details") << true;
    QTest::newRow("answers without details") << false;
}

void TestAnswerSheet::saveAndFinishStoresTheCorrectedDetails()
{
    QFETCH(bool, ideRow);
    TestProgram p;
    if (ideRow)
        p.addExaminee(examinee, QStringLiteral("Ali"), QStringLiteral("G1"));
    else
        p.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES (?)"), {examinee});
    p.addExaminee(other, QStringLiteral("Reza"));
    AnswerSheet sheet(p.database());
    QVERIFY(sheet.open(examinee).ok);
    QVERIFY(sheet.record(1, 5).ok);
    QVERIFY(sheet.record(3, 5).ok);

    // The code and what is no detail of a test run stay as they are.
    const QHash<QString, QString> edits = {
        {QStringLiteral("FName"), QStringLiteral("زهرا")}, {QStringLiteral("Sen"), QStringLiteral("41")},
        {QStringLiteral("Code"), QStringLiteral("999")},   {QStringLiteral("Group"), QStringLiteral("G2")},
        {QStringLiteral("Rezayat"), QStringLiteral("80")},
    };
    const AnswerSheet::Outcome saved = sheet.saveAndFinish(edits);
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("5"));
    QCOMPARE(p.answer(examinee, 3), QStringLiteral("1"));
    QCOMPARE(p.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), examinee), 1);
    QCOMPARE(p.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), examinee), ideRow ? 1 : 0);
    QCOMPARE(p.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("999")), 0);
    QCOMPARE(p.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("999")), 0);
    QCOMPARE(p.ideField(other, QStringLiteral("FName")), QStringLiteral("Reza"));
    if (!ideRow)
        return;
    QCOMPARE(p.ideField(examinee, QStringLiteral("FName")), QStringLiteral("زهرا"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Sen")), QStringLiteral("41"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("LName")), QStringLiteral("Ahmadi"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Group")), QStringLiteral("G1"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Rezayat")), QString());
    QCOMPARE(sheet.detail(QStringLiteral("FName")), QStringLiteral("زهرا"));
}

void TestAnswerSheet::failedSaveStoresNothing_data()
{
    addObstacleRows();
}

void TestAnswerSheet::failedSaveStoresNothing()
{
    QFETCH(Obstacle, obstacle);
    QFETCH(bool, busy);
    TestProgram p;
    p.addExaminee(examinee, QStringLiteral("Ali"));
    AnswerSheet sheet(p.database());
    QVERIFY(sheet.open(examinee).ok);
    QVERIFY(sheet.record(2, 4).ok);
    const QHash<QString, QString> edits = {{QStringLiteral("FName"), QStringLiteral("Sara")},
                                           {QStringLiteral("Sen"), QStringLiteral("52")}};

    Blocker blocker(p, obstacle, QStringLiteral("IDE"));
    const AnswerSheet::Outcome saved = sheet.saveAndFinish(edits);
    QVERIFY(!saved.ok);
    QVERIFY(!saved.error.isEmpty());
    QCOMPARE(saved.busy, busy);
    blocker.remove();
    QCOMPARE(p.ideField(examinee, QStringLiteral("FName")), QStringLiteral("Ali"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Sen")), QStringLiteral("30"));
    QCOMPARE(p.answer(examinee, 2), QStringLiteral("4"));
    // The sheet holds what the file holds, and the same edits go through once nothing stands in the way.
    QCOMPARE(sheet.detail(QStringLiteral("FName")), QStringLiteral("Ali"));
    QCOMPARE(sheet.storedOption(2), 4);
    QVERIFY(sheet.saveAndFinish(edits).ok);
    QCOMPARE(p.ideField(examinee, QStringLiteral("FName")), QStringLiteral("Sara"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Sen")), QStringLiteral("52"));
    QCOMPARE(p.answer(examinee, 2), QStringLiteral("4"));
}

QTEST_GUILESS_MAIN(TestAnswerSheet)
// Choices written as "code:item:option", in the order they came.
void TestAnswerSheet::choicesStoredTogether_data()
{
    QTest::addColumn<QString>("choices");
    QTest::addColumn<QStringList>("storedCodes");
    // What each code's row holds afterwards, as "code:item:option" (the option whose keyed score is stored).
    QTest::addColumn<QString>("held");
    QTest::newRow("two examinees, a direct and a reversed item")
        << "100:1:2 200:3:2" << QStringList { examinee, other } << "100:1:2 200:3:2";
    QTest::newRow("two tabs on one item: the later stands") << "100:7:1 100:7:4" << QStringList { examinee } << "100:7:4";
    QTest::newRow("several items of one examinee") << "100:1:1 100:2:2 100:35:5 200:2:3"
                                                   << QStringList { examinee, other } << "100:1:1 100:2:2 100:35:5 200:2:3";
    QTest::newRow("a code without an answer row takes nothing") << "100:4:4 300:4:1" << QStringList { examinee }
                                                                << "100:4:4";
    QTest::newRow("an option that is none refuses the lot") << "100:4:4 200:4:6" << QStringList() << "";
}

void TestAnswerSheet::choicesStoredTogether()
{
    QFETCH(QString, choices);
    QFETCH(QStringList, storedCodes);
    QFETCH(QString, held);
    TestProgram p;
    p.addExaminee(examinee);
    p.addExaminee(other);
    QList<AnswerSheet::Choice> list;
    for (const QString& choice : choices.split(QLatin1Char(' '))) {
        const QStringList parts = choice.split(QLatin1Char(':'));
        list.append({ parts.at(0), parts.at(1).toInt(), parts.at(2).toInt() });
    }
    p.database().beginTransaction();
    const AnswerSheet::Together together = AnswerSheet::recordTogetherWithin(p.database(), list);
    if (together.ok)
        QVERIFY(p.database().commit());
    else
        p.database().rollback();
    QCOMPARE(together.ok, !storedCodes.isEmpty());
    QCOMPARE(QSet<QString>(storedCodes.cbegin(), storedCodes.cend()), together.codes);

    // Exactly the expected answers, nothing else, and no row made for a code that had none.
    QHash<QString, QString> expected;
    for (const QString& one : held.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = one.split(QLatin1Char(':'));
        expected.insert(parts.at(0) + QLatin1Char('/') + parts.at(1), keyedScore(parts.at(1).toInt(), parts.at(2).toInt()));
    }
    for (const QString& code : { examinee, other })
        for (int item = 1; item <= 35; ++item)
            QCOMPARE(p.answer(code, item), expected.value(code + QLatin1Char('/') + QString::number(item)));
    QCOMPARE(p.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("300")), 0);
}

// More choices than one statement names: every one is stored.
void TestAnswerSheet::manyChoicesStoredTogether()
{
    TestProgram p;
    QList<AnswerSheet::Choice> list;
    for (int i = 0; i < 300; ++i) {
        const QString code = QString::number(1000 + i);
        p.addExaminee(code);
        list.append({ code, 1 + i % 35, 1 + i % 5 });
    }
    p.database().beginTransaction();
    const AnswerSheet::Together together = AnswerSheet::recordTogetherWithin(p.database(), list);
    QVERIFY2(together.ok, qPrintable(together.error));
    QVERIFY(p.database().commit());
    QCOMPARE(together.codes.size(), 300);
    for (int i = 0; i < 300; i += 37)
        QCOMPARE(p.answer(QString::number(1000 + i), 1 + i % 35), keyedScore(1 + i % 35, 1 + i % 5));
}

#include "TestAnswerSheet.moc"
