#include "app/AppFixture.h"
#include "app/Desktop.h"
#include "audit/AuditWindow.h"
#include "data/TableCursor.h"
#include "backup/ExitPrompt.h"
#include "calendar/SolarHijri.h"
#include "settings/DatabasePanel.h"
#include "support/LockHolder.h"
#include "support/ScratchServer.h"
#include "support/TableContents.h"
#include "support/TableHold.h"
#include "text/ProgramSettings.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QUrl>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStyle>
#include <QToolButton>

namespace {

const QStringList kPanels = {"DatabasePanel", "Frame6", "Frame8", "Frame9", "Frame10", "FrameDataFile", "FramePhone"};

// A panel not built yet has never been shown.
QStringList visiblePanels(QWidget* window)
{
    QStringList visible;
    for (const QString& name : kPanels)
        if (auto* panel = window->findChild<QWidget*>(name); panel && panel->isVisible())
            visible << name;
    return visible;
}

QLabel* hint(QWidget* window)
{
    return Drive::find<QLabel>(window, QStringLiteral("SkinLabel2"));
}

void fillRegistration(QWidget* window, const QString& code)
{
    Drive::find<QLineEdit>(window, "Text11")->setText(code);
    Drive::find<QLineEdit>(window, "Text6")->setText(QStringLiteral("Ali"));
    Drive::find<QLineEdit>(window, "Text4")->setText(QStringLiteral("Ahmadi"));
    Drive::find<QComboBox>(window, "Combo2")->setCurrentIndex(0);
    Drive::find<QLineEdit>(window, "Text5")->setText(QStringLiteral("30"));
    Drive::find<QComboBox>(window, "Combo1")->setCurrentIndex(0);
    Drive::find<QComboBox>(window, "Combo3")->setCurrentIndex(0);
    Drive::find<QLineEdit>(window, "Text7")->setText(QStringLiteral("Lisans"));
}

// Registers an examinee through the panel, as the operator does.
void registerThroughPanel(QWidget* window, const QString& code)
{
    Drive::click(window, QStringLiteral("Command1"));
    fillRegistration(window, code);
    Drive::click(window, QStringLiteral("Command8"));
}

Maker::Details makerWithSites()
{
    Maker::Details maker;
    maker.programmer = QStringLiteral("Reza Ahmadi");
    maker.webSite = QStringLiteral("https://maker.test");
    maker.shop = QStringLiteral("https://shop.maker.test");
    return maker;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }

    void load();
    void loadReadsTheme_data();
    void loadReadsTheme();
    void panels_data();
    void panels();
    void hints_data();
    void hints();
    void noHintOfTheirOwn_data();
    void noHintOfTheirOwn();
    void closeRule_data();
    void closeRule();
    void closingWaitsForTheCopyToTheServer();
    void runTest_data();
    void runTest();
    void runTestOnALockedFile();
    void emptyAnswerTableDoesNothing_data();
    void emptyAnswerTableDoesNothing();
    void handOverAndBack_data();
    void handOverAndBack();
    void lookupWindowHandsBack();
    void scoringWindowHandsBack();
    void registration();
    void activityWindowFromSettings();
    void persianDigitsTick();
    void registrationCancelled();
    void unsavedRegistrationDroppedByOtherButtons();
    void calculator_data();
    void calculator();
    void webPages_data();
    void webPages();
    void aboutIsModal();
    void clinicNameFollowsTyping();
    void clinicNameShownAsTyped();
    void clinicNameClearOfTheThemePanel();
    void dataFilePlace();
    void keyboard();
    void nothingCutOff();
};

void TestMainWindow::load()
{
    Hub hub;
    MainWindow* w = hub.show();
    QVERIFY(w);
    QCOMPARE(w->objectName(), QStringLiteral("Frm1"));
    QVERIFY(!hub.handedOver());
    QCOMPARE(visiblePanels(w), QStringList{});
    QVERIFY(!hint(w)->isVisible());
    QVERIFY(hint(w)->text().isEmpty());
    QWidget* column = Drive::find<QFrame>(w, "Frame7");
    QVERIFY(column->isVisible());
    // The column sits on the right: it ends within the window, and nothing of it is cut off.
    QVERIFY(w->rect().contains(column->geometry()));
    QVERIFY(column->geometry().left() > w->width() / 2);
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

void TestMainWindow::loadReadsTheme_data()
{
    QTest::addColumn<QString>("th");
    QTest::addColumn<int>("applied");
    QTest::addColumn<QString>("name");
    QTest::newRow("seed") << "1" << 1 << "";
    QTest::newRow("seven") << "7" << 7 << QStringLiteral("کلينيک مهر");
    QTest::newRow("eleven") << "11" << 11 << "Razi";
    QTest::newRow("twelve names none") << "12" << 0 << "Razi";
    QTest::newRow("not a number") << "x" << 0 << "";
}

void TestMainWindow::loadReadsTheme()
{
    QFETCH(QString, th);
    QFETCH(int, applied);
    QFETCH(QString, name);
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = ?, Name = ?"), {th, name});
    MainWindow* w = hub.show();
    QCOMPARE(w->property("appliedTheme").toInt(), applied);
    QCOMPARE(Drive::find<QLineEdit>(w, "Text1")->text(), th);
    QCOMPARE(Drive::find<QLabel>(w, "SkinLabel1")->text(), name);
}

void TestMainWindow::panels_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("visible");
    QTest::newRow("registration") << QStringList{"Command1"} << QStringList{"Frame10"};
    QTest::newRow("settings") << QStringList{"Command9"} << QStringList{"Frame8"};
    QTest::newRow("settings and clinic") << QStringList{"Command9", "Command67"} << QStringList{"Frame8", "Frame9"};
    QTest::newRow("settings and theme") << QStringList{"Command9", "Command68"} << QStringList{"Frame6", "Frame8"};
    QTest::newRow("theme, then clinic") << QStringList{"Command9", "Command68", "Command67"}
                                        << QStringList{"Frame8", "Frame9"};
    QTest::newRow("clinic, then theme") << QStringList{"Command9", "Command67", "Command68"}
                                        << QStringList{"Frame6", "Frame8"};
    QTest::newRow("theme panel's exit closes only it") << QStringList{"Command9", "Command68", "Command46"}
                                                       << QStringList{"Frame8"};
    QTest::newRow("clinic panel's cancel closes only it") << QStringList{"Command9", "Command67", "Command7"}
                                                          << QStringList{"Frame8"};
    QTest::newRow("settings exit with clinic") << QStringList{"Command9", "Command67", "Command69"} << QStringList{};
    QTest::newRow("settings exit with theme") << QStringList{"Command9", "Command68", "Command69"} << QStringList{};
    QTest::newRow("settings and data file") << QStringList{"Command9", "Command71"}
                                            << QStringList{"Frame8", "FrameDataFile"};
    QTest::newRow("data file, then clinic") << QStringList{"Command9", "Command71", "Command67"}
                                            << QStringList{"Frame8", "Frame9"};
    QTest::newRow("data file panel's close closes only it") << QStringList{"Command9", "Command71", "CmdCloseDataFile"}
                                                            << QStringList{"Frame8"};
    QTest::newRow("settings exit with data file") << QStringList{"Command9", "Command71", "Command69"}
                                                  << QStringList{};
    QTest::newRow("settings and database") << QStringList{"Command9", "Command70"}
                                           << QStringList{"DatabasePanel", "Frame8"};
    QTest::newRow("database, then clinic") << QStringList{"Command9", "Command70", "Command67"}
                                           << QStringList{"Frame8", "Frame9"};
    QTest::newRow("database panel's cancel closes only it") << QStringList{"Command9", "Command70", "DatabaseCancel"}
                                                            << QStringList{"Frame8"};
    QTest::newRow("settings exit with database") << QStringList{"Command9", "Command70", "Command69"} << QStringList{};
    QTest::newRow("registration alone") << QStringList{"Command9", "Command67", "Command1"}
                                        << QStringList{"Frame10"};
    QTest::newRow("settings closes registration") << QStringList{"Command1", "Command9"} << QStringList{"Frame8"};
    QTest::newRow("calculator closes panels") << QStringList{"Command9", "Command68", "Command5"} << QStringList{};
    QTest::newRow("about closes panels") << QStringList{"Command1", "Command12"} << QStringList{};
    QTest::newRow("help leaves panels") << QStringList{"Command9", "Command67", "CmdHelp"}
                                        << QStringList{"Frame8", "Frame9"};
    QTest::newRow("banner leaves panels") << QStringList{"Command1", "Picture1"} << QStringList{"Frame10"};
}

void TestMainWindow::panels()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, visible);
    Hub hub;
    hub.router.setMaker(makerWithSites());
    MainWindow* w = hub.show();
    TestWindowCloser aboutCloser(QStringLiteral("FrmAbout"));
    for (const QString& name : clicks)
        QVERIFY(Drive::click(w, name));
    QCOMPARE(visiblePanels(w), visible);
    // Each fits the window where it is shown.
    for (const QString& name : visible)
        QVERIFY2(w->rect().contains(Drive::find<QWidget>(w, name)->geometry()), qPrintable(name));
    QVERIFY(w->isVisible());
}

void TestMainWindow::hints_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("register") << "Command1"
                              << QStringLiteral(" شما بايد هر آزمودني را ابتدا ثبت نام کرده و سپس روي دکمه اجراي تست کليک کرده و کد آزمودني را وارد کنيد");
    QTest::newRow("run test") << "Command2"
                              << QStringLiteral(" جهت جواب دادن به سؤالها روي اين دکمه کليک کنيد و کد آزمودني مورد نظر را وارد کنيد ");
    QTest::newRow("scoring") << "Command3" << QStringLiteral(" جهت کليد گذاري روي اين دکمه کليک مي کنيد");
    QTest::newRow("lookup") << "Command4"
                            << QStringLiteral(" درصورتيکه کد آزمودني را فراموش کرده ايد با کليک بر روي  اين قسمت مي توانيد آن را بدست بياوريد");
    QTest::newRow("settings") << "Command9"
                              << QStringLiteral("با کليک بر روي اين دکمه شمامي توانيد:۱- تم برنامه را عوض کنيد ۲- نام و آدرس کلينيک را وارد کنيد");
}

void TestMainWindow::hints()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    Hub hub;
    MainWindow* w = hub.show();
    QWidget* target = Drive::find<QWidget>(w, button);
    QTest::mouseMove(target, target->rect().center());
    QVERIFY(hint(w)->isVisible());
    QCOMPARE(hint(w)->text(), text);
    // Nothing is cut off: the hint lies inside the window.
    QVERIFY(w->rect().contains(hint(w)->geometry()));

    // The window's free area hides it.
    QTest::mouseMove(w, QPoint(4, 4));
    QVERIFY(!hint(w)->isVisible());
    QVERIFY(hint(w)->text().isEmpty());

    // So does the column's own background, in its margin beside the buttons.
    QTest::mouseMove(target, target->rect().center());
    QVERIFY(hint(w)->isVisible());
    QWidget* column = Drive::find<QWidget>(w, "Frame7");
    QTest::mouseMove(column, QPoint(Twips::toPixelsX(120), Twips::toPixelsY(5000)));
    QVERIFY(!hint(w)->isVisible());
    QVERIFY(hint(w)->text().isEmpty());
}

void TestMainWindow::noHintOfTheirOwn_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("calculator") << "Command5";
    QTest::newRow("about") << "Command12";
    QTest::newRow("leave") << "Command6";
}

void TestMainWindow::noHintOfTheirOwn()
{
    QFETCH(QString, button);
    Hub hub;
    MainWindow* w = hub.show();
    QWidget* target = Drive::find<QWidget>(w, button);
    QTest::mouseMove(target, target->rect().center());
    QVERIFY(!hint(w)->isVisible());

    // A hint already shown stays as it was.
    QWidget* settings = Drive::find<QWidget>(w, "Command9");
    QTest::mouseMove(settings, settings->rect().center());
    const QString shown = hint(w)->text();
    QTest::mouseMove(target, target->rect().center());
    QVERIFY(hint(w)->isVisible());
    QCOMPARE(hint(w)->text(), shown);
}

void TestMainWindow::closeRule_data()
{
    QTest::addColumn<bool>("registerFirst");
    QTest::addColumn<bool>("byLeaveButton");
    QTest::addColumn<bool>("prompt");
    QTest::addColumn<int>("promptTop");
    QTest::newRow("close box after a fresh load") << false << false << true << 1500;
    QTest::newRow("leave button after a fresh load") << false << true << true << 1500;
    QTest::newRow("close box after a registration") << true << false << false << 0;
    QTest::newRow("leave button after a registration") << true << true << true << 4500;
}

void TestMainWindow::closeRule()
{
    QFETCH(bool, registerFirst);
    QFETCH(bool, byLeaveButton);
    QFETCH(bool, prompt);
    QFETCH(int, promptTop);
    Hub hub;
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    QPointer<MainWindow> w = hub.show();
    if (registerFirst) {
        registerThroughPanel(w, QStringLiteral("12"));
        QCOMPARE(hub.program.rowCount(QStringLiteral("IDE")), 1);
        QVERIFY(hub.handedOver());
    }
    if (byLeaveButton)
        Drive::click(w, QStringLiteral("Command6"));
    else
        w->close();

    QVERIFY(!w || !w->isVisible());
    ExitPrompt* exitPrompt = hub.router.exitPrompt();
    QCOMPARE(exitPrompt != nullptr, prompt);
    if (prompt) {
        QVERIFY(exitPrompt->isVisible());
        QCOMPARE(exitPrompt->pos(), QPoint(Twips::toPixelsX(5000), Twips::toPixelsY(promptTop)));
        QTRY_VERIFY(!w);
        QTest::qWait(20);
        QCOMPARE(ended.count(), 0);
    } else {
        // No exit prompt and no other window: the program ends.
        QTRY_COMPARE(ended.count(), 1);
    }
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

void TestMainWindow::closingWaitsForTheCopyToTheServer()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    Hub hub;
    hub.program.addExaminee(QStringLiteral("7"));
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    const auto before = tableContents(*server);
    QPointer<MainWindow> w = hub.show();
    Drive::click(w, QStringLiteral("Command9"));
    Drive::click(w, QStringLiteral("Command70"));
    Drive::find<QRadioButton>(w, "DatabaseServer")->setChecked(true);
    Drive::find<QLineEdit>(w, "DatabaseHost")->setText(scratch.address().host);
    Drive::find<QLineEdit>(w, "DatabasePort")->setText(QString::number(scratch.address().port));
    Drive::find<QLineEdit>(w, "DatabaseName")->setText(scratch.address().database);
    Drive::find<QLineEdit>(w, "DatabaseUser")->setText(scratch.address().user);
    hub.program.messages().answers.enqueue(Msg::Yes);
    // The examinee is written, the answers wait; the window is closed meanwhile and stays until the copy stopped.
    TableHold hold(scratch.address(), QStringLiteral("Answer"), QStringLiteral("SHARE"));
    QVERIFY(hold.held());
    bool stayed = false;
    hold.whenWaitedFor([&] {
        w->close();
        stayed = w->isVisible() && Drive::find<DatabasePanel>(w, "DatabasePanel")->isCopying();
    });
    QVERIFY(Drive::click(w, QStringLiteral("DatabaseCopy")));
    QVERIFY(stayed);
    QTRY_VERIFY(!w);
    QVERIFY(hub.router.exitPrompt());
    QCOMPARE(hub.program.messages().boxes.size(), 1);
    QCOMPARE(tableContents(*server), before);
}

void TestMainWindow::runTest_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("notice"); // "" when the test runs
    QTest::addColumn<QString>("lookedUp");
    const QString enterNumber = QStringLiteral("شما بايد شماره آزمودني مورد نظر را وارد كنيد");
    const QString noSuch = QStringLiteral("فردي با اين مشخصات وجود ندارد");
    QTest::newRow("empty code or cancelled") << "" << enterNumber << "";
    QTest::newRow("blanks only") << "   " << enterNumber << "";
    QTest::newRow("unknown code") << "99" << noSuch << "99";
    QTest::newRow("known code") << "12" << "" << "12";
    QTest::newRow("known code with blanks") << " 12 " << "" << "12";
    QTest::newRow("invisible marks only") << QStringLiteral(" \u200F\u200B ") << enterNumber << "";
    QTest::newRow("known code in Persian digits") << QStringLiteral("\u06F1\u06F2") << ""
                                                  << QStringLiteral("\u06F1\u06F2");
    QTest::newRow("codes are text") << "012" << noSuch << "012";
    QTest::newRow("apostrophe") << "O'Brien" << "" << "O'Brien";
}

void TestMainWindow::runTest()
{
    QFETCH(QString, typed);
    QFETCH(QString, notice);
    QFETCH(QString, lookedUp);
    Hub<StandInRouter> hub;
    hub.program.addExaminee(QStringLiteral("12"));
    hub.program.addExaminee(QStringLiteral("O'Brien"));
    MainWindow* w = hub.show();
    Drive::click(w, QStringLiteral("Command9"));
    hub.program.messages().typed.enqueue(typed);
    Drive::click(w, QStringLiteral("Command2"));

    const QList<ScriptedMessages::Box>& boxes = hub.program.messages().boxes;
    QVERIFY(!boxes.isEmpty());
    QCOMPARE(boxes.first().kind, ScriptedMessages::Kind::Prompt);
    QCOMPARE(boxes.first().text, QStringLiteral(" Plese Insert Code "));
    QCOMPARE(boxes.first().title, QStringLiteral("Enter Code "));
    QCOMPARE(hub.program.messages().noticeTexts(), notice.isEmpty() ? QStringList{} : QStringList{notice});
    QCOMPARE(hub.router.requests,
             lookedUp.isEmpty() ? QStringList{} : QStringList{QStringLiteral("test:") + lookedUp});
    // A known code opens the test window modally over the main window.
    const QStringList expected = notice.isEmpty() ? QStringList{"FrmTest", "Frm1"} : QStringList{};
    QCOMPARE(hub.router.modalWindows, expected);
    // The panels were closed first, and the window stays.
    QCOMPARE(visiblePanels(w), QStringList{});
    QVERIFY(w->isVisible());
    QVERIFY(!hub.handedOver());
}

void TestMainWindow::runTestOnALockedFile()
{
    Hub<StandInRouter> hub;
    hub.program.addExaminee(QStringLiteral("12"));
    MainWindow* w = hub.show();
    constexpr int wait = 300;
    hub.program.database().setLockWait(wait);
    LockHolder other(hub.program.database().filePath());
    hub.program.messages().typed.enqueue(QStringLiteral("12"));
    QElapsedTimer clock;
    clock.start();
    Drive::click(w, QStringLiteral("Command2"));

    // Not "no such examinee": the operator learns the file is busy, and the test window does not open.
    QVERIFY2(clock.elapsed() < 3 * wait, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(hub.program.messages().noticeTexts(), QStringList{});
    const QList<ScriptedMessages::Box>& boxes = hub.program.messages().boxes;
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.last().kind, ScriptedMessages::Kind::Standard);
    QVERIFY2(boxes.last().text.startsWith(Msg::DatabaseBusy), qPrintable(boxes.last().text));
    QCOMPARE(boxes.last().owner.data(), w);
    QCOMPARE(hub.router.modalWindows, QStringList{});
    QVERIFY(w->isVisible());
}

void TestMainWindow::emptyAnswerTableDoesNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("run test") << "Command2";
    QTest::newRow("scoring") << "Command3";
    QTest::newRow("lookup") << "Command4";
}

void TestMainWindow::emptyAnswerTableDoesNothing()
{
    QFETCH(QString, button);
    Hub<StandInRouter> hub;
    MainWindow* w = hub.show();
    Drive::click(w, QStringLiteral("Command9"));
    Drive::click(w, button);
    // Nothing at all: no box, no window, and not even the panels close.
    QCOMPARE(hub.program.messages().boxes.size(), 0);
    QCOMPARE(hub.router.requests, QStringList{});
    QCOMPARE(visiblePanels(w), QStringList{"Frame8"});
    QVERIFY(w->isVisible());
    QVERIFY(!hub.handedOver());

    // Registration works on the same fresh database, and afterwards the button does something.
    registerThroughPanel(w, QStringLiteral("5"));
    QCOMPARE(hub.program.rowCount(QStringLiteral("Answer")), 1);
    hub.program.messages().typed.enqueue(QStringLiteral("5"));
    Drive::click(w, button);
    QVERIFY(!hub.router.requests.isEmpty());
}

void TestMainWindow::handOverAndBack_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::newRow("scoring") << "Command3" << "scoring";
    QTest::newRow("lookup") << "Command4" << "lookup";
    QTest::newRow("comparison") << "Command13" << "comparison";
}

void TestMainWindow::handOverAndBack()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    Hub<StandInRouter> hub;
    hub.program.addExaminee(QStringLiteral("12"));
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '3', Name = 'Razi'"));
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    QPointer<MainWindow> first = hub.show();
    QCOMPARE(first->property("appliedTheme").toInt(), 3);
    Drive::click(first, QStringLiteral("Command1"));
    Drive::click(first, button);

    QCOMPARE(hub.router.requests, QStringList{window});
    QVERIFY(hub.router.lastStandIn && hub.router.lastStandIn->isVisible());
    QVERIFY(!first->isVisible());
    QVERIFY(hub.handedOver());
    QVERIFY(!hub.router.exitPrompt());
    QTRY_VERIFY(!first);
    letTheRouterSettle();
    QVERIFY(!hub.router.mainWindow());
    QCoreApplication::processEvents(); // the router settles the main window's closing

    // Meanwhile the theme and the clinic name change; the window that comes back is loaded afresh.
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '9', Name = 'Mehr'"));
    hub.router.lastStandIn->close();
    QTRY_VERIFY(hub.main());
    MainWindow* second = hub.main();
    QVERIFY(second->isVisible());
    QVERIFY(!hub.handedOver());
    QCOMPARE(second->property("appliedTheme").toInt(), 9);
    QCOMPARE(Drive::find<QLabel>(second, "SkinLabel1")->text(), QStringLiteral("Mehr"));
    QCOMPARE(visiblePanels(second), QStringList{});
    QCOMPARE(ended.count(), 0);
    QVERIFY(!hub.router.exitPrompt());
}

void TestMainWindow::lookupWindowHandsBack()
{
    Hub hub;
    hub.program.addExaminee(QStringLiteral("12"));
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    QPointer<MainWindow> first = hub.show();
    Drive::click(first, QStringLiteral("Command4"));
    QPointer<QWidget> lookup;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("FrmCode") && top->isVisible())
            lookup = top;
    QVERIFY(lookup);
    QTRY_VERIFY(!first);
    QVERIFY(!hub.router.exitPrompt());
    QCoreApplication::processEvents(); // the router settles the main window's closing
    QCOMPARE(ended.count(), 0);

    // Its own button "خروج" closes it, and the main window comes back freshly loaded.
    Drive::click(lookup, QStringLiteral("Command6"));
    QTRY_VERIFY(!lookup);
    QTRY_VERIFY(hub.main());
    QVERIFY(hub.main()->isVisible());
    QVERIFY(!hub.handedOver());
    QCOMPARE(ended.count(), 0);
}

void TestMainWindow::scoringWindowHandsBack()
{
    Hub hub;
    hub.program.addExaminee(QStringLiteral("12"));
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    QPointer<MainWindow> first = hub.show();
    Drive::click(first, QStringLiteral("Command3"));
    QPointer<QWidget> scoring;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("FrmkLID") && top->isVisible())
            scoring = top;
    QVERIFY(scoring);
    QTRY_VERIFY(!first);
    QVERIFY(!hub.router.exitPrompt());
    letTheRouterSettle();
    QCOMPARE(ended.count(), 0);

    scoring->close();
    QTRY_VERIFY(!scoring);
    QTRY_VERIFY(hub.main());
    QVERIFY(hub.main()->isVisible());
    QVERIFY(!hub.handedOver());
    QCOMPARE(ended.count(), 0);
}

namespace {

// A window that counts how often it is drawn.
class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

// The tick under settings turns Persian digits off and on for this computer's user; what is opened afterwards
// draws accordingly, and nothing stored changes.
// "گزارش فعاليت ها" under settings opens the activity window beside the main window, which stays.
void TestMainWindow::activityWindowFromSettings()
{
    Hub hub;
    MainWindow* w = hub.show();
    hub.program.addExaminee(QStringLiteral("41"));
    Drive::click(w, QStringLiteral("Command9"));
    QVERIFY(Drive::click(w, QStringLiteral("Command73")));
    AuditWindow* activity = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<AuditWindow*>(window); found && found->isVisible())
            activity = found;
    QVERIFY(activity);
    QVERIFY(w->isVisible());
    QVERIFY(!Drive::find<QWidget>(w, "Frame8")->isVisible());
    QCOMPARE(activity->listed()->count(), 2); // the examinee's two rows
    QVERIFY(hub.program.messages().boxes.isEmpty());
    activity->close();
}

void TestMainWindow::persianDigitsTick()
{
    Hub hub;
    MainWindow* w = hub.show();
    Drive::click(w, QStringLiteral("Command9"));
    auto* tick = Drive::find<QCheckBox>(w, "CheckDigits");
    QVERIFY(tick->isVisible());
    QVERIFY(tick->isChecked());
    QCOMPARE(tick->text(), QStringLiteral("ارقام فارسي"));
    QCOMPARE(tick->geometry(), QRect(Twips::toPixelsX(195), Twips::toPixelsY(2640), Twips::toPixelsX(1785),
                                     Twips::toPixelsY(495)));
    const auto* exit = Drive::find<QPushButton>(w, "Command69");
    QCOMPARE(exit->y(), Twips::toPixelsY(4440));
    QVERIFY(exit->geometry().bottom() < Drive::find<QWidget>(w, "Frame8")->height());

    // A window already open (a preview, a chart) is drawn again at once, and the home panel's figures follow.
    PaintCounter open;
    open.show();
    QVERIFY(QTest::qWaitForWindowExposed(&open));
    QTRY_VERIFY(open.paints > 0);
    const int paintsBefore = open.paints;
    QTest::mouseClick(tick, Qt::LeftButton);
    QVERIFY(!tick->isChecked());
    QVERIFY(!ShownNumbers::persianDigits());
    QTRY_VERIFY(open.paints > paintsBefore);
    QVERIFY(Drive::find<QLabel>(w, "HomeToday")->text().contains(SolarHijriToday(0)));
    QCOMPARE(QSettings(ProgramSettings::filePath(), QSettings::IniFormat).value(QStringLiteral("display/persianDigits")),
             QVariant(false));
    Drive::click(w, QStringLiteral("Command1"));
    QCOMPARE(Drive::find<QLineEdit>(w, "Text8")->text(), SolarHijriToday(0));
    Drive::click(w, QStringLiteral("Command9"));
    QTest::mouseClick(tick, Qt::LeftButton);
    QVERIFY(ShownNumbers::persianDigits());
    Drive::click(w, QStringLiteral("Command1"));
    QCOMPARE(Drive::find<QLineEdit>(w, "Text8")->text(), ShownNumbers::text(SolarHijriToday(0)));
    QVERIFY(Drive::find<QLineEdit>(w, "Text8")->text() != SolarHijriToday(0));
}

void TestMainWindow::registration()
{
    Hub hub;
    hub.program.addExaminee(QStringLiteral("1"));
    MainWindow* w = hub.show();
    Drive::click(w, QStringLiteral("Command1"));
    QCOMPARE(visiblePanels(w), QStringList{"Frame10"});
    QVERIFY(Drive::find<QLineEdit>(w, "Text11")->hasFocus());
    QVERIFY(Drive::find<QLineEdit>(w, "Text11")->text().isEmpty());
    QCOMPARE(Drive::find<QLineEdit>(w, "Text8")->text(), ShownNumbers::text(SolarHijriToday(0)));

    fillRegistration(w, QStringLiteral(" 25"));
    Drive::click(w, QStringLiteral("Command8"));
    QCOMPARE(hub.program.messages().boxes.size(), 0);
    QCOMPARE(hub.program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("25")), 1);
    QCOMPARE(hub.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("25")), 1);
    QCOMPARE(visiblePanels(w), QStringList{});
    QVERIFY(hub.handedOver());

    // The registered code can be tested at once.
    hub.program.messages().typed.enqueue(QStringLiteral("25"));
    TestWindowCloser closer;
    Drive::click(w, QStringLiteral("Command2"));
    QCOMPARE(hub.program.messages().noticeTexts(), QStringList{});
    QCOMPARE(closer.seen.value(0), QStringLiteral("FrmTest"));
}

void TestMainWindow::registrationCancelled()
{
    Hub hub;
    MainWindow* w = hub.show();
    Drive::click(w, QStringLiteral("Command1"));
    fillRegistration(w, QStringLiteral("31"));
    Drive::click(w, QStringLiteral("Command10"));
    QCOMPARE(visiblePanels(w), QStringList{});
    QCOMPARE(hub.program.rowCount(QStringLiteral("IDE")), 0);
    QCOMPARE(hub.program.rowCount(QStringLiteral("Answer")), 0);
    QVERIFY(!hub.handedOver());
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

void TestMainWindow::unsavedRegistrationDroppedByOtherButtons()
{
    Hub hub;
    hub.program.addExaminee(QStringLiteral("1"));
    MainWindow* w = hub.show();
    Drive::click(w, QStringLiteral("Command1"));
    fillRegistration(w, QStringLiteral("31"));
    Drive::click(w, QStringLiteral("Command9"));
    Drive::click(w, QStringLiteral("Command1"));
    QVERIFY(Drive::find<QLineEdit>(w, "Text11")->text().isEmpty());
    QVERIFY(Drive::find<QLineEdit>(w, "Text6")->text().isEmpty());
    QCOMPARE(hub.program.rowCount(QStringLiteral("IDE")), 1);

    // Closing the window drops it too.
    fillRegistration(w, QStringLiteral("32"));
    w->close();
    QCOMPARE(hub.program.rowCount(QStringLiteral("IDE")), 1);
    QCOMPARE(hub.program.rowCount(QStringLiteral("Answer")), 1);
}

void TestMainWindow::calculator_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QStringList>("started");
#ifdef Q_OS_WIN
    QTest::newRow("calc") << QStringList{"calc.exe"} << QStringList{"/usr/bin/calc.exe"};
#else
    QTest::newRow("first installed") << QStringList{"xcalc", "galculator"} << QStringList{"/usr/bin/galculator"};
#endif
    QTest::newRow("none installed") << QStringList{} << QStringList{};
}

void TestMainWindow::calculator()
{
    QFETCH(QStringList, installed);
    QFETCH(QStringList, started);
    Hub hub;
    hub.installed = installed;
    MainWindow* w = hub.show();
    Drive::click(w, QStringLiteral("Command5"));
    QCOMPARE(hub.started, started);
    // With none installed the operator is told so, naming what would do.
    if (started.isEmpty())
        QCOMPARE(hub.program.messages().noticeTexts(),
            QStringList { Msg::NoCalculator.arg(Desktop::calculators().join(QStringLiteral("، "))) });
    else
        QCOMPARE(hub.program.messages().boxes.size(), 0);
    QVERIFY(w->isVisible());
}

void TestMainWindow::webPages_data()
{
    QTest::addColumn<QString>("webSite");
    QTest::addColumn<QString>("shop");
    QTest::addColumn<QStringList>("help");   // what "Help" opens; empty: the button is not shown
    QTest::addColumn<QStringList>("banner"); // what the banner opens
    QTest::newRow("site and shop") << "https://maker.test" << "https://shop.maker.test"
                                   << QStringList{"https://maker.test/software/software-settings.html"}
                                   << QStringList{"https://maker.test", "https://shop.maker.test"};
    QTest::newRow("site only") << "maker.test" << ""
                               << QStringList{"https://maker.test/software/software-settings.html"}
                               << QStringList{"https://maker.test"};
    QTest::newRow("shop only") << "" << "https://shop.maker.test" << QStringList{}
                               << QStringList{"https://shop.maker.test"};
    QTest::newRow("neither") << "" << "" << QStringList{} << QStringList{};
}

void TestMainWindow::webPages()
{
    QFETCH(QString, webSite);
    QFETCH(QString, shop);
    QFETCH(QStringList, help);
    QFETCH(QStringList, banner);
    Hub hub;
    Maker::Details maker;
    maker.webSite = webSite;
    maker.shop = shop;
    hub.router.setMaker(maker);
    MainWindow* w = hub.show();
    auto* helpButton = Drive::find<QToolButton>(w, "CmdHelp");
    QCOMPARE(helpButton->isVisible(), !help.isEmpty());
    auto* picture = Drive::find<QToolButton>(w, "Picture1");
    QVERIFY(picture->isVisible());
    // The banner invites a click only when it leads somewhere.
    QCOMPARE(picture->toolTip(),
             banner.isEmpty() ? QString() : QStringLiteral("جهت ورود به سايت کليک کنيد"));
    QCOMPARE(picture->focusPolicy() != Qt::NoFocus, !banner.isEmpty());

    if (helpButton->isVisible())
        Drive::click(w, QStringLiteral("CmdHelp"));
    QCOMPARE(hub.opened, help);
    hub.opened.clear();
    QTest::mouseClick(picture, Qt::LeftButton);
    QCOMPARE(hub.opened, banner);
    QCOMPARE(hub.started, QStringList{});
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

void TestMainWindow::aboutIsModal()
{
    Hub hub;
    hub.router.setMaker(makerWithSites());
    MainWindow* w = hub.show();
    Drive::click(w, QStringLiteral("Command9"));
    const QRect place = w->geometry();

    QString seen;
    QString owner;
    bool modal = false;
    bool modalToAll = false;
    QString credit;
    QTimer::singleShot(0, this, [&] {
        QWidget* about = QApplication::activeModalWidget();
        QVERIFY(about);
        seen = about->objectName();
        owner = about->parentWidget() ? about->parentWidget()->objectName() : QString();
        modal = about->isModal();
        // Modal to the whole program: the main window takes no input while it is open.
        modalToAll = about->windowModality() == Qt::ApplicationModal;
        credit = about->findChild<QLabel*>(QStringLiteral("Label3"))->text();
        Drive::click(about, QStringLiteral("Command1"));
    });
    Drive::click(w, QStringLiteral("Command12"));
    QCOMPARE(seen, QStringLiteral("FrmAbout"));
    QCOMPARE(owner, QStringLiteral("Frm1"));
    QVERIFY(modal);
    QVERIFY(modalToAll);
    QCOMPARE(credit, QStringLiteral("برنامه نويس: ") + QChar(0x2068) + QStringLiteral("Reza Ahmadi") + QChar(0x2069));

    // "خروج" leaves the main window as it was: open, in place, not handed over, no exit prompt, no message; the
    // settings panel was closed on the way in, as every main button does.
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(hub.main(), w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->geometry(), place);
    QVERIFY(!hub.handedOver());
    QCOMPARE(visiblePanels(w), QStringList{});
    QVERIFY(!hub.router.exitPrompt());
    QVERIFY(!hub.router.hasEnded());
    QCOMPARE(hub.program.messages().boxes.size(), 0);
    QVERIFY(w->findChildren<QDialog*>().isEmpty());

    // And it opens again.
    TestWindowCloser closer(QStringLiteral("FrmAbout"));
    Drive::click(w, QStringLiteral("Command12"));
    QCOMPARE(closer.seen, QStringList({"FrmAbout", "Frm1"}));
}

void TestMainWindow::clinicNameFollowsTyping()
{
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET Name = 'Razi', Adress = 'Tehran'"));
    MainWindow* w = hub.show();
    Drive::click(w, QStringLiteral("Command9"));
    Drive::click(w, QStringLiteral("Command67"));
    auto* name = Drive::find<QLineEdit>(w, "Text2");
    QCOMPARE(name->text(), QStringLiteral("Razi"));
    QCOMPARE(Drive::find<QLineEdit>(w, "Text14")->text(), QStringLiteral("Tehran"));
    name->setFocus();
    Drive::type(name, QStringLiteral(" مهر"));
    QCOMPARE(Drive::find<QLabel>(w, "SkinLabel1")->text(), QStringLiteral("Razi مهر"));
}

void TestMainWindow::clinicNameShownAsTyped()
{
    Hub hub;
    const QString markup = QStringLiteral("<h1 style='color:red'>X</h1>");
    hub.program.exec(QStringLiteral("UPDATE Theme SET Name = ?"), {markup});
    MainWindow* w = hub.show();
    auto* label = Drive::find<QLabel>(w, "SkinLabel1");
    QCOMPARE(label->text(), markup);
    // One line, as tall as any one-line name: drawn as a heading it would stand taller.
    const int height = label->sizeHint().height();
    Drive::click(w, QStringLiteral("Command9"));
    Drive::click(w, QStringLiteral("Command67"));
    Drive::find<QLineEdit>(w, "Text2")->setText(QStringLiteral("X"));
    QCOMPARE(label->sizeHint().height(), height);
    for (QLabel* any : w->findChildren<QLabel*>())
        QVERIFY2(any->textFormat() == Qt::PlainText, qPrintable(any->objectName()));
}

void TestMainWindow::clinicNameClearOfTheThemePanel()
{
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET Name = ?"), {QStringLiteral("مرکز مشاوره مهر")});
    MainWindow* w = hub.show();
    QVERIFY(Drive::click(w, QStringLiteral("Command9")));
    QVERIFY(Drive::click(w, QStringLiteral("Command68")));
    auto* panel = Drive::find<QWidget>(w, "Frame6");
    QVERIFY(panel->isVisible());
    // The name as drawn in its label stays above the panel's frame.
    auto* label = Drive::find<QLabel>(w, "SkinLabel1");
    const QRect drawn = QStyle::alignedRect(label->layoutDirection(), label->alignment(),
        label->fontMetrics().size(0, label->text()), label->contentsRect());
    QVERIFY2(label->mapTo(w, drawn.bottomLeft()).y() < panel->y(),
             qPrintable(QStringLiteral("%1 %2").arg(label->mapTo(w, drawn.bottomLeft()).y()).arg(panel->y())));
}

void TestMainWindow::keyboard()
{
    Hub hub;
    hub.router.setMaker(makerWithSites());
    MainWindow* w = hub.show();
    // Every button of the window can be reached with Tab, from the first one round to it again.
    auto* first = Drive::find<QPushButton>(w, "Command1");
    first->setFocus();
    QStringList reached;
    for (int i = 0; i < 20 && !reached.contains(QApplication::focusWidget()->objectName()); ++i) {
        reached << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5", "Command9", "Command12",
                             "Command13", "Command14", "Command6", "CmdHelp", "Picture1"})
        QVERIFY2(reached.contains(QString::fromLatin1(name)), name);
    QCOMPARE(reached.mid(0, 10), QStringList({"Command1", "Command2", "Command3", "Command4", "Command5", "Command9",
                                              "Command12", "Command13", "Command14", "Command6"}));

    // And pressed with the keyboard.
    auto* settings = Drive::find<QPushButton>(w, "Command9");
    settings->setFocus();
    QTest::keyClick(settings, Qt::Key_Space);
    QCOMPARE(visiblePanels(w), QStringList{"Frame8"});
    auto* help = Drive::find<QToolButton>(w, "CmdHelp");
    help->setFocus();
    QTest::keyClick(help, Qt::Key_Space);
    QCOMPARE(hub.opened.size(), 1);
}

void TestMainWindow::dataFilePlace()
{
    Hub hub;
    MainWindow* w = hub.show();
    QVERIFY(Drive::click(w, QStringLiteral("Command9")));
    QVERIFY(Drive::click(w, QStringLiteral("Command71")));
    auto* path = Drive::find<QLineEdit>(w, "TextDataFile");
    QVERIFY(path->isVisible());
    // The whole path of the file the program runs on, read left to right, selectable but not editable.
    const QString file = hub.program.database().filePath();
    QCOMPARE(path->text(), QDir::toNativeSeparators(file));
    QVERIFY(QFileInfo(path->text()).isAbsolute());
    QVERIFY(path->isReadOnly());
    QCOMPARE(path->layoutDirection(), Qt::LeftToRight);
    path->selectAll();
    QCOMPARE(path->selectedText(), path->text());
    QCOMPARE(Drive::find<QLabel>(w, "SkinLabelDataFile")->buddy(), path);
    // The text fits its field or can be read whole from the tool tip.
    QCOMPARE(path->toolTip(), path->text());

    QVERIFY(hub.opened.isEmpty());
    QVERIFY(Drive::click(w, QStringLiteral("CmdOpenDataFolder")));
    QCOMPARE(hub.opened, QStringList{QUrl::fromLocalFile(QFileInfo(file).absolutePath()).toString()});
    QVERIFY(QFileInfo(QUrl(hub.opened.first()).toLocalFile()).isDir());
    // Opening the folder leaves the panel as it was.
    QCOMPARE(visiblePanels(w), (QStringList{"Frame8", "FrameDataFile"}));
}

void TestMainWindow::nothingCutOff()
{
    Hub hub;
    MainWindow* w = hub.show();
    // Open every panel once so all controls have their places.
    for (const char* name : {"Command9", "Command68", "Command71"})
        Drive::click(w, QString::fromLatin1(name));
    for (QPushButton* button : w->findChildren<QPushButton*>()) {
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(),
                 qPrintable(button->objectName()));
        QVERIFY2(button->height() >= button->minimumSizeHint().height(), qPrintable(button->objectName()));
        QVERIFY2(w->rect().contains(QRect(button->mapTo(w, QPoint(0, 0)), button->size())),
                 qPrintable(button->objectName()));
    }
    // The longest hint wraps within its label.
    QLabel* label = hint(w);
    for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command9"}) {
        QWidget* button = Drive::find<QWidget>(w, QString::fromLatin1(name));
        QTest::mouseMove(button, button->rect().center());
        QVERIFY2(label->heightForWidth(label->width()) <= label->height(), name);
    }
    for (const char* name : {"CmdHelp", "Picture1", "SkinLabel1", "SkinLabel2"}) {
        QWidget* item = Drive::find<QWidget>(w, QString::fromLatin1(name));
        QVERIFY2(w->rect().contains(item->geometry()), name);
    }
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
