#include "ExpectedSentences.h"
#include "data/ServerRights.h"
#include "scoring/ScoringSession.h"
#include "scoring/reports/ListReportRows.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"
#include "support/TestServer.h"
#include "ui/MessageCatalogue.h"

#include <QTest>

#include <array>
#include <vector>

namespace {

using Status = ScoringSession::Selection::Status;
using Four = std::array<QString, 4>;
using Bands = std::array<int, 4>;

// Copied from the questionnaire's fixed tables, independently of the program's own copy.
const std::vector<int> itemsOf[4] = {
    { 1, 5, 9, 13, 17, 21, 24, 27, 30, 35 },
    { 2, 6, 10, 14, 18, 22, 25, 28, 31, 34 },
    { 3, 7, 11, 15, 19, 23, 26, 29, 32, 33 },
    { 4, 8, 12, 16, 20 },
};
const std::vector<int> reversedItems = { 3, 5, 6, 7, 10, 13, 14, 18, 19, 21, 22, 23, 26, 27, 28, 29, 32, 33, 34 };
const char* const rawColumns[4] = { "Rezayat", "Ertebat", "HaleT", "TahrifeA" };
const char* const expectedLevels[5] = { "خيلي پايين", "پايين", "متوسط", "بالا", "خيلي بالا" };

QStringList allAnswers(const QString& value)
{
    return QStringList(35, value);
}

// Answers giving each scale the listed keyed scores, in the order of the scale's items.
QStringList answersFor(const std::array<std::vector<int>, 4>& values)
{
    QStringList answers = allAnswers(QString());
    for (std::size_t s = 0; s < 4; ++s)
        for (std::size_t k = 0; k < itemsOf[s].size(); ++k)
            answers[itemsOf[s][k] - 1] = QString::number(values[s].at(k));
    return answers;
}

// A 5 stored for every reversed item and a 1 for every direct one, as keying stores agreeing strongly everywhere.
QStringList reversedKeyedHigh()
{
    QStringList answers = allAnswers(QStringLiteral("1"));
    for (int item : reversedItems)
        answers[item - 1] = QStringLiteral("5");
    return answers;
}

QStringList with(QStringList answers, int item, const QString& value)
{
    answers[item - 1] = value;
    return answers;
}

Four storedScores(TestProgram& p, const QString& code)
{
    Four scores;
    for (std::size_t s = 0; s < 4; ++s)
        scores[s] = p.ideField(code, QLatin1String(rawColumns[s]));
    return scores;
}

} // namespace

Q_DECLARE_METATYPE(Four)
Q_DECLARE_METATYPE(Bands)
Q_DECLARE_METATYPE(Status)

class TestScoringSession : public QObject {
    Q_OBJECT

private slots:
    void select_data()
    {
        QTest::addColumn<QString>("rows"); // which rows the examinee has: "both", "answers only", "details only"
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Four>("scores");

        const QString code = QStringLiteral("12");
        const QStringList threes = allAnswers(QStringLiteral("3"));
        const Four none;
        const Four scoredThrees = { "30", "30", "30", "15" };

        QTest::newRow("complete sheet") << "both" << code << threes << code << Status::Selected << QString()
                                        << scoredThrees;
        // Reversed items are stored keyed; scoring adds them as they stand.
        QTest::newRow("reversed items") << "both" << code << reversedKeyedHigh() << code << Status::Selected
                                        << QString() << Four { "26", "38", "42", "5" };
        QTest::newRow("unanswered item") << "both" << code << with(threes, 7, QString()) << code << Status::NotScorable
                                         << Msg::UnansweredItems + QStringLiteral("\n\n۷  ") << none;
        QTest::newRow("damaged stored values")
            << "both" << code << with(with(threes, 12, QStringLiteral("7")), 20, QStringLiteral("0")) << code
            << Status::NotScorable << Msg::DamagedAnswers + QStringLiteral("\n\n۱۲  ۲۰  ") << none;
        QTest::newRow("unanswered said before damaged")
            << "both" << code << with(with(threes, 2, QStringLiteral("12")), 30, QString()) << code
            << Status::NotScorable << Msg::UnansweredItems + QStringLiteral("\n\n۳۰  ") << none;
        QTest::newRow("unknown code") << "both" << code << threes << "13" << Status::NotFound << QString() << none;
        QTest::newRow("nothing typed") << "both" << code << threes << "" << Status::NothingTyped << QString() << none;
        QTest::newRow("only blanks") << "both" << code << threes << "   " << Status::NothingTyped << QString() << none;
        QTest::newRow("Persian digits") << "both" << code << threes << QStringLiteral("\u06F1\u06F2")
                                        << Status::Selected << QString() << scoredThrees;
        QTest::newRow("Arabic-Indic digits") << "both" << code << threes << QStringLiteral("\u0661\u0662")
                                             << Status::Selected << QString() << scoredThrees;
        QTest::newRow("blanks and marks") << "both" << code << threes << QStringLiteral(" \u200F1\u200B2 ")
                                          << Status::Selected << QString() << scoredThrees;
        // A file from before codes were normalised: typing the code as it was registered finds it.
        QTest::newRow("stored in Persian digits")
            << "both" << QStringLiteral("\u06F1\u06F2") << threes << QStringLiteral("\u06F1\u06F2") << Status::Selected
            << QString() << scoredThrees;
        QTest::newRow("apostrophe") << "both"
                                    << "O'Neil" << threes << "O'Neil" << Status::Selected << QString() << scoredThrees;
        QTest::newRow("details missing") << "answers only" << code << threes << code << Status::DetailsMissing
                                         << QString() << none;
        QTest::newRow("details without answers")
            << "details only" << code << threes << code << Status::NotFound << QString() << none;
    }

    void select()
    {
        QFETCH(QString, rows);
        QFETCH(QString, stored);
        QFETCH(QStringList, answers);
        QFETCH(QString, typed);
        QFETCH(Status, status);
        QFETCH(QString, message);
        QFETCH(Four, scores);

        TestProgram p;
        // A neighbour whose code is a prefix of the others, whose row must stay as it is.
        p.addExaminee(QStringLiteral("1"), QStringLiteral("Other"));
        p.setAnswers(QStringLiteral("1"), allAnswers(QStringLiteral("5")));
        if (rows != QLatin1String("answers only"))
            p.exec(QStringLiteral("INSERT INTO IDE (Code, FName, \"Group\") VALUES (?, 'Maryam', 'B')"), { stored });
        if (rows != QLatin1String("details only")) {
            p.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES (?)"), { stored });
            p.setAnswers(stored, answers);
        }
        ScoringSession session(p.database());

        const ScoringSession::Selection selection = session.select(typed);
        QCOMPARE(selection.status, status);
        QCOMPARE(selection.message, message);
        QVERIFY(!selection.busy);
        QCOMPARE(selection.selected(), status == Status::Selected);
        QCOMPARE(session.selected().has_value(), selection.selected());
        // The examinee the code found is named even when the answers cannot be scored.
        const bool found = status == Status::Selected || status == Status::NotScorable;
        QCOMPARE(selection.examinee.has_value(), found);
        if (found) {
            QCOMPARE(selection.examinee->code, stored);
            QCOMPARE(selection.examinee->firstName, QStringLiteral("Maryam"));
        }
        if (session.selected())
            QCOMPARE(session.selected()->code, stored);

        if (rows != QLatin1String("answers only"))
            QCOMPARE(storedScores(p, stored), scores);
        QCOMPARE(storedScores(p, QStringLiteral("1")), Four());
    }

    void selectedHoldsDetailsAndResults_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<Four>("raw");
        QTest::addColumn<Four>("percent");
        QTest::addColumn<Bands>("band");

        QTest::newRow("all ones") << allAnswers(QStringLiteral("1")) << Four { "10", "10", "10", "5" }
                                  << Four { "5", "5", "5", "5" } << Bands { 0, 0, 0, 0 };
        QTest::newRow("all fives") << allAnswers(QStringLiteral("5")) << Four { "50", "50", "50", "25" }
                                   << Four { "100", "100", "100", "100" } << Bands { 4, 4, 4, 4 };
        // 32 -> 50, 20 -> 15, 37 -> 80, 22 -> 85
        QTest::newRow("bands 3 1 4 5") << answersFor({ { { 4, 4, 3, 3, 3, 3, 3, 3, 3, 3 },
            { 2, 2, 2, 2, 2, 2, 2, 2, 2, 2 }, { 4, 4, 4, 4, 4, 4, 4, 3, 3, 3 }, { 5, 5, 4, 4, 4 } } })
                                       << Four { "32", "20", "37", "22" } << Four { "50", "15", "80", "85" }
                                       << Bands { 2, 0, 3, 4 };
        // 27 -> 35, 32 -> 55, 45 -> 100, 18 -> 65
        QTest::newRow("bands 2 3 5 4") << answersFor({ { { 3, 3, 3, 3, 3, 3, 3, 2, 2, 2 },
            { 4, 4, 3, 3, 3, 3, 3, 3, 3, 3 }, { 5, 5, 5, 5, 5, 4, 4, 4, 4, 4 }, { 4, 4, 4, 3, 3 } } })
                                       << Four { "27", "32", "45", "18" } << Four { "35", "55", "100", "65" }
                                       << Bands { 1, 2, 4, 3 };
    }

    void selectedHoldsDetailsAndResults()
    {
        QFETCH(QStringList, answers);
        QFETCH(Four, raw);
        QFETCH(Four, percent);
        QFETCH(Bands, band);

        TestProgram p;
        p.exec(QStringLiteral("UPDATE Theme SET Name = 'Clinic A', Adress = 'Street 5'"));
        p.addExaminee(QStringLiteral("12"), QStringLiteral("Maryam"), QStringLiteral("B"));
        p.exec(QStringLiteral("UPDATE IDE SET Sen = '41', Jens = 'زن', Taahol = 'مطلقه', Tahsil = 'Diplom'"));
        p.setAnswers(QStringLiteral("12"), answers);
        ScoringSession session(p.database());

        const ScoringSession::Selection selection = session.select(QStringLiteral("12"));
        QVERIFY(selection.selected());
        QCOMPARE(selection.examinee->lastName, p.ideField(QStringLiteral("12"), QStringLiteral("LName")));
        QCOMPARE(selection.examinee->date, p.ideField(QStringLiteral("12"), QStringLiteral("Date")));
        QCOMPARE(selection.examinee->time, p.ideField(QStringLiteral("12"), QStringLiteral("Time")));

        QVERIFY(session.selected());
        const ShownResults& shown = *session.selected();
        QCOMPARE(shown.code, QStringLiteral("12"));
        QCOMPARE(shown.firstName, QStringLiteral("Maryam"));
        QCOMPARE(shown.group, QStringLiteral("B"));
        QCOMPARE(shown.age, QStringLiteral("41"));
        QCOMPARE(shown.sex, QStringLiteral("زن"));
        QCOMPARE(shown.maritalStatus, QStringLiteral("مطلقه"));
        QCOMPARE(shown.education, QStringLiteral("Diplom"));
        QCOMPARE(shown.clinicName, QStringLiteral("Clinic A"));
        QCOMPARE(shown.clinicAddress, QStringLiteral("Street 5"));
        for (std::size_t s = 0; s < 4; ++s) {
            const ShownResults::ScaleTexts& texts = shown.scales[s];
            QCOMPARE(texts.raw, raw[s]);
            QCOMPARE(texts.percent, percent[s]);
            QCOMPARE(texts.level, QString::fromUtf8(expectedLevels[band[s]]));
            QCOMPARE(texts.sentence, QString::fromUtf8(sentenceTable[s][band[s]]));
        }
        QCOMPARE(storedScores(p, QStringLiteral("12")), raw);
    }

    void refusedOrFailedSelectionClearsTheSelection_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Status>("status");
        QTest::newRow("unanswered item") << "13" << Status::NotScorable;
        QTest::newRow("unknown code") << "99" << Status::NotFound;
        QTest::newRow("nothing typed") << "" << Status::NothingTyped;
        QTest::newRow("details missing") << "14" << Status::DetailsMissing;
    }

    void refusedOrFailedSelectionClearsTheSelection()
    {
        QFETCH(QString, typed);
        QFETCH(Status, status);
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("4")));
        p.addExaminee(QStringLiteral("13"), QStringLiteral("Sara"));
        p.setAnswers(QStringLiteral("13"), with(allAnswers(QStringLiteral("2")), 35, QString()));
        p.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES ('14')"));
        p.setAnswers(QStringLiteral("14"), allAnswers(QStringLiteral("2")));
        ScoringSession session(p.database());
        QVERIFY(session.select(QStringLiteral("12")).selected());

        QCOMPARE(session.select(typed).status, status);
        QVERIFY(!session.selected());
        // The scores stored for the examinee selected before stay.
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QStringLiteral("40"));
    }

    void busyFileIsAFailureNeverAnUnknownCode()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("2")));
        ScoringSession session(p.database());
        QVERIFY(session.select(QStringLiteral("12")).selected());
        p.database().setLockWait(200);
        {
            LockHolder other(p.database().filePath());
            QVERIFY(other.isHolding());
            const ScoringSession::Selection selection = session.select(QStringLiteral("12"));
            QCOMPARE(selection.status, Status::Failed);
            QVERIFY(selection.busy);
            QVERIFY(!selection.message.isEmpty());
            QVERIFY(!selection.examinee);
            QVERIFY(!session.selected());
        }
        // The file free again, the same code scores.
        QVERIFY(session.select(QStringLiteral("12")).selected());
    }

    void unreadableDetailsAreAFailureNotBlankDetails()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("2")));
        ScoringSession session(p.database());
        QVERIFY(p.exec(QStringLiteral("ALTER TABLE IDE RENAME TO Gone")));
        const ScoringSession::Selection selection = session.select(QStringLiteral("12"));
        QCOMPARE(selection.status, Status::Failed);
        QVERIFY(!selection.busy);
        QVERIFY(!selection.message.isEmpty());
        QVERIFY(!selection.examinee);
        QVERIFY(!session.selected());
    }

    void scoresTheRowRefusesAreNotSelected()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("4")));
        p.exec(QStringLiteral("UPDATE IDE SET Rezayat = '33' WHERE Code = '12'"));
        ScoringSession session(p.database());
        QVERIFY(p.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON IDE BEGIN SELECT RAISE(ABORT, 'no "
                                      "scores here'); END")));
        const ScoringSession::Selection selection = session.select(QStringLiteral("12"));
        QCOMPARE(selection.status, Status::ScoresNotStored);
        QVERIFY2(selection.message.contains(QLatin1String("no scores here")), qPrintable(selection.message));
        QVERIFY(selection.examinee);
        QVERIFY(!session.selected());
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QStringLiteral("33"));

        // Once the row takes them, the same session stores and selects.
        QVERIFY(p.exec(QStringLiteral("DROP TRIGGER refuse")));
        QVERIFY(session.select(QStringLiteral("12")).selected());
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QStringLiteral("40"));
    }

    void twoCodesReadTogetherAreScoredAsEachAlone_data()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("data file") << false;
        QTest::newRow("server") << true;
    }

    void twoCodesReadTogetherAreScoredAsEachAlone()
    {
        QFETCH(bool, server);
        if (server)
            T35_SKIP_WITHOUT_SERVER();
        TestProgram p(server ? TestProgram::OnServer : TestProgram::OnFile);
        for (const QString& code : { QStringLiteral("12"), QStringLiteral("14") }) {
            p.addExaminee(code);
            p.setAnswers(code, allAnswers(QStringLiteral("1")));
        }
        ScoringSession one(p.database());
        ScoringSession other(p.database());
        // The second code typed in Persian digits: its first lookup form finds nobody, the search goes on.
        ScoringSession::readTogether(one, QStringLiteral("12"), other, QStringLiteral("۱۴"));
        QVERIFY(one.select(QStringLiteral("12")).selected());
        QCOMPARE(one.selected()->code, QStringLiteral("12"));
        QVERIFY(other.select(QStringLiteral("۱۴")).selected());
        QCOMPARE(other.selected()->code, QStringLiteral("14"));
        for (const QString& code : { QStringLiteral("12"), QStringLiteral("14") })
            QCOMPARE(storedScores(p, code), (Four { "10", "10", "10", "5" }));

        // What was read together serves one selection: answers stored since are scored at the next.
        p.setAnswers(QStringLiteral("12"), with(allAnswers(QStringLiteral("1")), 31, QStringLiteral("2")));
        QVERIFY(one.select(QStringLiteral("12")).selected());
        QCOMPARE(one.selected()->of(Scale::Ertebat).raw, QStringLiteral("11"));
        ScoringSession::readTogether(one, QStringLiteral("99"), other, QStringLiteral("12"));
        QCOMPARE(one.select(QStringLiteral("99")).status, Status::NotFound);
        QVERIFY(other.select(QStringLiteral("12")).selected());
        QCOMPARE(other.selected()->of(Scale::Ertebat).raw, QStringLiteral("11"));
    }

    void answersStoredSinceTheStartAreScored()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("1")));
        ScoringSession session(p.database());
        QVERIFY(session.select(QStringLiteral("12")).selected());
        QCOMPARE(session.selected()->of(Scale::Ertebat).raw, QStringLiteral("10"));

        // Item 31 counts toward Ertebat only.
        p.setAnswers(QStringLiteral("12"), with(allAnswers(QStringLiteral("1")), 31, QStringLiteral("2")));
        QVERIFY(session.select(QStringLiteral("12")).selected());
        QCOMPARE(session.selected()->of(Scale::Ertebat).raw, QStringLiteral("11"));
        QCOMPARE(storedScores(p, QStringLiteral("12")), (Four { "10", "11", "10", "5" }));
        QCOMPARE(p.rowCount(QStringLiteral("IDE")), 1);
    }

    // On a clinic's server with rights, whose results were looked at goes into the trail; a code refused does not.
    void aScoringViewedIsInTheTrail()
    {
        T35_SKIP_WITHOUT_SERVER();
        TestProgram p(TestProgram::OnServer);
        QVERIFY(ServerRights::setUp(p.database(), QString()).isNull());
        p.addExaminee(QStringLiteral("41"));
        p.setAnswers(QStringLiteral("41"), allAnswers(QStringLiteral("3")));
        p.addExaminee(QStringLiteral("42"));
        ScoringSession session(p.database());
        QVERIFY(session.select(QStringLiteral("41")).selected());
        QVERIFY(!session.select(QStringLiteral("42")).selected());
        QCOMPARE(p.scalar(QStringLiteral("SELECT string_agg(\"Code\", ',') FROM \"AuditLog\" "
                                         "WHERE \"What\" = 'scoring viewed'"))
                     .toString(),
            QStringLiteral("41"));
    }

    void clearedSelectionIsGone()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("3")));
        ScoringSession session(p.database());
        QVERIFY(session.select(QStringLiteral("12")).selected());
        session.clearSelection();
        QVERIFY(!session.selected());
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QStringLiteral("30"));
    }

    void listRowsHoldEveryExamineeWithTheScoresStoredNow()
    {
        TestProgram p;
        for (const char* code : { "30", "4", "100" })
            p.addExaminee(QString::fromLatin1(code));
        p.setAnswers(QStringLiteral("4"), allAnswers(QStringLiteral("5")));
        ScoringSession session(p.database());
        p.addExaminee(QStringLiteral("7"));
        QVERIFY(session.select(QStringLiteral("4")).selected());

        const ListReportRead read = session.listRows();
        QVERIFY(read.complete);
        QStringList codes;
        for (const ListReportRow& row : read.rows)
            codes << row.code;
        QCOMPARE(codes, (QStringList { "30", "4", "100", "7" }));
        QCOMPARE(read.rows[1].scores[0], QStringLiteral("50"));
        QCOMPARE(read.rows[0].scores[0], QString());

        QVERIFY(p.exec(QStringLiteral("ALTER TABLE IDE RENAME TO Gone")));
        const ListReportRead unreadable = session.listRows();
        QVERIFY(!unreadable.complete);
        QVERIFY(!unreadable.error.isEmpty());
    }

    void clinicAndThemeAsTheThemeRowHeldThem()
    {
        TestProgram p;
        p.exec(QStringLiteral("UPDATE Theme SET Name = 'Clinic A', Adress = 'Street 5', TH = '7'"));
        ScoringSession session(p.database());
        p.exec(QStringLiteral("UPDATE Theme SET Name = 'Later', Adress = 'Elsewhere'"));
        QCOMPARE(session.clinic().name, QStringLiteral("Clinic A"));
        QCOMPARE(session.clinic().address, QStringLiteral("Street 5"));
        QCOMPARE(session.theme(), QStringLiteral("7"));
    }
};

QTEST_MAIN(TestScoringSession)
#include "TestScoringSession.moc"
