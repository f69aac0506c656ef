#include "WebFixture.h"
#include "support/LockHolder.h"

#include "data/QuestionnaireItems.h"
#include "questionnaire/AnswerSheet.h"
#include "questionnaire/Keying.h"
#include "questionnaire/TestTexts.h"
#include "scoring/ScoringSession.h"
#include "web/PageTexts.h"

#include <QLoggingCategory>

// The routes of the page served to a phone, called as plain functions: what each answers, what it refuses and what
// it stores.
class TestQuestionnaireService : public QObject {
    Q_OBJECT

private slots:
    void fromInvitationToScoredResults();
    void comingBackResumesAtTheFirstUnanswered();
    void closedLinksAllLookAlike_data();
    void closedLinksAllLookAlike();
    void guessingIsRefusedForTenMinutes();
    void refusals_data();
    void refusals();
    void twoTabsBothStoreTheLaterWins();
    void choicesArrivingTogetherAreStoredTogether_data();
    void choicesArrivingTogetherAreStoredTogether();
    void aFinishedSheetCannotChange();
    void noNameNoCodeOnAnyPage();
    void theTokenIsNeverLogged();
    void staticFilesAreServed();
};

namespace {

QString text(const WebResponse& response)
{
    return QString::fromUtf8(response.body);
}

} // namespace

void TestQuestionnaireService::fromInvitationToScoredResults()
{
    WebFixture web;
    const WebResponse intro = web.get(web.link());
    QCOMPARE(intro.status, 200);
    QVERIFY(text(intro).contains(TestTexts::Instruction.toHtmlEscaped()));
    QVERIFY(text(intro).contains(QStringLiteral("href=\"%1\"").arg(web.link(QStringLiteral("1")))));
    QVERIFY(text(intro).contains(QStringLiteral("lang=\"fa\" dir=\"rtl\"")));

    // Options chosen on the phone, stored keyed as the test window stores them.
    QStringList expected;
    for (int item = 1; item <= QuestionnaireItemCount; ++item) {
        const int option = 1 + item % 5;
        const WebResponse page = web.get(web.link(QString::number(item)));
        QCOMPARE(page.status, 200);
        const WebResponse chosen = web.post(web.link(QString::number(item)), "option=" + QByteArray::number(option));
        QCOMPARE(chosen.status, 303);
        QCOMPARE(WebFixture::location(chosen),
            web.link(item < QuestionnaireItemCount ? QString::number(item + 1) : QStringLiteral("review")));
        QCOMPARE(web.program.answer(WebFixture::Code, item), QString::number(scoreForOption(item, option)));
        expected << QString::number(scoreForOption(item, option));
    }
    QCOMPARE(web.program.scalar(QStringLiteral("SELECT State FROM Invitation")).toString(), QStringLiteral("answering"));
    const WebResponse review = web.get(web.link(QStringLiteral("review")));
    QVERIFY(text(review).contains(PageTexts::AllAnswered));
    const WebResponse finished = web.post(web.link(QStringLiteral("finish")), {});
    QCOMPARE(finished.status, 303);
    QCOMPARE(WebFixture::location(finished), web.link(QStringLiteral("thanks")));
    QVERIFY(text(web.get(web.link(QStringLiteral("thanks")))).contains(PageTexts::Thanks));
    QCOMPARE(web.program.scalar(QStringLiteral("SELECT State FROM Invitation")).toString(), QStringLiteral("finished"));
    // On a data file the phone's answers are in the trail as the keyboard's are.
    if (!web.program.onServer())
        QCOMPARE(web.program.rowCount(QStringLiteral("AuditLog"), QStringLiteral("What"), QStringLiteral("Answer update")),
            QuestionnaireItemCount);

    // The same choices made at the clinic's keyboard score the same.
    web.program.addExaminee(QStringLiteral("555"));
    AnswerSheet sheet(web.program.database());
    QCOMPARE(sheet.open(QStringLiteral("555")).status, AnswerSheet::Opened::Ready);
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        QVERIFY(sheet.record(item, 1 + item % 5).ok);
    ScoringSession scoring(web.program.database());
    QVERIFY(scoring.select(WebFixture::Code).selected());
    QCOMPARE(scoring.selectedAnswers(), expected);
    const ShownResults onPhone = *scoring.selected();
    QVERIFY(scoring.select(QStringLiteral("555")).selected());
    const ShownResults atClinic = *scoring.selected();
    for (std::size_t scale = 0; scale < 4; ++scale) {
        QCOMPARE(onPhone.scales[scale].raw, atClinic.scales[scale].raw);
        QVERIFY(!onPhone.scales[scale].raw.isEmpty());
    }
}

void TestQuestionnaireService::comingBackResumesAtTheFirstUnanswered()
{
    WebFixture web;
    for (int item : { 1, 2, 3, 5 })
        QCOMPARE(web.post(web.link(QString::number(item)), "option=2").status, 303);
    const WebResponse again = web.get(web.link());
    QCOMPARE(again.status, 303);
    QCOMPARE(WebFixture::location(again), web.link(QStringLiteral("4")));
    const WebResponse item5 = web.get(web.link(QStringLiteral("5")));
    QVERIFY(text(item5).contains(QStringLiteral("۵ از ۳۵")));
    QVERIFY(text(item5).contains(QStringLiteral("value=\"2\" id=\"option2\" class=\"chosen\"")));
    const WebResponse review = web.get(web.link(QStringLiteral("review")));
    QVERIFY(text(review).contains(PageTexts::Unanswered));
    QVERIFY(text(review).contains(QStringLiteral("<a href=\"%1\">۴</a>").arg(web.link(QStringLiteral("4")))));
    QVERIFY(!text(review).contains(QStringLiteral("<a href=\"%1\">").arg(web.link(QStringLiteral("5")))));
}

void TestQuestionnaireService::closedLinksAllLookAlike_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("unknown") << "unknown";
    QTest::newRow("revoked") << "revoked";
    QTest::newRow("expired") << "expired";
    QTest::newRow("not a token") << "malformed";
}

void TestQuestionnaireService::closedLinksAllLookAlike()
{
    QFETCH(QString, kind);
    WebFixture web;
    QString token = web.token;
    if (kind == QLatin1String("unknown"))
        token = Invitations::newToken();
    else if (kind == QLatin1String("revoked"))
        web.program.exec(QStringLiteral("UPDATE Invitation SET State = 'revoked'"));
    else if (kind == QLatin1String("expired"))
        web.now = web.now.addDays(7);
    else
        token = QStringLiteral("x'; DROP TABLE Invitation; --");
    const WebResponse closed = web.get(QStringLiteral("/a/") + token);
    QCOMPARE(closed.status, 404);
    QVERIFY(text(closed).contains(PageTexts::Closed));
    QVERIFY(!text(closed).contains(WebFixture::ClinicName));
    // The same bytes whatever the reason.
    const WebResponse unknown = web.get(QStringLiteral("/a/") + Invitations::newToken());
    QCOMPARE(closed.body, unknown.body);
    // Answers through a closed link store nothing.
    QCOMPARE(web.post(QStringLiteral("/a/") + token + QStringLiteral("/1"), "option=1").status, 404);
    QCOMPARE(web.program.answer(WebFixture::Code, 1), QString());
    QCOMPARE(web.program.rowCount(QStringLiteral("Invitation")), 1);
}

void TestQuestionnaireService::guessingIsRefusedForTenMinutes()
{
    WebFixture web;
    const QString guesser = QStringLiteral("198.51.100.7");
    for (int i = 0; i < 20; ++i)
        QCOMPARE(web.get(QStringLiteral("/a/") + Invitations::newToken(), guesser).status, 404);
    QCOMPARE(web.get(QStringLiteral("/a/") + Invitations::newToken(), guesser).status, 429);
    // Even a right link from that address waits; another address is not held up.
    QCOMPARE(web.get(web.link(), guesser).status, 429);
    QCOMPARE(web.get(web.link()).status, 200);
    web.now = web.now.addSecs(599);
    QCOMPARE(web.get(web.link(), guesser).status, 429);
    web.now = web.now.addSecs(1);
    QCOMPARE(web.get(web.link(), guesser).status, 200);

    // Twenty spread over more than a minute are not a guesser's pace.
    const QString slow = QStringLiteral("198.51.100.8");
    for (int i = 0; i < 40; ++i) {
        QCOMPARE(web.get(QStringLiteral("/a/") + Invitations::newToken(), slow).status, 404);
        web.now = web.now.addSecs(4);
    }
}

void TestQuestionnaireService::refusals_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("action"); // "-" for a path outside the questionnaire
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::newRow("PUT") << QByteArray("PUT") << "1" << "" << QByteArray("option=1") << 405;
    QTest::newRow("DELETE") << QByteArray("DELETE") << "" << "" << QByteArray() << 405;
    QTest::newRow("HEAD") << QByteArray("HEAD") << "" << "" << QByteArray() << 405;
    QTest::newRow("GET finish") << QByteArray("GET") << "finish" << "" << QByteArray() << 405;
    QTest::newRow("POST the introduction") << QByteArray("POST") << "" << "" << QByteArray("option=1") << 405;
    QTest::newRow("POST review") << QByteArray("POST") << "review" << "" << QByteArray() << 405;
    QTest::newRow("item 0") << QByteArray("GET") << "0" << "" << QByteArray() << 404;
    QTest::newRow("item 36") << QByteArray("GET") << "36" << "" << QByteArray() << 404;
    QTest::newRow("item 007") << QByteArray("GET") << "007" << "" << QByteArray() << 404;
    QTest::newRow("unknown action") << QByteArray("GET") << "admin" << "" << QByteArray() << 404;
    QTest::newRow("option 0") << QByteArray("POST") << "1" << "" << QByteArray("option=0") << 400;
    QTest::newRow("option 6") << QByteArray("POST") << "1" << "" << QByteArray("option=6") << 400;
    QTest::newRow("no option") << QByteArray("POST") << "1" << "" << QByteArray("choice=1") << 400;
    QTest::newRow("root") << QByteArray("GET") << "-" << "/" << QByteArray() << 404;
    QTest::newRow("a file") << QByteArray("GET") << "-" << "/etc/passwd" << QByteArray() << 404;
    QTest::newRow("up the tree") << QByteArray("GET") << "-" << "/font/../../x" << QByteArray() << 404;
    QTest::newRow("POST the font") << QByteArray("POST") << "-" << "/font/regular.ttf" << QByteArray() << 405;
}

void TestQuestionnaireService::refusals()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, action);
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    WebFixture web;
    const QString target = action == QLatin1String("-") ? path : web.link(action);
    const WebResponse response = web.service.handle({ method, target, body, QStringLiteral("192.0.2.1") });
    QCOMPARE(response.status, status);
    if (status == 405)
        QVERIFY(!WebFixture::location(response).size() && !response.headers.isEmpty());
    QCOMPARE(web.program.scalar(QStringLiteral("SELECT COUNT(*) FROM Answer WHERE COALESCE(\"1\", '') <> ''")).toInt(), 0);
    QCOMPARE(web.program.scalar(QStringLiteral("SELECT State FROM Invitation")).toString(), QStringLiteral("open"));
}

void TestQuestionnaireService::twoTabsBothStoreTheLaterWins()
{
    WebFixture web;
    const WebResponse first = web.get(web.link(QStringLiteral("3")));
    const WebResponse second = web.get(web.link(QStringLiteral("3")));
    QCOMPARE(first.status, 200);
    QCOMPARE(second.status, 200);
    QCOMPARE(web.post(web.link(QStringLiteral("3")), "option=2").status, 303);
    QCOMPARE(web.post(web.link(QStringLiteral("3")), "option=5").status, 303);
    QCOMPARE(web.program.answer(WebFixture::Code, 3), QString::number(scoreForOption(3, 5)));
    QVERIFY(text(web.get(web.link(QStringLiteral("3")))).contains(QStringLiteral("id=\"option5\" class=\"chosen\"")));
}

// Choices handed in before the service gets back to its event loop (many phones at once) are stored in one
// transaction, and each phone is answered only once that transaction is committed: with its redirect when it is,
// with the refusal page (and nothing of the group stored) when it is not, so the phone offers the choice again.
void TestQuestionnaireService::choicesArrivingTogetherAreStoredTogether_data()
{
    QTest::addColumn<bool>("held");
    QTest::addColumn<bool>("otherDeleted");
    QTest::addRow("stored") << false << false;
    QTest::addRow("data held by another program") << true << false;
    QTest::addRow("one examinee deleted since the link was made") << false << true;
}

void TestQuestionnaireService::choicesArrivingTogetherAreStoredTogether()
{
    QFETCH(bool, held);
    QFETCH(bool, otherDeleted);
    WebFixture web;
    const QString other = QStringLiteral("55555");
    web.program.addExaminee(other, QStringLiteral("Partner"));
    const QString otherToken = web.invite(other);
    if (otherDeleted)
        QVERIFY(web.program.exec(QStringLiteral("DELETE FROM Answer WHERE Code = ?"), { other }));
    const QString otherLink = QStringLiteral("/a/") + otherToken + QStringLiteral("/1");
    std::unique_ptr<LockHolder> holder;
    if (held) {
        holder = std::make_unique<LockHolder>(web.program.database());
        QVERIFY(holder->isHolding());
    }

    QMap<int, WebResponse> replies;
    const QList<std::pair<QString, QByteArray>> choices {
        { web.link(QStringLiteral("1")), "option=2" },
        { otherLink, "option=4" },
        { web.link(QStringLiteral("2")), "option=5" },
        { web.link(QStringLiteral("1")), "option=3" }, // a second tab: the later choice wins
    };
    for (int i = 0; i < choices.size(); ++i)
        web.service.handle({ "POST", choices.at(i).first, choices.at(i).second, QStringLiteral("192.0.2.1") },
            [&replies, i](const WebResponse& response) { replies.insert(i, response); });
    // Nothing is answered before it is stored.
    QVERIFY(replies.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), int(choices.size()), 60000);

    if (held) {
        for (const WebResponse& response : std::as_const(replies)) {
            QCOMPARE(response.status, 503);
            QVERIFY(response.headers.contains({ QByteArrayLiteral("Retry-After"), QByteArrayLiteral("5") }));
        }
        holder.reset();
        QCOMPARE(web.program.answer(WebFixture::Code, 1), QString());
        QCOMPARE(web.program.answer(other, 1), QString());
        QCOMPARE(web.program.scalar(QStringLiteral("SELECT COUNT(*) FROM Invitation WHERE State = 'open'")).toInt(), 2);
        return;
    }
    QCOMPARE(WebFixture::location(replies.value(0)), web.link(QStringLiteral("2")));
    if (otherDeleted) {
        // The others' choices stand; the link of a sheet that is gone opens nothing and stays as it was.
        QCOMPARE(replies.value(1).status, 404);
        QCOMPARE(web.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), other), 0);
        QCOMPARE(web.program.answer(WebFixture::Code, 1), QString::number(scoreForOption(1, 3)));
        QCOMPARE(web.program.scalar(QStringLiteral("SELECT COUNT(*) FROM Invitation WHERE State = 'open'")).toInt(), 1);
        return;
    }
    QCOMPARE(WebFixture::location(replies.value(1)), QStringLiteral("/a/") + otherToken + QStringLiteral("/2"));
    QCOMPARE(WebFixture::location(replies.value(2)), web.link(QStringLiteral("3")));
    QCOMPARE(replies.value(3).status, 303);
    QCOMPARE(web.program.answer(WebFixture::Code, 1), QString::number(scoreForOption(1, 3)));
    QCOMPARE(web.program.answer(WebFixture::Code, 2), QString::number(scoreForOption(2, 5)));
    QCOMPARE(web.program.answer(other, 1), QString::number(scoreForOption(1, 4)));
    QCOMPARE(web.program.scalar(QStringLiteral("SELECT COUNT(*) FROM Invitation WHERE State = 'answering'")).toInt(), 2);
}

void TestQuestionnaireService::aFinishedSheetCannotChange()
{
    WebFixture web;
    QCOMPARE(web.post(web.link(QStringLiteral("1")), "option=1").status, 303);
    QCOMPARE(web.post(web.link(QStringLiteral("finish")), {}).status, 303);
    const WebResponse later = web.get(web.link());
    QCOMPARE(later.status, 200);
    QVERIFY(text(later).contains(PageTexts::Complete));
    QCOMPARE(web.post(web.link(QStringLiteral("1")), "option=5").status, 303);
    QCOMPARE(web.post(web.link(QStringLiteral("2")), "option=5").status, 303);
    QCOMPARE(web.program.answer(WebFixture::Code, 1), QStringLiteral("1"));
    QCOMPARE(web.program.answer(WebFixture::Code, 2), QString());
    QCOMPARE(web.get(web.link(QStringLiteral("2"))).status, 303);
}

void TestQuestionnaireService::noNameNoCodeOnAnyPage()
{
    WebFixture web;
    QStringList pages;
    for (const QString& action : { QString(), QStringLiteral("start"), QStringLiteral("1"), QStringLiteral("35"),
             QStringLiteral("review") })
        pages << text(web.get(web.link(action)));
    web.post(web.link(QStringLiteral("finish")), {});
    pages << text(web.get(web.link(QStringLiteral("thanks")))) << text(web.get(web.link()));
    for (const QString& page : pages) {
        QVERIFY(page.contains(WebFixture::ClinicName));
        QVERIFY(!page.contains(WebFixture::Code));
        QVERIFY(!page.contains(QStringLiteral("Zarrinnegar")));
        // Nothing the page needs comes from elsewhere, and it needs no script.
        QVERIFY(!page.contains(QStringLiteral("<script")));
        QVERIFY(!page.contains(QStringLiteral("http")));
    }
}

namespace {
QStringList* logged = nullptr;
void keepLine(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (logged)
        *logged << message;
}
} // namespace

void TestQuestionnaireService::theTokenIsNeverLogged()
{
    WebFixture web;
    QStringList lines;
    logged = &lines;
    QLoggingCategory::setFilterRules(QStringLiteral("tovrin35.web.info=true"));
    const QtMessageHandler before = qInstallMessageHandler(keepLine);
    web.get(web.link());
    web.post(web.link(QStringLiteral("1")), "option=1");
    web.get(web.link(QStringLiteral("review")));
    web.get(QStringLiteral("/a/") + web.token.left(20));
    qInstallMessageHandler(before);
    logged = nullptr;
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(1), QStringLiteral("POST /a/*/1 303"));
    for (const QString& line : lines)
        QVERIFY2(!line.contains(web.token.left(20)), qPrintable(line));
}

void TestQuestionnaireService::staticFilesAreServed()
{
    WebFixture web;
    const WebResponse font = web.get(QStringLiteral("/font/regular.ttf"));
    QCOMPARE(font.status, 200);
    QCOMPARE(font.contentType, QByteArray("font/ttf"));
    QVERIFY(font.body.size() > 100000);
    QCOMPARE(web.get(QStringLiteral("/font/bold.ttf")).status, 200);
    const WebResponse style = web.get(QStringLiteral("/style.css"));
    QVERIFY(style.body.contains("min-height: 46px"));
    QVERIFY(style.body.contains("/font/regular.ttf"));
}

QTEST_GUILESS_MAIN(TestQuestionnaireService)
#include "TestQuestionnaireService.moc"
