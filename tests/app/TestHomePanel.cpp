#include "app/AppFixture.h"
#include "app/HomePanel.h"
#include "data/ComparedPairs.h"
#include "data/Invitations.h"
#include "scoring/ComparisonWindow.h"
#include "examinees/InvitationWindow.h"
#include "calendar/SolarHijri.h"
#include "support/LayoutCheck.h"
#include "text/Digits.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

QStringList everyItem(const QString& value)
{
    QStringList answers;
    for (int item = 0; item < 35; ++item)
        answers << value;
    return answers;
}

// What a line of the panel says, whichever digits draw its numbers.
QString said(QWidget* main, const QString& name)
{
    return Digits::toAscii(Drive::find<QLabel>(main, name)->text());
}

HomePanel* home(QWidget* main)
{
    return Drive::find<HomePanel>(main, QStringLiteral("HomePanel"));
}

void registerThroughPanel(QWidget* window, const QString& code)
{
    Drive::click(window, QStringLiteral("Command1"));
    Drive::find<QLineEdit>(window, "Text11")->setText(code);
    Drive::find<QLineEdit>(window, "Text6")->setText(QStringLiteral("Ali"));
    Drive::find<QLineEdit>(window, "Text4")->setText(QStringLiteral("Ahmadi"));
    Drive::find<QComboBox>(window, "Combo2")->setCurrentIndex(0);
    Drive::find<QLineEdit>(window, "Text5")->setText(QStringLiteral("30"));
    Drive::find<QComboBox>(window, "Combo1")->setCurrentIndex(0);
    Drive::find<QComboBox>(window, "Combo3")->setCurrentIndex(0);
    Drive::find<QLineEdit>(window, "Text7")->setText(QStringLiteral("Lisans"));
    Drive::click(window, QStringLiteral("Command8"));
}

QRgb mostUsedColour(const QImage& image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(most))
            most = it.key();
    return most;
}

QWidget* openWindow(const QString& name)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == name && top->isVisible())
            return top;
    return nullptr;
}

} // namespace

class TestHomePanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }

    void showsTheClinicTodayAndFigures();
    void withoutAClinicSaysWhereToSetIt();
    void aNewMainWindowShowsTheLastFiguresAtOnce();
    void aSavedClinicShowsAtOnce();
    void stepsAsideForEveryPanel_data();
    void stepsAsideForEveryPanel();
    void leavesTheLabelsAndButtonsClear();
    void helpLinkReadsOnEveryTheme_data();
    void helpLinkReadsOnEveryTheme();
    void registrationIsConfirmedWithoutABox();
    void aRegistrationOffersAnInvitation();
    void countsOpenInvitationsAndSheetsFinishedToday();
    void offersTheComparisonOfACoupleWhoFinished();
    void aSavedTestIsConfirmed_data();
    void aSavedTestIsConfirmed();
    void buttonsThatNeedAnExaminee_data();
    void buttonsThatNeedAnExaminee();
    void exportOfAnEmptyListSaysSo();
};

void TestHomePanel::showsTheClinicTodayAndFigures()
{
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET Name = ?, Adress = ?"),
        { QStringLiteral("کلينيک آرامش"), QStringLiteral("تهران، خيابان نسترن") });
    for (const char* code : { "11", "12", "13" })
        hub.program.addExaminee(QString::fromLatin1(code));
    hub.program.setAnswers(QStringLiteral("12"), everyItem(QStringLiteral("4")));
    MainWindow* main = hub.show();
    QVERIFY(home(main)->isVisible());
    QCOMPARE(said(main, "HomeClinicName"), QStringLiteral("کلينيک آرامش"));
    QCOMPARE(said(main, "HomeClinicAddress"), QStringLiteral("تهران، خيابان نسترن"));
    QCOMPARE(said(main, "HomeToday"), Msg::HomeToday.arg(SolarHijriToday(0)));
    QTRY_COMPARE(said(main, "HomeRegistered"), Msg::HomeRegistered.arg(3));
    QTRY_COMPARE(said(main, "HomeAnswered"), Msg::HomeAnswered.arg(1));
    auto* recent = Drive::find<QTableWidget>(main, QStringLiteral("HomeRecent"));
    QCOMPARE(recent->rowCount(), 3);
    QCOMPARE(recent->item(0, 0)->text(), QStringLiteral("13"));
    QCOMPARE(recent->item(2, 0)->text(), QStringLiteral("11"));
    QCOMPARE(recent->item(0, 1)->text(), QStringLiteral("Ali ") + hub.program.ideField("13", "LName"));
    QCOMPARE(Digits::toAscii(recent->item(0, 2)->text()), hub.program.ideField("13", "Date"));
    QCOMPARE(hub.program.messages().boxes.size(), 0);
}

void TestHomePanel::withoutAClinicSaysWhereToSetIt()
{
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET Name = '', Adress = ''"));
    MainWindow* main = hub.show();
    QCOMPARE(said(main, "HomeClinicName"), Msg::HomeNoClinicName);
    QVERIFY(!Drive::find<QLabel>(main, "HomeClinicAddress")->isVisible());
    QTRY_COMPARE(said(main, "HomeRegistered"), Msg::HomeRegistered.arg(0));
    auto* recent = Drive::find<QTableWidget>(main, QStringLiteral("HomeRecent"));
    QCOMPARE(recent->rowCount(), 1);
    QCOMPARE(recent->item(0, 0)->text(), Msg::HomeNoExaminees);
}

// The main window is made afresh on every return to it: it shows the figures last read without waiting for a
// count, and those written meanwhile (here behind the program's back) follow once it is drawn.
void TestHomePanel::aNewMainWindowShowsTheLastFiguresAtOnce()
{
    Hub hub;
    for (const char* code : { "11", "12" })
        hub.program.addExaminee(QString::fromLatin1(code));
    MainWindow* main = hub.show();
    QTRY_COMPARE(said(main, "HomeRegistered"), Msg::HomeRegistered.arg(2));
    hub.program.addExaminee(QStringLiteral("13"));
    hub.program.setAnswers(QStringLiteral("13"), everyItem(QStringLiteral("4")));

    HomePanel again(hub.program.database(), hub.router.homeFigures());
    QCOMPARE(Digits::toAscii(Drive::find<QLabel>(&again, "HomeRegistered")->text()), Msg::HomeRegistered.arg(2));
    QCOMPARE(Drive::find<QTableWidget>(&again, QStringLiteral("HomeRecent"))->item(0, 0)->text(), QStringLiteral("12"));
    again.show();
    QTRY_COMPARE(Digits::toAscii(Drive::find<QLabel>(&again, "HomeRegistered")->text()), Msg::HomeRegistered.arg(3));
    QCOMPARE(Digits::toAscii(Drive::find<QLabel>(&again, "HomeAnswered")->text()), Msg::HomeAnswered.arg(1));
    QCOMPARE(Drive::find<QTableWidget>(&again, QStringLiteral("HomeRecent"))->item(0, 0)->text(), QStringLiteral("13"));
}

void TestHomePanel::aSavedClinicShowsAtOnce()
{
    Hub hub;
    MainWindow* main = hub.show();
    QVERIFY(Drive::click(main, QStringLiteral("Command9")));
    QVERIFY(Drive::click(main, QStringLiteral("Command67")));
    Drive::find<QLineEdit>(main, QStringLiteral("Text2"))->setText(QStringLiteral("مرکز مشاوره"));
    Drive::find<QLineEdit>(main, QStringLiteral("Text14"))->setText(QStringLiteral("اصفهان"));
    QVERIFY(Drive::click(main, QStringLiteral("Command64")));
    QVERIFY(Drive::click(main, QStringLiteral("Command69")));
    QVERIFY(home(main)->isVisible());
    QCOMPARE(said(main, "HomeClinicName"), QStringLiteral("مرکز مشاوره"));
    QCOMPARE(said(main, "HomeClinicAddress"), QStringLiteral("اصفهان"));
}

void TestHomePanel::stepsAsideForEveryPanel_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("shown");
    QTest::newRow("at rest") << QStringList() << true;
    QTest::newRow("registration") << QStringList { "Command1" } << false;
    QTest::newRow("registration cancelled") << QStringList { "Command1", "Command10" } << true;
    QTest::newRow("settings") << QStringList { "Command9" } << false;
    QTest::newRow("settings closed") << QStringList { "Command9", "Command69" } << true;
    QTest::newRow("clinic") << QStringList { "Command9", "Command67" } << false;
    QTest::newRow("clinic cancelled, settings still open")
        << QStringList { "Command9", "Command67", "Command7" } << false;
    QTest::newRow("themes") << QStringList { "Command9", "Command68" } << false;
    QTest::newRow("themes closed, settings still open")
        << QStringList { "Command9", "Command68", "Command46" } << false;
    QTest::newRow("calculator") << QStringList { "Command9", "Command5" } << true;
}

void TestHomePanel::stepsAsideForEveryPanel()
{
    QFETCH(QStringList, clicks);
    QFETCH(bool, shown);
    Hub hub;
    hub.installed << QStringLiteral("gnome-calculator") << QStringLiteral("kcalc") << QStringLiteral("galculator");
    MainWindow* main = hub.show();
    for (const QString& name : clicks)
        QVERIFY(Drive::click(main, name));
    QCOMPARE(home(main)->isVisible(), shown);
}

void TestHomePanel::leavesTheLabelsAndButtonsClear()
{
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET Name = ?, Adress = ?"),
        { QStringLiteral("کلينيک مشاوره خانواده آرامش"),
            QStringLiteral("تهران، خيابان وليعصر، کوچه نسترن، پلاک دوازده") });
    for (int i = 0; i < HomePanel::RecentCount + 2; ++i)
        hub.program.addExaminee(QStringLiteral("A-20%1").arg(i), QStringLiteral("محمدرضا"));
    MainWindow* main = hub.show();
    const QRect panel = home(main)->geometry();
    // The hint, shown while the pointer is over a button, and the clinic's name keep their places.
    for (const char* name : { "SkinLabel1", "SkinLabel2", "Frame7", "Picture1", "CmdHelp" })
        QVERIFY2(!panel.intersects(Drive::find<QWidget>(main, QString::fromLatin1(name))->geometry()), name);
    QVERIFY(main->rect().contains(panel));
    QVERIFY(LayoutCheck::nothingCutOff(home(main)));
    auto* recent = Drive::find<QTableWidget>(main, QStringLiteral("HomeRecent"));
    QTRY_COMPARE(recent->rowCount(), HomePanel::RecentCount);
    const QRect before = recent->geometry();
    home(main)->showStatus(Msg::RegistrationSaved.arg(QStringLiteral("A-2006")));
    QVERIFY(LayoutCheck::nothingCutOff(home(main)));
    // A confirmation moves nothing, and every recent row is seen whole, without scrolling.
    QCOMPARE(recent->geometry(), before);
    const QRect last = recent->visualItemRect(recent->item(HomePanel::RecentCount - 1, 0));
    QVERIFY(recent->viewport()->rect().contains(last));
}

void TestHomePanel::helpLinkReadsOnEveryTheme_data()
{
    QTest::addColumn<int>("theme");
    for (int theme = 1; theme <= 11; ++theme)
        QTest::addRow("theme %d", theme) << theme;
}

void TestHomePanel::helpLinkReadsOnEveryTheme()
{
    QFETCH(int, theme);
    Hub hub;
    hub.program.exec(QStringLiteral("UPDATE Theme SET TH = ?"), { QString::number(theme) });
    MainWindow* main = hub.show();
    auto* line = Drive::find<QLabel>(main, QStringLiteral("HomeRegistered"));
    // As the panel draws them, each over what lies beneath.
    const QImage panel = home(main)->grab().toImage();
    const QImage link = panel.copy(Drive::find<QWidget>(main, QStringLiteral("HomeHelp"))->geometry());
    const QImage label = panel.copy(line->geometry());
    // The link is drawn as the panel's lines are: their text colour (its underline is solid) over their background,
    // not as a button.
    const QRgb text = line->palette().color(QPalette::WindowText).rgb();
    QCOMPARE(mostUsedColour(link), mostUsedColour(label));
    int inText = 0;
    for (int y = 0; y < link.height(); ++y)
        for (int x = 0; x < link.width(); ++x)
            inText += link.pixel(x, y) == text;
    QVERIFY2(inText > 10, qPrintable(QColor(text).name()));
}

void TestHomePanel::registrationIsConfirmedWithoutABox()
{
    Hub hub;
    MainWindow* main = hub.show();
    registerThroughPanel(main, QStringLiteral("55"));
    QCOMPARE(hub.program.rowCount(QStringLiteral("IDE")), 1);
    QCOMPARE(hub.program.messages().boxes.size(), 0);
    QVERIFY(home(main)->isVisible());
    QCOMPARE(home(main)->status(), Msg::RegistrationSaved.arg(QStringLiteral("55")));
    // Only for a few seconds.
    auto* timer = main->findChild<QTimer*>(QStringLiteral("HomeStatusTimer"));
    QVERIFY(timer);
    QVERIFY(timer->isActive() && timer->isSingleShot());
    // The figures follow.
    QTRY_COMPARE(said(main, "HomeRegistered"), Msg::HomeRegistered.arg(1));
    QTRY_COMPARE(Drive::find<QTableWidget>(main, QStringLiteral("HomeRecent"))->item(0, 0)->text(), QStringLiteral("55"));
}

void TestHomePanel::aRegistrationOffersAnInvitation()
{
    Hub hub;
    MainWindow* main = hub.show();
    registerThroughPanel(main, QStringLiteral("55"));
    auto* offer = Drive::find<QPushButton>(main, QStringLiteral("HomeStatusAction"));
    QVERIFY(offer->isVisible());
    QCOMPARE(offer->text(), Msg::InviteTitle);
    QTest::mouseClick(offer, Qt::LeftButton);
    InvitationWindow* invitation = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<InvitationWindow*>(window); found && found->isVisible())
            invitation = found;
    QVERIFY(invitation);
    QCOMPARE(Drive::find<QLineEdit>(invitation, QStringLiteral("TextCode"))->text(), QStringLiteral("55"));
    invitation->close();
    // A plain confirmation offers nothing.
    home(main)->showStatus(QStringLiteral("x"));
    QVERIFY(!offer->isVisible());
}

void TestHomePanel::countsOpenInvitationsAndSheetsFinishedToday()
{
    Hub hub;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString today = Invitations::storedTime(now);
    const QString later = Invitations::storedTime(now.addDays(3));
    const QString earlier = Invitations::storedTime(now.addDays(-3));
    // open, answering, open but expired, revoked, finished today, finished days ago.
    const QStringList rows[] = { { "open", later, today }, { "answering", later, today }, { "open", earlier, earlier },
        { "revoked", later, today }, { "finished", later, today }, { "finished", later, earlier } };
    int n = 0;
    for (const QStringList& row : rows)
        hub.program.exec(QStringLiteral("INSERT INTO Invitation (Code, TokenHash, Made, Expires, State, Changed) "
                                        "VALUES (?, ?, ?, ?, ?, ?)"),
            { QString::number(++n), QString::number(n), earlier, row[1], row[0], row[2] });
    MainWindow* main = hub.show();
    QCOMPARE(said(main, "HomeInvitations"), Msg::HomeInvitations.arg(2).arg(1));
    // Repeated every few seconds while the panel is shown: a sheet finished meanwhile shows without a hand-back.
    auto* timer = main->findChild<QTimer*>(QStringLiteral("HomeInvitationTimer"));
    QVERIFY(timer && timer->isActive());
    hub.program.exec(QStringLiteral("UPDATE Invitation SET State = 'finished', Changed = ? WHERE Code = '2'"), { today });
    QVERIFY(timer->interval() <= 10000);
    timer->start(1); // the next round at once
    QTRY_COMPARE(said(main, "HomeInvitations"), Msg::HomeInvitations.arg(1).arg(2));
    // Not while another panel covers it.
    Drive::click(main, QStringLiteral("Command1"));
    QVERIFY(!timer->isActive());
}

void TestHomePanel::offersTheComparisonOfACoupleWhoFinished()
{
    Hub hub;
    const QString first = QStringLiteral("7101");
    const QString second = QStringLiteral("7102");
    for (const QString& code : { first, second }) {
        hub.program.addExaminee(code);
        hub.program.setAnswers(code, everyItem(code == first ? QStringLiteral("2") : QStringLiteral("4")));
    }
    ComparedPairs pairs(hub.program.database());
    QVERIFY(pairs.remember({ first, second, ComparedPairs::CoupleKind }));
    const QString now = Invitations::storedTime(QDateTime::currentDateTimeUtc());
    const QString later = Invitations::storedTime(QDateTime::currentDateTimeUtc().addDays(7));
    const auto invite = [&](const QString& code, const QString& state) {
        hub.program.exec(QStringLiteral("INSERT INTO Invitation (Code, TokenHash, Made, Expires, State, Changed) "
                                        "VALUES (?, ?, ?, ?, ?, ?)"),
            { code, code, now, later, state, now });
    };
    invite(first, QStringLiteral("finished"));
    invite(second, QStringLiteral("answering"));
    MainWindow* main = hub.show();
    auto* offer = Drive::find<QPushButton>(main, QStringLiteral("HomeStatusAction"));
    // One spouse alone is not a couple to compare.
    QVERIFY(!offer->isVisible());

    hub.program.exec(QStringLiteral("UPDATE Invitation SET State = 'finished' WHERE Code = ?"), { second });
    home(main)->refreshInvitations();
    QCOMPARE(home(main)->status(), Msg::HomeCoupleFinished.arg(first, second));
    QVERIFY(offer->isVisible());
    QCOMPARE(offer->text(), Msg::HomeCompareCouple);
    QTest::mouseClick(offer, Qt::LeftButton);
    ComparisonWindow* comparison = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<ComparisonWindow*>(window); found && found->isVisible())
            comparison = found;
    QVERIFY(comparison);
    QVERIFY(comparison->shownComparison().has_value());
    QVERIFY(hub.handedOver());
    comparison->close();
}

void TestHomePanel::aSavedTestIsConfirmed_data()
{
    QTest::addColumn<bool>("saveAndExit");
    QTest::newRow("save and exit") << true;
    QTest::newRow("closed by its close box") << false;
}

void TestHomePanel::aSavedTestIsConfirmed()
{
    QFETCH(bool, saveAndExit);
    Hub hub;
    hub.program.addExaminee(QStringLiteral("9"));
    QStringList answers = everyItem(QStringLiteral("3"));
    answers[0] = QString();
    hub.program.setAnswers(QStringLiteral("9"), answers);
    MainWindow* main = hub.show();
    QTRY_COMPARE(said(main, "HomeAnswered"), Msg::HomeAnswered.arg(0));
    bool done = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (done || !modal || modal->objectName() != QLatin1String("FrmTest"))
            return;
        done = true;
        Drive::click(modal, QStringLiteral("Command1"));
        Drive::click(modal, QStringLiteral("Option1"));
        if (saveAndExit)
            Drive::click(modal, QStringLiteral("Command5"));
        else
            modal->close();
    });
    poll.start(10);
    hub.program.messages().typed.enqueue(QStringLiteral("9"));
    QVERIFY(Drive::click(main, QStringLiteral("Command2")));
    QVERIFY(done);
    QCOMPARE(hub.program.answer(QStringLiteral("9"), 1), QStringLiteral("1"));
    QCOMPARE(home(main)->status(), saveAndExit ? Msg::TestSaved.arg(QStringLiteral("9")) : QString());
    QCOMPARE(hub.program.messages().noticeTexts(), QStringList());
    // The answer sheet is complete now, either way.
    QTRY_COMPARE(said(main, "HomeAnswered"), Msg::HomeAnswered.arg(1));
}

void TestHomePanel::buttonsThatNeedAnExaminee_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("notices");
    // The hub's opening rules keep these three silent with no examinee.
    QTest::newRow("run test") << "Command2" << QStringList();
    QTest::newRow("scoring") << "Command3" << QStringList();
    QTest::newRow("lookup") << "Command4" << QStringList();
    QTest::newRow("comparison") << "Command13" << QStringList { Msg::NoExamineesYet };
}

void TestHomePanel::buttonsThatNeedAnExaminee()
{
    QFETCH(QString, button);
    QFETCH(QStringList, notices);
    Hub hub;
    MainWindow* main = hub.show();
    QVERIFY(Drive::click(main, button));
    QCOMPARE(hub.program.messages().noticeTexts(), notices);
    QCOMPARE(hub.program.messages().boxes.size(), notices.size());
    QVERIFY(!hub.handedOver());
    QVERIFY(main->isVisible());
    // With one registered, the comparison opens as before.
    if (button == QLatin1String("Command13")) {
        hub.program.addExaminee(QStringLiteral("1"));
        QVERIFY(Drive::click(main, QStringLiteral("Command1")));
        QVERIFY(Drive::click(main, QStringLiteral("Command10")));
        QVERIFY(Drive::click(main, button));
        QVERIFY(hub.handedOver());
        QTRY_VERIFY(openWindow(QStringLiteral("FrmCompare")));
    }
}

void TestHomePanel::exportOfAnEmptyListSaysSo()
{
    Hub hub;
    hub.program.addExaminee(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("A"));
    QVERIFY(hub.router.openLookupWindow());
    QWidget* lookup = openWindow(QStringLiteral("FrmCode"));
    QVERIFY(lookup);
    auto* group = Drive::find<QComboBox>(lookup, QStringLiteral("Combo3"));
    group->setEditText(QStringLiteral("Z"));
    QVERIFY(Drive::click(lookup, QStringLiteral("CommandExport")));
    QCOMPARE(hub.program.messages().noticeTexts(), QStringList { Msg::NoExamineeListed });
    QVERIFY(hub.program.fileDialogs().requests.isEmpty());
    // A list with an examinee is offered for saving as before.
    group->setEditText(QStringLiteral("A"));
    QVERIFY(Drive::click(lookup, QStringLiteral("CommandExport")));
    QCOMPARE(hub.program.fileDialogs().requests.size(), 1);
    QCOMPARE(hub.program.messages().noticeTexts(), QStringList { Msg::NoExamineeListed });
}

QTEST_MAIN(TestHomePanel)
#include "TestHomePanel.moc"
