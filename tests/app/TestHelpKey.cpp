#include "app/AppFixture.h"
#include "app/HelpKey.h"
#include "scoring/reports/ListReport.h"
#include "text/Digits.h"
#include "ui/HelpContents.h"
#include "ui/HelpWindow.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>

#include <functional>
#include <memory>

namespace {

QWidget* openWindow(const QString& name)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == name && top->isVisible())
            return top;
    return nullptr;
}

// F1 as a person presses it: to the widget that has the keyboard in `window`, else to the window.
void pressF1(QWidget* window)
{
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, Qt::Key_F1);
}

QStringList everyItem(const QString& value)
{
    QStringList answers;
    for (int item = 0; item < 35; ++item)
        answers << value;
    return answers;
}

// While it lives, waits for the modal window `name` (opening `via` on the way, a button of the modal window
// before it), presses F1 in it, records the help then open, and closes the help and the modal windows.
class ModalF1 {
public:
    ModalF1(WindowRouter& router, const QString& name, const QString& via = QString())
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, &router, name, via] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (modal->objectName() == name && !m_pressed) {
                m_pressed = true;
                pressF1(modal);
                if (HelpWindow* help = router.helpWindow()) {
                    section = help->currentSection();
                    // A modal window lets through only the windows that are its own.
                    helpUsable = help->isVisible() && help->isWindow() && help->parentWidget() == modal;
                    help->close();
                }
                modal->close();
                return;
            }
            if (!via.isEmpty() && !m_viaClicked && modal->findChild<QWidget*>(via)) {
                m_viaClicked = true;
                // Clicked from outside this timer's own call, which does not come again while it runs.
                QPointer<QWidget> owner = modal;
                QTimer::singleShot(0, modal, [owner, via] {
                    if (owner)
                        Drive::click(owner, via);
                });
                return;
            }
            if (m_pressed)
                modal->close();
        });
        m_timer.start(10);
    }

    QString section;
    bool helpUsable = false;

private:
    QTimer m_timer;
    bool m_pressed = false;
    bool m_viaClicked = false;
};

} // namespace

class TestHelpKey : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }

    void f1OpensTheWindowsSection_data();
    void f1OpensTheWindowsSection();
    void f1OverAModalWindowOpensAUsableHelp_data();
    void f1OverAModalWindowOpensAUsableHelp();
    void f1InADigitsOnlyBoxIsNoKeystroke();
    void aBoxSpeaksOfItsWindow();
    void oneHelpWindowFollowsTheKey();
    void helpWearsTheTheme();
    void helpDoesNotKeepTheProgramRunning();
    void homeLinkOpensTheMainWindowsSection();
};

void TestHelpKey::f1OpensTheWindowsSection_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("clicks"); // buttons of the main window pressed first
    QTest::addColumn<QString>("section");
    QTest::newRow("main window") << "Frm1" << QStringList() << "main";
    QTest::newRow("registration panel") << "Frm1" << QStringList { "Command1" } << "registration";
    QTest::newRow("settings panel") << "Frm1" << QStringList { "Command9" } << "settings";
    QTest::newRow("clinic panel") << "Frm1" << QStringList { "Command9", "Command67" } << "clinic";
    QTest::newRow("theme panel") << "Frm1" << QStringList { "Command9", "Command68" } << "themes";
    QTest::newRow("panels closed again") << "Frm1" << QStringList { "Command9", "Command69" } << "main";
    QTest::newRow("scoring window") << "FrmkLID" << QStringList() << "scoring";
    QTest::newRow("chart window") << "Frmnem" << QStringList() << "chart";
    QTest::newRow("lookup window") << "FrmCode" << QStringList() << "lookup";
    QTest::newRow("comparison window") << "FrmCompare" << QStringList() << "comparison";
    QTest::newRow("preview window") << "PreviewWindow" << QStringList() << "preview";
    QTest::newRow("theme confirmation") << "Frmskin" << QStringList() << "skin";
    QTest::newRow("exit prompt") << "ExitPrompt" << QStringList() << "exit";
    QTest::newRow("backup window") << "Frmbackup" << QStringList() << "backup";
    QTest::newRow("help window") << "FrmHelp" << QStringList() << "help";
}

void TestHelpKey::f1OpensTheWindowsSection()
{
    QFETCH(QString, window);
    QFETCH(QStringList, clicks);
    QFETCH(QString, section);
    Hub hub;
    hub.program.addExaminee(QStringLiteral("1"));
    hub.program.setAnswers(QStringLiteral("1"), everyItem(QStringLiteral("3")));
    MainWindow* main = hub.show();
    for (const QString& name : clicks)
        QVERIFY(Drive::click(main, name));

    if (window == QLatin1String("FrmkLID") || window == QLatin1String("Frmnem")) {
        QVERIFY(hub.router.openScoringWindow());
        if (window == QLatin1String("Frmnem")) {
            QWidget* scoring = openWindow(QStringLiteral("FrmkLID"));
            QVERIFY(scoring);
            hub.program.messages().typed.enqueue(QStringLiteral("1"));
            QVERIFY(Drive::click(scoring, QStringLiteral("Command1")));
            QVERIFY(Drive::click(scoring, QStringLiteral("Command2")));
        }
    } else if (window == QLatin1String("FrmCode")) {
        QVERIFY(hub.router.openLookupWindow());
    } else if (window == QLatin1String("FrmCompare")) {
        QVERIFY(hub.router.openComparisonWindow());
    } else if (window == QLatin1String("PreviewWindow")) {
        hub.router.showPreview(std::make_shared<ListReport>(QList<ListReportRow>(), ListReportCaptions(), QString()));
    } else if (window == QLatin1String("Frmskin")) {
        QVERIFY(hub.router.openThemeConfirmation());
    } else if (window == QLatin1String("ExitPrompt")) {
        hub.router.openExitPrompt(5000, 1500);
    } else if (window == QLatin1String("Frmbackup")) {
        hub.router.openBackupWindow();
    } else if (window == QLatin1String("FrmHelp")) {
        hub.router.openHelp(QStringLiteral("backup"));
    }
    QWidget* shown = openWindow(window);
    QVERIFY2(shown, qPrintable(window));
    QVERIFY(Drive::waitUntilActive(shown));
    QCOMPARE(hub.program.messages().noticeTexts(), QStringList());

    pressF1(shown);
    HelpWindow* help = hub.router.helpWindow();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->currentSection(), section);
    // Every window open now has a section of its own.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && !top->objectName().isEmpty())
            QVERIFY2(!HelpKey::sectionAt(top).isEmpty(), qPrintable(top->objectName()));
}

void TestHelpKey::f1OverAModalWindowOpensAUsableHelp_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("via");
    QTest::addColumn<QString>("section");
    QTest::newRow("test window") << "FrmTest"
                                 << ""
                                 << "test";
    QTest::newRow("about window") << "FrmAbout"
                                  << ""
                                  << "about";
    QTest::newRow("notices window") << "FrmNotices"
                                    << "CmdNotices"
                                    << "notices";
}

void TestHelpKey::f1OverAModalWindowOpensAUsableHelp()
{
    QFETCH(QString, window);
    QFETCH(QString, via);
    QFETCH(QString, section);
    Hub hub;
    hub.program.addExaminee(QStringLiteral("1"));
    MainWindow* main = hub.show();
    ModalF1 f1(hub.router, window, via);
    if (window == QLatin1String("FrmTest")) {
        hub.program.messages().typed.enqueue(QStringLiteral("1"));
        QVERIFY(Drive::click(main, QStringLiteral("Command2")));
    } else {
        QVERIFY(Drive::click(main, QStringLiteral("Command12")));
    }
    QCOMPARE(f1.section, section);
    QVERIFY(f1.helpUsable);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestHelpKey::f1InADigitsOnlyBoxIsNoKeystroke()
{
    Hub hub;
    hub.program.addExaminee(QStringLiteral("1"));
    MainWindow* main = hub.show();
    QString section;
    QString itemNumber;
    bool done = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (done || !modal || modal->objectName() != QLatin1String("FrmTest"))
            return;
        done = true;
        Drive::click(modal, QStringLiteral("Command1"));
        auto* box = Drive::find<QLineEdit>(modal, QStringLiteral("Text6"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_F1);
        itemNumber = box->text();
        if (HelpWindow* help = hub.router.helpWindow()) {
            section = help->currentSection();
            help->close();
        }
        modal->close();
    });
    poll.start(10);
    hub.program.messages().typed.enqueue(QStringLiteral("1"));
    QVERIFY(Drive::click(main, QStringLiteral("Command2")));
    QVERIFY(done);
    QCOMPARE(section, QStringLiteral("test"));
    // The box that takes digits alone neither beeps nor says "digits only": the key went to the help.
    QCOMPARE(hub.program.messages().beeps, 0);
    QCOMPARE(hub.program.messages().noticeTexts(), QStringList());
    QCOMPARE(Digits::toAscii(itemNumber), QStringLiteral("1"));
}

void TestHelpKey::aBoxSpeaksOfItsWindow()
{
    Hub hub;
    MainWindow* main = hub.show();
    QVERIFY(Drive::click(main, QStringLiteral("Command1")));
    // A box owned by the main window, with no section of its own.
    auto* box = new QDialog(main);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    QCOMPARE(HelpKey::sectionAt(box), QStringLiteral("registration"));
    auto* lone = new QWidget;
    QCOMPARE(HelpKey::sectionAt(lone), QString());
    pressF1(lone);
    QCOMPARE(hub.router.helpWindow()->currentSection(), HelpContents::firstKey());
    delete lone;
    box->close();
}

void TestHelpKey::oneHelpWindowFollowsTheKey()
{
    Hub hub;
    MainWindow* main = hub.show();
    pressF1(main);
    QPointer<HelpWindow> first = hub.router.helpWindow();
    QVERIFY(first);
    QCOMPARE(first->currentSection(), QStringLiteral("main"));
    QVERIFY(Drive::click(main, QStringLiteral("Command9")));
    pressF1(main);
    QCOMPARE(hub.router.helpWindow(), first.data());
    QCOMPARE(first->currentSection(), QStringLiteral("settings"));
    // The key does not reach the window's own controls.
    QVERIFY(Drive::find<QWidget>(main, QStringLiteral("Frame8"))->isVisible());
    first->close();
    QTRY_VERIFY(!first);
    pressF1(main);
    QVERIFY(hub.router.helpWindow());
}

void TestHelpKey::helpWearsTheTheme()
{
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '3'"));
    MainWindow* main = hub.show();
    pressF1(main);
    HelpWindow* help = hub.router.helpWindow();
    QVERIFY(help);
    const QString galaxy = hub.program.skinColour(QStringLiteral("galaxy.skn"), QStringLiteral("window"));
    QVERIFY(!galaxy.isEmpty());
    QCOMPARE(help->palette().color(QPalette::Window).name(), galaxy);
    QCOMPARE(help->palette().color(QPalette::Window), main->palette().color(QPalette::Window));
}

void TestHelpKey::helpDoesNotKeepTheProgramRunning()
{
    Hub hub;
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    MainWindow* main = hub.show();
    pressF1(main);
    QVERIFY(hub.router.helpWindow()->isVisible());
    // Closed after a hand-over with no other window open: the help alone keeps nothing open.
    hub.router.setHandOverState(WindowRouter::HandOverState::HandedOver);
    main->close();
    letTheRouterSettle();
    QTRY_COMPARE(ended.count(), 1);
}

void TestHelpKey::homeLinkOpensTheMainWindowsSection()
{
    Hub hub;
    MainWindow* main = hub.show();
    QVERIFY(Drive::click(main, QStringLiteral("HomeHelp")));
    QVERIFY(hub.router.helpWindow());
    QCOMPARE(hub.router.helpWindow()->currentSection(), QStringLiteral("main"));
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

QTEST_MAIN(TestHelpKey)
#include "TestHelpKey.moc"
