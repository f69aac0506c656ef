#include "examinees/InvitationWindow.h"
#include "questionnaire/Keying.h"
#include "scoring/Agreement.h"
#include "scoring/ComparisonWindow.h"
#include "scoring/PairComparison.h"
#include "scoring/Scales.h"
#include "support/TestProgram.h"
#include "text/ShownNumbers.h"
#include "web/QuestionnaireService.h"
#include "web/WebServer.h"

#include <QHostAddress>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <memory>

// A couple from the invitation window to the comparison window, through the service on a loopback port and a real
// browser (headless Chromium driven by browser-test.py): what the spouses tap on their phones is what the comparison
// shows as their agreement. Skipped without Selenium, Chromium or its driver.
class TestCoupleInBrowser : public QObject {
    Q_OBJECT
private slots:
    void bothSpousesAnswerAndTheirAgreementIsShown();
};

namespace {

const QString First = QStringLiteral("4101");
const QString Second = QStringLiteral("4102");

// Each item's intended category, by its number, so every content scale holds all four and in differing shares.
Agreement planned(int item)
{
    static const Agreement cycle[] = { Agreement::Positive, Agreement::Disagreement, Agreement::Positive,
        Agreement::Negative, Agreement::Undecided };
    return cycle[(item * 7 + item / 5) % 5];
}

// The keyed scores (1..5) that make the category: favourable is 4 or 5, unfavourable 1 or 2, a 3 decides nothing.
std::pair<int, int> keyedFor(int item)
{
    switch (planned(item)) {
    case Agreement::Positive:
        return { 5, item % 2 ? 4 : 5 };
    case Agreement::Negative:
        return { 1, item % 2 ? 2 : 1 };
    case Agreement::Disagreement:
        return item % 2 ? std::pair { 5, 1 } : std::pair { 2, 4 };
    case Agreement::Undecided:
        break;
    }
    return { 3, item % 2 ? 5 : 3 };
}

// The option tapped for a keyed score: reversed items are turned round.
int optionFor(int item, int keyed)
{
    return isReversedItem(item) ? 6 - keyed : keyed;
}

QString tapped(bool second)
{
    QString options;
    for (int item = 1; item <= 35; ++item) {
        const auto [a, b] = keyedFor(item);
        options += QString::number(optionFor(item, second ? b : a));
    }
    return options;
}

} // namespace

void TestCoupleInBrowser::bothSpousesAnswerAndTheirAgreementIsShown()
{
    // The service's line per request would bury what the test says.
    QLoggingCategory::setFilterRules(QStringLiteral("tovrin35.web.info=false"));
    TestProgram program;
    program.addExaminee(First, QStringLiteral("Shirin"));
    program.addExaminee(Second, QStringLiteral("Farhad"));

    // The service in this process, on the same data file, on a free loopback port.
    const auto clock = [] { return QDateTime::currentDateTimeUtc(); };
    QuestionnaireService service(program.database(), clock);
    WebServer server([&service](const WebRequest& request, WebServer::Reply reply) {
        service.handle(request, std::move(reply));
    });
    QString error;
    QVERIFY2(server.listen(QHostAddress::LocalHost, 0, std::nullopt, error), qPrintable(error));
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.port());

    // The couple's invitation made through the window's own controls.
    InvitationWindow invitation(program.database(), program.messages(),
        InvitationWindow::Setting { base, QStringLiteral("مرکز مشاوره آرامش"), QStringLiteral("counsellor"), clock },
        First);
    invitation.show();
    invitation.findChild<QLineEdit*>(QStringLiteral("TextPartner"))->setText(Second);
    QTest::mouseClick(invitation.findChild<QPushButton*>(QStringLiteral("CommandCouple")), Qt::LeftButton);
    const QString firstLink = invitation.findChild<QLineEdit*>(QStringLiteral("TextLink"))->text();
    const QString secondLink = invitation.findChild<QLineEdit*>(QStringLiteral("TextLinkSecond"))->text();
    QVERIFY2(firstLink.startsWith(base + QStringLiteral("/a/")), qPrintable(firstLink));
    QVERIFY2(secondLink.startsWith(base + QStringLiteral("/a/")), qPrintable(secondLink));
    QVERIFY(firstLink != secondLink);
    invitation.close();

    // Both spouses answer in the browser while this event loop serves them.
    QProcess browser;
    browser.setProcessChannelMode(QProcess::MergedChannels);
    QSignalSpy finished(&browser, &QProcess::finished);
    browser.start(QStringLiteral(T35_PYTHON),
        { QStringLiteral(T35_BROWSER_SCRIPT), QStringLiteral("--answer"), firstLink, tapped(false), secondLink,
            tapped(true) });
    QVERIFY2(browser.waitForStarted(10000), qPrintable(browser.errorString()));
    QVERIFY(finished.wait(180000));
    const QByteArray said = browser.readAll();
    if (browser.exitCode() == 77)
        QSKIP(said.trimmed().constData());
    QVERIFY2(browser.exitStatus() == QProcess::NormalExit && browser.exitCode() == 0, said.constData());

    ComparisonWindow comparison(program.database(), program.messages());
    comparison.show();
    comparison.compareCouple(First, Second);
    QVERIFY(comparison.shownComparison().has_value());

    // Item by item, the category the chosen options make.
    auto* items = comparison.findChild<QTableWidget*>(QStringLiteral("ItemTable"));
    QCOMPARE(items->rowCount(), 35);
    QHash<Scale, std::pair<int, int>> positiveOf; // positive, all
    for (int item = 1; item <= 35; ++item) {
        QCOMPARE(items->item(item - 1, 0)->text(), ShownNumbers::number(item));
        if (isIdealisedItem(item))
            continue;
        QCOMPARE(items->item(item - 1, 4)->text(), agreementCaption(planned(item)));
        auto& [positive, all] = positiveOf[*scaleOfItem(item)];
        positive += planned(item) == Agreement::Positive ? 1 : 0;
        ++all;
    }

    // Each content scale's share of positive agreement, in whole percent.
    auto* agreement = comparison.findChild<QTableWidget*>(QStringLiteral("AgreementTable"));
    QVERIFY(!agreement->isHidden());
    QCOMPARE(agreement->rowCount(), 3);
    for (Scale scale : { Scale::Rezayat, Scale::Ertebat, Scale::HaleT }) {
        const auto [positive, all] = positiveOf.value(scale);
        QVERIFY(all > 0);
        const int percent = (200 * positive + all) / (2 * all);
        QVERIFY2(percent > 0 && percent < 100, "every scale should mix agreeing and other answers");
        bool found = false;
        for (int row = 0; row < agreement->rowCount(); ++row) {
            if (agreement->item(row, 0)->text() != scaleInfo(scale).caption)
                continue;
            QCOMPARE(agreement->item(row, 1)->text(), ShownNumbers::number(percent));
            found = true;
        }
        QVERIFY2(found, qPrintable(scaleInfo(scale).caption));
    }
}

QTEST_MAIN(TestCoupleInBrowser)
#include "TestCoupleInBrowser.moc"
