#include "app/AppFixture.h"
#include "backup/ExitPrompt.h"
#include "scoring/PrintedCodes.h"
#include "scoring/reports/ComparisonReport.h"
#include "scoring/reports/ListReport.h"
#include "text/PersianLetters.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>

namespace {

// Opens the exit prompt the way the main window's close rule does.
ExitPrompt* leaveMainWindow(WindowRouter& router)
{
    router.mainWindow()->close();
    return router.exitPrompt();
}

void clickPicture(ExitPrompt* prompt, const char* resting, const char* clickable)
{
    QWidget* rest = prompt->findChild<QWidget*>(QString::fromLatin1(resting));
    QTest::mouseMove(rest, rest->rect().center());
    QTest::mouseClick(prompt->findChild<QToolButton*>(QString::fromLatin1(clickable)), Qt::LeftButton);
}

// Keeps the documents the router would show in a preview window.
class PreviewRecorder : public WindowRouter {
public:
    using WindowRouter::WindowRouter;
    void showPreview(std::shared_ptr<PagedDocument> document) override { shown << document; }
    QList<std::shared_ptr<PagedDocument>> shown;
};

QWidget* openWindow(const QString& name)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == name && top->isVisible())
            return top;
    return nullptr;
}

} // namespace

class TestWindowRouter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void oneMainWindowAtATime();
    void exitPromptCancelled();
    void exitPromptConfirmed();
    void exitPromptConfirmedWithBackup();
    void exitPromptClosedByItsFrame();
    void exitPromptOpenedOnceAndPlacedAgain();
    void handBack_data();
    void handBack();
    void handBackClosedRightAfterTheMainWindow();
    void runTestFindsAnswerRows_data();
    void runTestFindsAnswerRows();
    void windowsGoWithTheRouter();
    void lookupPrintoutIsTheListReportByGroup();
    void lookupExportCarriesPercentsAndLevels();
    void comparisonPrintoutIsPreviewedAndClosingHandsBack();
};

void TestWindowRouter::oneMainWindowAtATime()
{
    Hub hub;
    MainWindow* first = hub.show();
    hub.router.showMainWindow();
    QCOMPARE(hub.main(), first);
    int mains = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        mains += qobject_cast<MainWindow*>(w) && w->isVisible();
    QCOMPARE(mains, 1);
}

void TestWindowRouter::exitPromptCancelled()
{
    Hub hub;
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '6'"));
    QPointer<MainWindow> first = hub.show();
    Drive::click(first, QStringLiteral("Command9"));
    QPointer<ExitPrompt> prompt = leaveMainWindow(hub.router);
    QVERIFY(prompt);
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '2'"));

    clickPicture(prompt, "C1", "C2");
    // Back to a freshly loaded main window; the prompt is gone.
    QVERIFY(hub.main());
    QVERIFY(hub.main() != first);
    QVERIFY(hub.main()->isVisible());
    QVERIFY(!hub.handedOver());
    QCOMPARE(hub.main()->property("appliedTheme").toInt(), 2);
    QTRY_VERIFY(!prompt);
    QTRY_VERIFY(!first);
    QTest::qWait(20);
    QCOMPARE(ended.count(), 0);
    QVERIFY(!hub.router.exitPrompt());
}

void TestWindowRouter::exitPromptConfirmed()
{
    Hub hub;
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    hub.show();
    ExitPrompt* prompt = leaveMainWindow(hub.router);
    clickPicture(prompt, "k1", "k2");
    QCOMPARE(ended.count(), 1);
    QVERIFY(!hub.main() || !hub.main()->isVisible());
    QTest::qWait(20);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

void TestWindowRouter::exitPromptConfirmedWithBackup()
{
    Hub hub;
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    hub.show();
    QPointer<ExitPrompt> prompt = leaveMainWindow(hub.router);
    prompt->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
    clickPicture(prompt, "k1", "k2");
    QPointer<QWidget> backup;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Frmbackup") && w->isVisible())
            backup = w;
    QVERIFY(backup);
    QVERIFY(prompt && !prompt->isVisible());
    QTest::qWait(20);
    QCOMPARE(ended.count(), 0);

    // Closing it, in any way, ends the program with no further question.
    backup->close();
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(!hub.main());
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

void TestWindowRouter::exitPromptClosedByItsFrame()
{
    Hub hub;
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    hub.show();
    ExitPrompt* prompt = leaveMainWindow(hub.router);
    prompt->close();
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(!hub.main());
}

void TestWindowRouter::exitPromptOpenedOnceAndPlacedAgain()
{
    Hub hub;
    hub.router.openExitPrompt(5000, 4500);
    ExitPrompt* prompt = hub.router.exitPrompt();
    QCOMPARE(prompt->pos(), QPoint(Twips::toPixelsX(5000), Twips::toPixelsY(4500)));
    hub.router.openExitPrompt(5000, 1500);
    QCOMPARE(hub.router.exitPrompt(), prompt);
    QCOMPARE(prompt->pos(), QPoint(Twips::toPixelsX(5000), Twips::toPixelsY(1500)));
    int prompts = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        prompts += qobject_cast<ExitPrompt*>(w) != nullptr;
    QCOMPARE(prompts, 1);
}

void TestWindowRouter::handBack_data()
{
    QTest::addColumn<bool>("handsBack");
    QTest::addColumn<bool>("mainStaysOpen");
    QTest::addColumn<bool>("mainAfter");
    QTest::addColumn<bool>("ends");
    QTest::newRow("hands back") << true << false << true << false;
    QTest::newRow("hands nothing back, last window") << false << false << false << true;
    QTest::newRow("hands nothing back, main still open") << false << true << true << false;
}

void TestWindowRouter::handBack()
{
    QFETCH(bool, handsBack);
    QFETCH(bool, mainStaysOpen);
    QFETCH(bool, mainAfter);
    QFETCH(bool, ends);
    Hub hub;
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    QPointer<MainWindow> first = hub.show();
    QPointer<QWidget> other = new QWidget;
    hub.router.open(other, handsBack ? WindowRouter::HandBack::OnClose : WindowRouter::HandBack::None);
    QVERIFY(other->testAttribute(Qt::WA_DeleteOnClose));
    if (!mainStaysOpen) {
        // A hand-over: the main window closes without the exit prompt.
        hub.router.setHandOverState(WindowRouter::HandOverState::HandedOver);
        first->close();
        QTRY_VERIFY(!first);
        letTheRouterSettle();
        QVERIFY(!hub.router.exitPrompt());
        QCOMPARE(ended.count(), 0);
    }
    other->close();
    QTRY_VERIFY(!other);
    QTest::qWait(20);
    QCOMPARE(hub.main() != nullptr, mainAfter);
    if (mainAfter)
        QVERIFY(hub.main()->isVisible());
    // A main window loaded afresh is not handed over; one that stayed open is as it was.
    QCOMPARE(hub.handedOver(), !mainAfter);
    QCOMPARE(ended.count(), ends ? 1 : 0);
}

void TestWindowRouter::handBackClosedRightAfterTheMainWindow()
{
    // Both go before the router has settled either: the one that hands back still brings the main window.
    Hub hub;
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    auto* plain = new QWidget;
    auto* handingBack = new QWidget;
    hub.router.open(plain, WindowRouter::HandBack::None);
    hub.router.open(handingBack, WindowRouter::HandBack::OnClose);
    plain->close();
    handingBack->close();
    QTRY_VERIFY(hub.main());
    QVERIFY(hub.main()->isVisible());
    QTest::qWait(20);
    QCOMPARE(ended.count(), 0);
}

void TestWindowRouter::runTestFindsAnswerRows_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("found");
    QTest::newRow("registered") << "12" << true;
    QTest::newRow("unknown") << "13" << false;
    QTest::newRow("codes are text") << "012" << false;
    QTest::newRow("apostrophe") << "O'Brien" << true;
    QTest::newRow("only in IDE") << "ide-only" << false;
    QTest::newRow("only in Answer") << "answer-only" << true;
}

void TestWindowRouter::runTestFindsAnswerRows()
{
    QFETCH(QString, code);
    QFETCH(bool, found);
    Hub hub;
    hub.program.addExaminee(QStringLiteral("12"));
    hub.program.addExaminee(QStringLiteral("O'Brien"));
    hub.program.exec(QStringLiteral("INSERT INTO IDE (Code) VALUES ('ide-only')"));
    hub.program.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES ('answer-only')"));
    MainWindow* w = hub.show();
    TestWindowCloser closer;
    QCOMPARE(hub.router.runTest(w, code),
             found ? WindowRouter::TestRun::Ran : WindowRouter::TestRun::NoSuchExaminee);
    // Found: the test window was open modally over the main window until it closed.
    const QStringList expected = found ? QStringList { "FrmTest", "Frm1" } : QStringList {};
    QCOMPARE(closer.seen, expected);
    QCOMPARE(hub.program.rowCount(QStringLiteral("Answer")), 3);
}

void TestWindowRouter::windowsGoWithTheRouter()
{
    QPointer<QWidget> main;
    QPointer<QWidget> prompt;
    {
        TestProgram program;
        WindowRouter router(program.database(), program.messages(), program.fileDialogs());
        router.showMainWindow();
        router.openExitPrompt(5000, 4500);
        main = router.mainWindow();
        prompt = router.exitPrompt();
        QVERIFY(main && prompt);
    }
    QVERIFY(!main);
    QVERIFY(!prompt);
}

void TestWindowRouter::lookupPrintoutIsTheListReportByGroup()
{
    Hub<PreviewRecorder> hub;
    hub.program.addExaminee(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("B"));
    hub.program.addExaminee(QStringLiteral("2"), QStringLiteral("Ali"), QStringLiteral("A"));
    hub.program.addExaminee(QStringLiteral("3"), QStringLiteral("Ali"), QStringLiteral("C"));
    hub.program.addExaminee(QStringLiteral("4"), QStringLiteral("Ali"), QStringLiteral("A"));
    hub.program.exec(QStringLiteral("UPDATE Theme SET Adress = 'Tabriz'"));
    QVERIFY(hub.router.openLookupWindow());
    QWidget* lookup = openWindow(QStringLiteral("FrmCode"));
    QVERIFY(lookup);

    // Without a search every examinee is listed, and printed group by group.
    Drive::click(lookup, QStringLiteral("Command1"));
    QCOMPARE(hub.router.shown.size(), 1);
    auto* report = dynamic_cast<ListReport*>(hub.router.shown.at(0).get());
    QVERIFY(report);
    QCOMPARE(printedCodes(*report), (QStringList { "2", "4", "1", "3" }));
    QCOMPARE(report->captions().address, QStringLiteral("Tabriz"));

    // Under a group search, exactly the examinees listed.
    auto* group = Drive::find<QComboBox>(lookup, QStringLiteral("Combo3"));
    group->setEditText(QStringLiteral("A"));
    Drive::click(lookup, QStringLiteral("Command1"));
    QCOMPARE(hub.router.shown.size(), 2);
    report = dynamic_cast<ListReport*>(hub.router.shown.at(1).get());
    QVERIFY(report);
    QCOMPARE(printedCodes(*report), (QStringList { "2", "4" }));
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

void TestWindowRouter::lookupExportCarriesPercentsAndLevels()
{
    Hub hub;
    hub.program.addExaminee(QStringLiteral("7"));
    hub.program.exec(QStringLiteral(
        "UPDATE IDE SET Rezayat = '40', Ertebat = '31', HaleT = '20', TahrifeA = '12' WHERE Code = '7'"));
    QVERIFY(hub.router.openLookupWindow());
    QWidget* lookup = openWindow(QStringLiteral("FrmCode"));
    QVERIFY(lookup);

    // Percents and levels by the questionnaire's tables: 40 -> 80, 31 -> 50, 20 -> 15, and 12 -> 35 on the
    // shorter scale.
    const QString path = QDir(hub.program.folder()).filePath(QStringLiteral("out.csv"));
    hub.program.fileDialogs().names.enqueue(path);
    Drive::click(lookup, QStringLiteral("CommandExport"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    const QStringList cells = QString::fromUtf8(lines.value(1)).trimmed().split(QLatin1Char(','));
    // The scales' figures, then the partner's code (none: never compared); the levels in the headings' letters.
    QStringList expected { "40", "80", "بالا", "31", "50", "متوسط", "20", "15", "خيلي پايين", "12", "35", "پايين", "" };
    for (QString& cell : expected)
        cell = PersianLetters::asTyped(cell);
    QCOMPARE(cells.mid(cells.size() - 13), expected);
}

void TestWindowRouter::comparisonPrintoutIsPreviewedAndClosingHandsBack()
{
    Hub<PreviewRecorder> hub;
    hub.program.addExaminee(QStringLiteral("1"));
    hub.program.addExaminee(QStringLiteral("2"));
    hub.program.setAnswers(QStringLiteral("1"), QStringList(35, QStringLiteral("4")));
    hub.program.setAnswers(QStringLiteral("2"), QStringList(35, QStringLiteral("2")));
    QPointer<MainWindow> first = hub.show();
    QVERIFY(Drive::click(first, QStringLiteral("Command13")));
    QTRY_VERIFY(!first);
    QPointer<QWidget> comparison = openWindow(QStringLiteral("FrmCompare"));
    QVERIFY(comparison);

    Drive::find<QLineEdit>(comparison, QStringLiteral("FirstCode"))->setText(QStringLiteral("1"));
    Drive::find<QLineEdit>(comparison, QStringLiteral("SecondCode"))->setText(QStringLiteral("2"));
    QVERIFY(Drive::click(comparison, QStringLiteral("Command1")));
    QVERIFY(Drive::click(comparison, QStringLiteral("Command2")));
    QCOMPARE(hub.router.shown.size(), 1);
    QVERIFY(dynamic_cast<ComparisonReport*>(hub.router.shown.at(0).get()));
    QCOMPARE(hub.program.messages().boxes.size(), 0);

    QVERIFY(Drive::click(comparison, QStringLiteral("Command5")));
    QTRY_VERIFY(!comparison);
    QTRY_VERIFY(hub.main() && hub.main()->isVisible());
}

QTEST_MAIN(TestWindowRouter)
#include "TestWindowRouter.moc"
