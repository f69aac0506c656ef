#include "app/AppFixture.h"
#include "backup/ExitPrompt.h"
#include "questionnaire/TestWindow.h"
#include "scoring/ScoringWindow.h"
#include "settings/Theme.h"
#include "settings/ThemeConfirmation.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>

namespace {

QWidget* openWindow(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

QString windowColour(const QWidget* w)
{
    return w ? w->palette().color(QPalette::Window).name() : QString();
}

QString themeOf(TestProgram& p)
{
    return p.scalar(QStringLiteral("SELECT TH FROM Theme")).toString();
}

// Settings, then the theme panel, then the theme's own button.
void chooseTheme(QWidget* main, const QString& button)
{
    Drive::click(main, QStringLiteral("Command9"));
    Drive::click(main, QStringLiteral("Command68"));
    Drive::click(main, button);
}

void openClinicPanel(QWidget* main)
{
    Drive::click(main, QStringLiteral("Command9"));
    Drive::click(main, QStringLiteral("Command67"));
}

// The confirmation's picture: the pointer over the resting one brings up the one that answers a click.
void clickConfirmation(QWidget* confirmation)
{
    auto* k1 = Drive::find<QLabel>(confirmation, QStringLiteral("k1"));
    QTest::mouseMove(k1, k1->rect().center());
    QTRY_VERIFY(Drive::find<QToolButton>(confirmation, QStringLiteral("k2"))->isVisible());
    Drive::click(confirmation, QStringLiteral("k2"));
}

void refuseThemeWrites(TestProgram& p)
{
    p.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Theme "
                          "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END"));
}

} // namespace

class TestThemes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void choosingAThemeGoesThroughTheConfirmation_data();
    void choosingAThemeGoesThroughTheConfirmation();
    void laterWindowsWearTheNewTheme();
    void skinSetOnceLooksAsOnEachControl_data();
    void skinSetOnceLooksAsOnEachControl();
    void confirmationClosedByItsFrameEndsTheProgram();
    void unsavedClinicNameLostByAThemeChoice();
    void clinicSaveCancelAndReopen();
    void failedThemeWriteReported();
    void savedClinicReachesTheScoringWindow();
    void unreadableSkinGivesWayToTheFirstTheme();
};

void TestThemes::choosingAThemeGoesThroughTheConfirmation_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("theme");
    QTest::newRow("7 while 3 is current") << "3"
                                          << "Command48" << 7;
    QTest::newRow("the current theme again") << "5"
                                             << "Command50" << 5;
    QTest::newRow("1, from an unreadable number") << "x"
                                                  << "Command45" << 1;
    QTest::newRow("10") << "2"
                        << "Command52" << 10;
    QTest::newRow("11") << "1"
                        << "Command53" << 11;
}

void TestThemes::choosingAThemeGoesThroughTheConfirmation()
{
    QFETCH(QString, current);
    QFETCH(QString, button);
    QFETCH(int, theme);
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = ?"), { current });
    const QString file = Theme::skinFile(theme);
    const QString colour = hub.program.skinColour(file, QStringLiteral("window"));
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    QPointer<MainWindow> first = hub.show();
    if (Theme::themeNumber(current) != theme)
        QVERIFY(windowColour(first) != colour);

    chooseTheme(first, button);
    QCOMPARE(themeOf(hub.program), QString::number(theme));
    QVERIFY(hub.handedOver());
    QVERIFY(!first->isVisible());
    QVERIFY(!hub.router.exitPrompt());
    QWidget* confirmation = openWindow(QStringLiteral("Frmskin"));
    QVERIFY(confirmation);
    QCOMPARE(windowColour(confirmation), colour);
    QTRY_VERIFY(!first);
    QVERIFY(!hub.router.mainWindow());

    QPointer<QWidget> confirming(confirmation);
    clickConfirmation(confirmation);
    QVERIFY(hub.main());
    QVERIFY(hub.main()->isVisible());
    QCOMPARE(windowColour(hub.main()), colour);
    QVERIFY(!hub.handedOver());
    QTRY_VERIFY(!confirming);
    QTest::qWait(20);
    QCOMPARE(ended.count(), 0);
    QVERIFY(!hub.router.exitPrompt());
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

void TestThemes::skinSetOnceLooksAsOnEachControl_data()
{
    QTest::addColumn<int>("theme");
    QTest::addColumn<QStringList>("buttons"); // clicked in turn to bring up a panel
    const QList<std::pair<const char*, QStringList>> panels = { { "home", {} },
        { "registration", { QStringLiteral("Command1") } }, { "settings", { QStringLiteral("Command9") } },
        { "themes", { QStringLiteral("Command9"), QStringLiteral("Command68") } },
        { "clinic", { QStringLiteral("Command9"), QStringLiteral("Command67") } },
        { "database", { QStringLiteral("Command9"), QStringLiteral("Command70") } } };
    for (int theme = 1; theme <= Theme::Count; ++theme)
        for (const auto& [panel, buttons] : panels)
            QTest::addRow("%s %s", qPrintable(Theme::skinFile(theme)), panel) << theme << buttons;
}

// The skin's sheet is set once on the window, scoped to its controls; a sheet that cannot be scoped (here one with a
// rule for a neighbour, which matches nothing in these windows) is set on each control instead. Both look the same.
void TestThemes::skinSetOnceLooksAsOnEachControl()
{
    QFETCH(int, theme);
    QFETCH(QStringList, buttons);
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '%1'").arg(theme));
    MainWindow* main = hub.show();
    for (const QString& button : buttons)
        Drive::click(main, button);
    QCOMPARE(main->property("appliedTheme").toInt(), theme);
    const QImage once = main->grab().toImage();

    QFile file(QDir(hub.program.folder()).filePath(Theme::skinFile(theme)));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::optional<SkinFile> unscoped
        = SkinFile::parse(QString::fromUtf8(file.readAll()) + QStringLiteral("\nQLabel + QDial { border: none; }\n"));
    QVERIFY(unscoped);
    Theme::paint(main, *unscoped);
    QVERIFY(main->styleSheet().isEmpty());
    const QImage eachControl = main->grab().toImage();
    QCOMPARE(eachControl.size(), once.size());
    QVERIFY(eachControl == once);
}

void TestThemes::laterWindowsWearTheNewTheme()
{
    Hub hub;
    hub.program.addExaminee(QStringLiteral("12"));
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '3'"));
    const QString seven = hub.program.skinColour(QStringLiteral("O-Universe.skn"), QStringLiteral("window"));
    const QString sevenText = hub.program.skinColour(QStringLiteral("O-Universe.skn"), QStringLiteral("text"));
    QVERIFY(seven != hub.program.skinColour(QStringLiteral("galaxy.skn"), QStringLiteral("window")));
    QVERIFY(sevenText != hub.program.skinColour(QStringLiteral("galaxy.skn"), QStringLiteral("text")));

    chooseTheme(hub.show(), QStringLiteral("Command48"));
    clickConfirmation(openWindow(QStringLiteral("Frmskin")));
    QTRY_VERIFY(!openWindow(QStringLiteral("Frmskin")));
    MainWindow* main = hub.main();
    QCOMPARE(windowColour(main), seven);

    // The test window, opened modally over the main window for a code.
    QString testColour;
    QString testFieldText;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QLatin1String("FrmTest")) {
            testColour = windowColour(modal);
            auto* field = Drive::find<QLineEdit>(modal, QStringLiteral("Code"));
            field->ensurePolished();
            testFieldText = field->palette().color(QPalette::Text).name();
            modal->close();
        }
    });
    watch.start(10);
    hub.program.messages().typed.enqueue(QStringLiteral("12"));
    Drive::click(main, QStringLiteral("Command2"));
    watch.stop();
    QCOMPARE(testColour, seven);
    QCOMPARE(testFieldText, sevenText);

    // The scoring window, handed over to.
    Drive::click(main, QStringLiteral("Command3"));
    QWidget* scoring = openWindow(QStringLiteral("FrmkLID"));
    QVERIFY(scoring);
    QCOMPARE(windowColour(scoring), seven);
    auto* field = Drive::find<QLineEdit>(scoring, QStringLiteral("Text15"));
    field->ensurePolished();
    QCOMPARE(field->palette().color(QPalette::Text).name(), sevenText);
    scoring->close();
    QTRY_VERIFY(hub.main());
    QCOMPARE(windowColour(hub.main()), seven);
}

void TestThemes::confirmationClosedByItsFrameEndsTheProgram()
{
    Hub hub;
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    chooseTheme(hub.show(), QStringLiteral("Command41"));
    QWidget* confirmation = openWindow(QStringLiteral("Frmskin"));
    QVERIFY(confirmation);
    confirmation->close();
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(!hub.main());
    QVERIFY(!hub.router.exitPrompt());
    QCOMPARE(themeOf(hub.program), QStringLiteral("9"));
}

void TestThemes::unsavedClinicNameLostByAThemeChoice()
{
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET Name = 'Razi', Adress = 'Tehran'"));
    MainWindow* w = hub.show();
    openClinicPanel(w);
    auto* name = Drive::find<QLineEdit>(w, QStringLiteral("Text2"));
    name->setFocus();
    Drive::type(name, QStringLiteral(" مهر"));
    Drive::find<QLineEdit>(w, QStringLiteral("Text14"))->setText(QStringLiteral("Shiraz"));
    QCOMPARE(Drive::find<QLabel>(w, QStringLiteral("SkinLabel1"))->text(), QStringLiteral("Razi مهر"));

    chooseTheme(w, QStringLiteral("Command44"));
    QCOMPARE(themeOf(hub.program), QStringLiteral("2"));
    QCOMPARE(hub.program.scalar(QStringLiteral("SELECT Name FROM Theme")).toString(), QStringLiteral("Razi"));
    QCOMPARE(hub.program.scalar(QStringLiteral("SELECT Adress FROM Theme")).toString(), QStringLiteral("Tehran"));
    clickConfirmation(openWindow(QStringLiteral("Frmskin")));
    QCOMPARE(Drive::find<QLabel>(hub.main(), QStringLiteral("SkinLabel1"))->text(), QStringLiteral("Razi"));
}

void TestThemes::clinicSaveCancelAndReopen()
{
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '4', Name = 'Razi', Adress = 'Tehran'"));
    MainWindow* w = hub.show();
    // Save stores both as they stand, hides the clinic panel only, and says nothing.
    openClinicPanel(w);
    auto* name = Drive::find<QLineEdit>(w, QStringLiteral("Text2"));
    auto* address = Drive::find<QLineEdit>(w, QStringLiteral("Text14"));
    auto* label = Drive::find<QLabel>(w, QStringLiteral("SkinLabel1"));
    auto* clinic = Drive::find<QWidget>(w, QStringLiteral("Frame9"));
    auto* settings = Drive::find<QWidget>(w, QStringLiteral("Frame8"));
    name->clear();
    name->setFocus();
    Drive::type(name, QStringLiteral("کلينيک مهر"));
    address->clear();
    address->setFocus();
    Drive::type(address, QStringLiteral("شيراز، خيابان زند"));
    Drive::click(w, QStringLiteral("Command64"));
    QCOMPARE(hub.program.scalar(QStringLiteral("SELECT Name FROM Theme")).toString(), QStringLiteral("کلينيک مهر"));
    QCOMPARE(
        hub.program.scalar(QStringLiteral("SELECT Adress FROM Theme")).toString(), QStringLiteral("شيراز، خيابان زند"));
    QCOMPARE(themeOf(hub.program), QStringLiteral("4"));
    QVERIFY(!clinic->isVisible());
    QVERIFY(settings->isVisible());
    QCOMPARE(label->text(), QStringLiteral("کلينيک مهر"));
    QCOMPARE(hub.program.messages().boxes.size(), 0);

    // Cancel hides the panel; the typed text stays on show but is not stored.
    openClinicPanel(w);
    name->setFocus();
    Drive::type(name, QStringLiteral(" دوم"));
    Drive::click(w, QStringLiteral("Command7"));
    QVERIFY(!clinic->isVisible());
    QVERIFY(settings->isVisible());
    QCOMPARE(label->text(), QStringLiteral("کلينيک مهر دوم"));
    QCOMPARE(hub.program.scalar(QStringLiteral("SELECT Name FROM Theme")).toString(), QStringLiteral("کلينيک مهر"));

    // Opened again, the panel shows what is stored, so saving it cannot store the abandoned text.
    openClinicPanel(w);
    QCOMPARE(name->text(), QStringLiteral("کلينيک مهر"));
    QCOMPARE(label->text(), QStringLiteral("کلينيک مهر"));
    address->setText(QStringLiteral("شيراز"));
    Drive::click(w, QStringLiteral("Command64"));
    QCOMPARE(hub.program.scalar(QStringLiteral("SELECT Name FROM Theme")).toString(), QStringLiteral("کلينيک مهر"));
    QCOMPARE(hub.program.scalar(QStringLiteral("SELECT Adress FROM Theme")).toString(), QStringLiteral("شيراز"));
    QCOMPARE(hub.program.rowCount(QStringLiteral("Theme")), 1);
}

void TestThemes::failedThemeWriteReported()
{
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '6'"));
    refuseThemeWrites(hub.program);
    QSignalSpy ended(&hub.router, &WindowRouter::programEnded);
    MainWindow* w = hub.show();
    chooseTheme(w, QStringLiteral("Command42"));

    QCOMPARE(hub.program.messages().boxes.size(), 1);
    QVERIFY(hub.program.messages().lastText().contains(QLatin1String("the disk is full")));
    QCOMPARE(themeOf(hub.program), QStringLiteral("6"));
    QVERIFY(!openWindow(QStringLiteral("Frmskin")));
    QCOMPARE(hub.main(), w);
    QVERIFY(w->isVisible());
    QCOMPARE(Drive::find<QLineEdit>(w, QStringLiteral("Text1"))->text(), QStringLiteral("6"));
    // Nothing was handed over: leaving still goes through the exit prompt.
    QVERIFY(!hub.handedOver());
    w->close();
    QVERIFY(hub.router.exitPrompt());
    QCOMPARE(ended.count(), 0);
}

void TestThemes::savedClinicReachesTheScoringWindow()
{
    Hub hub;
    hub.program.addExaminee(QStringLiteral("12"));
    MainWindow* w = hub.show();
    openClinicPanel(w);
    Drive::find<QLineEdit>(w, QStringLiteral("Text2"))->setText(QStringLiteral("کلينيک مهر"));
    Drive::find<QLineEdit>(w, QStringLiteral("Text14"))->setText(QStringLiteral("تهران"));
    Drive::click(w, QStringLiteral("Command64"));
    Drive::click(w, QStringLiteral("Command3"));
    QWidget* scoring = openWindow(QStringLiteral("FrmkLID"));
    QVERIFY(scoring);
    // The list of every examinee carries the clinic the scoring window read when it opened.
    Drive::click(scoring, QStringLiteral("Command3"));
    QCOMPARE(hub.router.listCaptions().clinicName, QStringLiteral("کلينيک مهر"));
    QCOMPARE(hub.router.listCaptions().address, QStringLiteral("تهران"));
}

void TestThemes::unreadableSkinGivesWayToTheFirstTheme()
{
    Hub hub;
    const QDir folder(hub.program.folder());
    const QString first = hub.program.skinColour(Theme::skinFile(1), QStringLiteral("window"));
    // Stored, with its skin a hundred megabytes past the size limit (sparse): the load stores the first theme.
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = '6'"));
    QVERIFY(QFile(folder.filePath(Theme::skinFile(6))).resize(SkinFile::MaxBytes + 100 * 1024 * 1024));
    MainWindow* w = hub.show();
    QCOMPARE(themeOf(hub.program), QStringLiteral("1"));
    QCOMPARE(windowColour(w), first);
    QTRY_COMPARE(hub.program.messages().noticeTexts(), QStringList { Msg::SkinUnreadable });

    // Chosen, with its skin a link to /dev/zero: the first theme is stored and confirmed instead.
    QVERIFY(QFile::remove(folder.filePath(Theme::skinFile(8))));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), folder.filePath(Theme::skinFile(8))));
    chooseTheme(w, QStringLiteral("Command47"));
    QCOMPARE(themeOf(hub.program), QStringLiteral("1"));
    QCOMPARE(hub.program.messages().noticeTexts(), (QStringList { Msg::SkinUnreadable, Msg::SkinUnreadable }));
    QWidget* confirmation = openWindow(QStringLiteral("Frmskin"));
    QVERIFY(confirmation);
    QCOMPARE(windowColour(confirmation), first);
    // The next load finds the first theme stored and says nothing more.
    clickConfirmation(confirmation);
    QCOMPARE(windowColour(hub.main()), first);
    QTest::qWait(20);
    QCOMPARE(hub.program.messages().boxes.size(), 2);
}

QTEST_MAIN(TestThemes)
#include "TestThemes.moc"
