#include "questionnaire/TestWindow.h"

#include "questionnaire/Keying.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"
#include "text/Digits.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTest>

#include <memory>
#include <set>

namespace {

// Written out here on their own, so that a slip in the program shows up as a failure.
const QString examinee = QStringLiteral("100");

const std::set<int> reversedItems = {3, 5, 6, 7, 10, 13, 14, 18, 19, 21, 22, 23, 26, 27, 28, 29, 32, 33, 34};

const QString startNotice = QStringLiteral("شروع");
const QString endNotice = QStringLiteral("پايان");
const QString digitsNotice = QStringLiteral("شما بايد عدد وارد كنيد");

// The keyed score for a choice, from the option table: direct items store the option's position, reversed items
// its mirror.
QString keyedScore(int item, int option)
{
    return QString::number(reversedItems.count(item) ? 6 - option : option);
}

template <typename T>
T* child(QWidget* w, const char* name)
{
    return Drive::find<T>(w, QLatin1String(name));
}

QLineEdit* itemBox(QWidget* w) { return child<QLineEdit>(w, "Text6"); }
QString frameCaption(QWidget* w) { return child<QGroupBox>(w, "Frame2")->title(); }
QString shownStatement(QWidget* w) { return child<QLabel>(w, "SkinLbl5")->text(); }

// The selected option 1..5, 0 for none, -1 when more than one is selected.
int checkedOption(QWidget* w)
{
    int found = 0;
    for (int i = 1; i <= 5; ++i) {
        if (Drive::find<QRadioButton>(w, QStringLiteral("Option%1").arg(i))->isChecked())
            found = found ? -1 : i;
    }
    return found;
}

void chooseOption(QWidget* w, int option)
{
    Drive::click(w, QStringLiteral("Option%1").arg(option));
}

// Types a new item number over the whole box, as an operator who selects the text and types would.
void typeItemNumber(QWidget* w, const QString& digits)
{
    QLineEdit* box = itemBox(w);
    box->selectAll();
    Drive::type(box, digits);
}

// Opens the window for the examinee as the main window does.
bool openRun(TestWindow& w)
{
    if (w.prepareRun(examinee) != TestWindow::Run::Ready)
        return false;
    w.show();
    return true;
}

// Opens the window and presses "شروع".
bool openAndStart(TestWindow& w)
{
    return openRun(w) && Drive::click(&w, QStringLiteral("Command1"));
}

} // namespace

class TestTestWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void prepareRunOpensOnlyForAnExaminee_data();
    void prepareRunOpensOnlyForAnExaminee();
    void introductionState();
    void startShowsItemOneWithDetails();
    void optionIsStoredKeyedAndShownBack_data();
    void optionIsStoredKeyedAndShownBack();
    void unansweredItemShowsNoOption();
    void backFromOneRestsAtZeroThenNoticesStart();
    void choiceWhileRestingIsKeyedByTheShownItem();
    void nextFromLastStoresAndNoticesEnd();
    void typingFortyPassesThroughFour();
    void itemNumberTexts_data();
    void itemNumberTexts();
    void nonDigitKeysAreRefused_data();
    void nonDigitKeysAreRefused();
    void digitsInTheAgeField();
    void walkAllItems();
    void choiceSurvivesTheCloseBox();
    void detailsAreStoredOnlyBySaveAndExit();
    void codeCannotBeEdited();
    void statementAndAnswerAreReadAfresh();
    void progressCountsAnsweredItems();
    void numbersFollowTheDigitsSetting();
    void numbersAreStoredAsTheyWere();
    void routerRunAndResetAfterClosing();
    void keysOneToFiveChooseOutsideTextBoxes();
    void arrowAndPageKeysMoveInReadingOrder_data();
    void arrowAndPageKeysMoveInReadingOrder();
    void digitsKeepTheirMeaningInTextBoxes();
    void answerKeysNeverTypeIntoDetails_data();
    void answerKeysNeverTypeIntoDetails();
    void statementAndOptionsTakeTheFocusWhenClicked();
    void escapeDoesNotClose();
    void tabReachesEveryControl();
    void failedStoreIsReported();
    void answersWithoutDetailsAreSavedAndTheWindowCloses();
    void lockedFileIsNotAnUnknownExaminee();
    void lockedFileWhileAnsweringIsSaid();
    void assistiveTechnologySeesRadioButtons();
    void assistiveTechnologyChoosesAndStores_data();
    void assistiveTechnologyChoosesAndStores();
    void savingAnExamineeDeletedMeanwhileSaysSo_data();
    void savingAnExamineeDeletedMeanwhileSaysSo();
};

void TestTestWindow::initTestCase()
{
    PersianText::applyTo(*qApp);
}

void TestTestWindow::prepareRunOpensOnlyForAnExaminee_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");

    // Every form of a code is the answer sheet's to find; the window opens for what it finds.
    QTest::newRow("Persian digits") << QStringLiteral("۱۰۰") << true;
    QTest::newRow("unknown") << "101" << false;
    QTest::newRow("nothing typed") << "" << false;
}

void TestTestWindow::prepareRunOpensOnlyForAnExaminee()
{
    QFETCH(QString, typed);
    QFETCH(bool, found);
    TestProgram p;
    p.addExaminee(QStringLiteral("200"), QStringLiteral("Reza"));
    p.addExaminee(examinee, QStringLiteral("Sara"));
    TestWindow w(p.database(), p.messages());
    QCOMPARE(w.prepareRun(typed), found ? TestWindow::Run::Ready : TestWindow::Run::NotFound);
    QVERIFY(p.messages().boxes.isEmpty());
    if (!found)
        return;
    w.show();
    Drive::click(&w, QStringLiteral("Command1"));
    QCOMPARE(child<QLineEdit>(&w, "Code")->text(), examinee);
    QCOMPARE(child<QLineEdit>(&w, "FName")->text(), QStringLiteral("Sara"));
}

void TestTestWindow::introductionState()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QCOMPARE(w.objectName(), QStringLiteral("FrmTest"));
    QVERIFY(openRun(w));
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    for (const char* shown : {"SkinLabel3", "SkinLabel4", "SkinLabel6", "Command1"})
        QVERIFY2(child<QWidget>(&w, shown)->isVisible(), shown);
    for (const char* hidden : {"Frame1", "SkinLbl5", "Frame2", "Text6", "CmdBack", "CmdNext", "Command5", "Progress"})
        QVERIFY2(!child<QWidget>(&w, hidden)->isVisible(), hidden);
    QCOMPARE(w.property("appliedTheme").toInt(), 1);
    QVERIFY(p.messages().boxes.isEmpty());
}

void TestTestWindow::startShowsItemOneWithDetails()
{
    TestProgram p;
    p.addExaminee(examinee, QStringLiteral("مريم"));
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));

    for (const char* shown : {"SkinLbl5", "Frame1", "Frame2", "Text6", "CmdBack", "CmdNext", "Command5", "Progress"})
        QVERIFY2(child<QWidget>(&w, shown)->isVisible(), shown);
    for (const char* hidden : {"SkinLabel3", "SkinLabel4", "SkinLabel6", "Command1"})
        QVERIFY2(!child<QWidget>(&w, hidden)->isVisible(), hidden);

    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("1")));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("1")));
    QCOMPARE(shownStatement(&w), p.scalar(QStringLiteral("SELECT QUs FROM QU WHERE ID = '1'")).toString());
    QVERIFY(!shownStatement(&w).isEmpty());
    QCOMPARE(checkedOption(&w), 0);
    // The examinee starts on the statement, where the answer keys answer.
    QCOMPARE(w.focusWidget(), child<QWidget>(&w, "SkinLbl5"));

    // The details frame shows the examinee's row, each field named by its caption; only the code is fixed.
    const QStringList columns = {QStringLiteral("Code"), QStringLiteral("FName"), QStringLiteral("LName"),
                                 QStringLiteral("Jens"), QStringLiteral("Sen"), QStringLiteral("Taahol"),
                                 QStringLiteral("Tahsil"), QStringLiteral("Date"), QStringLiteral("Time")};
    for (const QString& column : columns) {
        auto* field = Drive::find<QLineEdit>(&w, column);
        // The age, date and time are drawn with Persian digits; the code is shown as it is typed and stored.
        const bool number = column == QLatin1String("Sen") || column == QLatin1String("Date")
            || column == QLatin1String("Time");
        QCOMPARE(field->text(), number ? ShownNumbers::text(p.ideField(examinee, column)) : p.ideField(examinee, column));
        QVERIFY(!field->text().isEmpty());
        QCOMPARE(field->isReadOnly(), column == QLatin1String("Code"));
        auto* caption = Drive::find<QLabel>(&w, column + QStringLiteral("Caption"));
        QVERIFY(!caption->text().isEmpty());
        QCOMPARE(caption->buddy(), field);
    }
    QVERIFY(p.messages().boxes.isEmpty());
}

void TestTestWindow::optionIsStoredKeyedAndShownBack_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("stored");

    // The whole option table is the answer sheet's; here a choice travels from the button to the file and back.
    QTest::newRow("item 1 direct, Option2") << 1 << 2 << "2";
    QTest::newRow("item 3 reversed, Option1") << 3 << 1 << "5";
}

void TestTestWindow::optionIsStoredKeyedAndShownBack()
{
    QFETCH(int, item);
    QFETCH(int, option);
    QFETCH(QString, stored);
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    typeItemNumber(&w, QString::number(item));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QString::number(item)));

    chooseOption(&w, option);
    // Written the moment it is chosen, and choosing does not move on.
    QCOMPARE(p.answer(examinee, item), stored);
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QString::number(item)));
    QCOMPARE(checkedOption(&w), option);

    Drive::click(&w, QStringLiteral("CmdNext"));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QString::number(item + 1)));
    QCOMPARE(checkedOption(&w), 0);
    Drive::click(&w, QStringLiteral("CmdBack"));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QString::number(item)));
    QCOMPARE(checkedOption(&w), option);
    QCOMPARE(p.answer(examinee, item), stored);
    QVERIFY(p.messages().boxes.isEmpty());
}

void TestTestWindow::unansweredItemShowsNoOption()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    chooseOption(&w, 5);
    QCOMPARE(checkedOption(&w), 5);
    Drive::click(&w, QStringLiteral("CmdNext"));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("2")));
    QCOMPARE(checkedOption(&w), 0);
    QVERIFY(p.answer(examinee, 2).isEmpty());
    // Jumping straight to another unanswered item after an answered one.
    chooseOption(&w, 2);
    typeItemNumber(&w, QStringLiteral("9"));
    QCOMPARE(checkedOption(&w), 0);
}

void TestTestWindow::backFromOneRestsAtZeroThenNoticesStart()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    chooseOption(&w, 2);
    const QString firstStatement = shownStatement(&w);

    Drive::click(&w, QStringLiteral("CmdBack"));
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("0")));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("1")));
    QCOMPARE(shownStatement(&w), firstStatement);
    QCOMPARE(checkedOption(&w), 2);
    QVERIFY(p.messages().boxes.isEmpty());

    Drive::click(&w, QStringLiteral("CmdBack"));
    QCOMPARE(p.messages().noticeTexts(), QStringList{startNotice});
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("1")));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("1")));
    QCOMPARE(shownStatement(&w), firstStatement);
    QCOMPARE(checkedOption(&w), 2);
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("2"));

    // From the rest at 0, Next goes to item 1.
    Drive::click(&w, QStringLiteral("CmdBack"));
    Drive::click(&w, QStringLiteral("CmdNext"));
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("1")));
    QCOMPARE(p.messages().noticeTexts().size(), 1);
}

void TestTestWindow::choiceWhileRestingIsKeyedByTheShownItem()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    typeItemNumber(&w, QStringLiteral("3"));
    typeItemNumber(&w, QStringLiteral("0"));
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("0")));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("3")));
    // Item 3 is still on screen, so the choice is stored for item 3 with item 3's keying.
    chooseOption(&w, 1);
    QCOMPARE(p.answer(examinee, 3), QStringLiteral("5"));
}

void TestTestWindow::nextFromLastStoresAndNoticesEnd()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    typeItemNumber(&w, QStringLiteral("35"));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("35")));
    const QString lastStatement = shownStatement(&w);
    QCOMPARE(lastStatement, p.scalar(QStringLiteral("SELECT QUs FROM QU WHERE ID = '35'")).toString());
    chooseOption(&w, 4);

    Drive::click(&w, QStringLiteral("CmdNext"));
    QCOMPARE(p.messages().noticeTexts(), QStringList{endNotice});
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("35")));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("35")));
    QCOMPARE(shownStatement(&w), lastStatement);
    QCOMPARE(checkedOption(&w), 4);
    QCOMPARE(p.answer(examinee, 35), QStringLiteral("4"));

    Drive::click(&w, QStringLiteral("CmdNext"));
    QCOMPARE(p.messages().noticeTexts(), (QStringList{endNotice, endNotice}));
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("35")));
}

void TestTestWindow::typingFortyPassesThroughFour()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    QLineEdit* box = itemBox(&w);
    box->selectAll();
    Drive::type(box, QStringLiteral("4"));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("4")));
    QCOMPARE(shownStatement(&w), p.scalar(QStringLiteral("SELECT QUs FROM QU WHERE ID = '4'")).toString());
    chooseOption(&w, 2);
    QVERIFY(p.messages().boxes.isEmpty());

    Drive::type(box, QStringLiteral("0"));
    QCOMPARE(p.messages().noticeTexts(), QStringList{endNotice});
    QCOMPARE(box->text(), ShownNumbers::text(QStringLiteral("35")));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("35")));
    QCOMPARE(shownStatement(&w), p.scalar(QStringLiteral("SELECT QUs FROM QU WHERE ID = '35'")).toString());
    QCOMPARE(p.answer(examinee, 4), QStringLiteral("2"));
}

void TestTestWindow::itemNumberTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("boxAfter");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("notice");

    // The window starts on item 6. How every kind of text reads is the item-number rule's; here each step is taken.
    QTest::newRow("cleared") << "" << "1" << "1" << "";
    QTest::newRow("leading zeros") << "007" << "007" << "7" << "";
    QTest::newRow("zero rests") << "0" << "0" << "6" << "";
    QTest::newRow("pasted word") << "abc" << "1" << "1" << "";
    QTest::newRow("below zero") << "-4" << "1" << "1" << startNotice;
    QTest::newRow("one past") << "36" << "35" << "35" << endNotice;
}

void TestTestWindow::itemNumberTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, boxAfter);
    QFETCH(QString, caption);
    QFETCH(QString, notice);
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    typeItemNumber(&w, QStringLiteral("6"));
    QLineEdit* box = itemBox(&w);
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        Drive::paste(box, text);
    QCOMPARE(box->text(), ShownNumbers::text(boxAfter));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(caption));
    QCOMPARE(shownStatement(&w),
             p.scalar(QStringLiteral("SELECT QUs FROM QU WHERE ID = ?"), {caption}).toString());
    QCOMPARE(p.messages().noticeTexts(), notice.isEmpty() ? QStringList() : QStringList{notice});
}

void TestTestWindow::nonDigitKeysAreRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("key");

    // Which keys a digits box refuses is the box's own; here a refused key is said in both boxes.
    QTest::newRow("item number") << "Text6" << QStringLiteral("ب");
    QTest::newRow("age") << "Sen" << "-";
}

void TestTestWindow::nonDigitKeysAreRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, key);
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    auto* box = Drive::find<QLineEdit>(&w, field);
    box->setFocus();
    const QString before = box->text();
    Drive::type(box, key);
    QCOMPARE(box->text(), ShownNumbers::text(before));
    QCOMPARE(p.messages().beeps, 1);
    QCOMPARE(p.messages().noticeTexts(), QStringList{digitsNotice});
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("1")));

    // Backspace, Enter and digits are taken as usual.
    box->end(false);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Return);
    Drive::type(box, QStringLiteral("2"));
    QCOMPARE(p.messages().beeps, 1);
    QCOMPARE(p.messages().boxes.size(), 1);
    QVERIFY(w.isVisible());
}

void TestTestWindow::digitsInTheAgeField()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    auto* age = child<QLineEdit>(&w, "Sen");
    age->setFocus();
    age->selectAll();
    Drive::type(age, QStringLiteral("1234"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("123")));
    // Digits from a Persian keyboard count as digits and are kept as the digits "0".."9".
    age->selectAll();
    Drive::type(age, QStringLiteral("۴۵"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("45")));
    // A pasted text that is not a number is not taken.
    age->selectAll();
    Drive::paste(age, QStringLiteral("abc"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("45")));
    QVERIFY(p.messages().boxes.isEmpty());
    QCOMPARE(checkedOption(&w), 0);
}

void TestTestWindow::walkAllItems()
{
    TestProgram p;
    p.addExaminee(examinee);
    p.addExaminee(QStringLiteral("200"));
    // Every fourth item was answered in an earlier run; the rest are answered now, with every option on direct and
    // on reversed items.
    auto optionFor = [](int item) { return (item * 3) % 5 + 1; };
    QStringList stored;
    for (int item = 1; item <= 35; ++item)
        stored << (item % 4 == 0 ? keyedScore(item, optionFor(item + 1)) : QString());
    p.setAnswers(examinee, stored);
    p.setAnswers(QStringLiteral("200"), QStringList(35, QStringLiteral("3")));
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));

    for (int item = 1; item <= 35; ++item) {
        QCOMPARE(frameCaption(&w), ShownNumbers::text(QString::number(item)));
        const QVariant statement =
            p.scalar(QStringLiteral("SELECT QUs FROM QU WHERE ID = ?"), {QString::number(item)});
        QCOMPARE(shownStatement(&w), statement.toString());
        if (stored.at(item - 1).isEmpty()) {
            QCOMPARE(checkedOption(&w), 0);
            chooseOption(&w, optionFor(item));
        } else {
            QCOMPARE(checkedOption(&w), optionFor(item + 1));
        }
        Drive::click(&w, QStringLiteral("CmdNext"));
    }
    QCOMPARE(p.messages().noticeTexts(), QStringList{endNotice});
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("35")));
    QCOMPARE(child<QLabel>(&w, "ProgressCount")->text(), ShownNumbers::text(QStringLiteral("35 از 35")));

    // Earlier answers were not cleared or rewritten by looking, and the other examinee's are untouched.
    for (int item = 1; item <= 35; ++item) {
        const QString earlier = stored.at(item - 1);
        QCOMPARE(p.answer(examinee, item), earlier.isEmpty() ? keyedScore(item, optionFor(item)) : earlier);
        QCOMPARE(p.answer(QStringLiteral("200"), item), QStringLiteral("3"));
    }
}

void TestTestWindow::choiceSurvivesTheCloseBox()
{
    TestProgram p;
    p.addExaminee(examinee);
    {
        TestWindow w(p.database(), p.messages());
        QVERIFY(openAndStart(w));
        typeItemNumber(&w, QStringLiteral("5"));
        chooseOption(&w, 2);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Rejected));
    }
    QCOMPARE(p.answer(examinee, 5), QStringLiteral("4"));

    TestWindow again(p.database(), p.messages());
    QCOMPARE(again.prepareRun(examinee), TestWindow::Run::Ready);
    again.show();
    Drive::click(&again, QStringLiteral("Command1"));
    typeItemNumber(&again, QStringLiteral("5"));
    QCOMPARE(checkedOption(&again), 2);
}

void TestTestWindow::detailsAreStoredOnlyBySaveAndExit()
{
    TestProgram p;
    p.addExaminee(examinee, QStringLiteral("Ali"));
    const QString newName = QStringLiteral("زهرا");
    {
        TestWindow w(p.database(), p.messages());
        QVERIFY(openAndStart(w));
        auto* name = child<QLineEdit>(&w, "FName");
        name->selectAll();
        Drive::type(name, newName);
        QCOMPARE(name->text(), newName);
        chooseOption(&w, 3);
        Drive::click(&w, QStringLiteral("CmdNext"));
        Drive::click(&w, QStringLiteral("CmdBack"));
        typeItemNumber(&w, QStringLiteral("40"));
        QCOMPARE(p.ideField(examinee, QStringLiteral("FName")), QStringLiteral("Ali"));
        QCOMPARE(name->text(), newName);
        w.close();
    }
    QCOMPARE(p.ideField(examinee, QStringLiteral("FName")), QStringLiteral("Ali"));

    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    auto* name = child<QLineEdit>(&w, "FName");
    QCOMPARE(name->text(), QStringLiteral("Ali"));
    name->selectAll();
    Drive::type(name, newName);
    auto* age = child<QLineEdit>(&w, "Sen");
    age->selectAll();
    Drive::type(age, QStringLiteral("41"));
    chooseOption(&w, 5);
    Drive::click(&w, QStringLiteral("Command5"));
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(p.ideField(examinee, QStringLiteral("FName")), newName);
    QCOMPARE(p.ideField(examinee, QStringLiteral("Sen")), QStringLiteral("41"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Code")), examinee);
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("5"));
    QCOMPARE(p.rowCount(QStringLiteral("IDE")), 1);
    QCOMPARE(p.rowCount(QStringLiteral("Answer")), 1);
    QCOMPARE(p.messages().noticeTexts(), QStringList{endNotice});
    QCOMPARE(p.messages().boxes.size(), 1);
}

void TestTestWindow::savingAnExamineeDeletedMeanwhileSaysSo_data()
{
    QTest::addColumn<QStringList>("deleted");
    QTest::addColumn<bool>("edited");
    QTest::newRow("the examinee, nothing edited") << QStringList { "IDE", "Answer" } << false;
    QTest::newRow("the examinee, a name corrected") << QStringList { "IDE", "Answer" } << true;
    QTest::newRow("the details row") << QStringList { "IDE" } << false;
    QTest::newRow("the answer row") << QStringList { "Answer" } << true;
}

void TestTestWindow::savingAnExamineeDeletedMeanwhileSaysSo()
{
    QFETCH(QStringList, deleted);
    QFETCH(bool, edited);
    TestProgram p;
    p.addExaminee(examinee, QStringLiteral("Ali"));
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    chooseOption(&w, 5);
    if (edited) {
        auto* name = child<QLineEdit>(&w, "FName");
        name->selectAll();
        Drive::type(name, QStringLiteral("Hasan"));
    }
    // Another counsellor deletes the examinee while the test window is open.
    for (const QString& table : deleted)
        p.exec(QStringLiteral("DELETE FROM %1 WHERE Code = ?").arg(table), { examinee });
    p.messages().clear();
    Drive::click(&w, QStringLiteral("Command5"));
    QCOMPARE(p.messages().boxes.size(), 1);
    QCOMPARE(p.messages().lastText(),
        Msg::ExamineeGoneOnSave.arg(QChar(0x2066) + examinee + QChar(0x2069)));
    QCOMPARE(p.messages().boxes.last().title, Msg::ErrorTitlePersian);
    // Never taken for saved, and nothing stored for nobody.
    QVERIFY(w.isVisible());
    QVERIFY(w.result() != int(QDialog::Accepted));
    for (const QString& table : deleted)
        QCOMPARE(p.rowCount(table, QStringLiteral("Code"), examinee), 0);
    if (!deleted.contains(QStringLiteral("IDE")))
        QCOMPARE(p.ideField(examinee, QStringLiteral("FName")), QStringLiteral("Ali"));
}

void TestTestWindow::codeCannotBeEdited()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    auto* code = child<QLineEdit>(&w, "Code");
    QVERIFY(code->isReadOnly());
    code->setFocus();
    code->selectAll();
    Drive::type(code, QStringLiteral("abc9"));
    QTest::keyClick(code, Qt::Key_Backspace);
    QApplication::clipboard()->setText(QStringLiteral("999"));
    QTest::keyClick(code, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(code->text(), examinee);
    Drive::click(&w, QStringLiteral("Command5"));
    QCOMPARE(p.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), examinee), 1);
    QCOMPARE(p.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), examinee), 1);
}

void TestTestWindow::statementAndAnswerAreReadAfresh()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    typeItemNumber(&w, QStringLiteral("2"));
    chooseOption(&w, 1);

    // Changed behind the window's back while it is open.
    const QString changed = QStringLiteral("<b>جمله</b> تازه");
    p.exec(QStringLiteral("UPDATE QU SET QUs = ? WHERE ID = '3'"), {changed});
    p.exec(QStringLiteral("UPDATE Answer SET \"3\" = '1', \"2\" = '4' WHERE Code = '100'"));
    Drive::click(&w, QStringLiteral("CmdNext"));
    QCOMPARE(shownStatement(&w), changed);
    QCOMPARE(child<QLabel>(&w, "SkinLbl5")->textFormat(), Qt::PlainText);
    QCOMPARE(checkedOption(&w), 5);
    Drive::click(&w, QStringLiteral("CmdBack"));
    QCOMPARE(checkedOption(&w), 4);
    QCOMPARE(p.answer(examinee, 2), QStringLiteral("4"));
}

void TestTestWindow::numbersFollowTheDigitsSetting()
{
    TestProgram p;
    p.addExaminee(examinee);
    p.exec(QStringLiteral("UPDATE IDE SET Sen = '34', Date = '1403/01/05', Time = '9:05' WHERE Code = ?"), {examinee});
    for (const bool persian : {true, false}) {
        ShownNumbers::setPersianDigits(persian);
        TestWindow w(p.database(), p.messages());
        QVERIFY(openAndStart(w));
        const auto* count = child<QLabel>(&w, "ProgressCount");
        QCOMPARE(count->text(), persian ? QStringLiteral("۰ از ۳۵") : QStringLiteral("0 از 35"));
        QCOMPARE(frameCaption(&w), persian ? QStringLiteral("۱") : QStringLiteral("1"));
        QCOMPARE(child<QLineEdit>(&w, "Sen")->text(), persian ? QStringLiteral("۳۴") : QStringLiteral("34"));
        QCOMPARE(child<QLineEdit>(&w, "Date")->text(),
            persian ? QStringLiteral("۱۴۰۳/۰۱/۰۵") : QStringLiteral("1403/01/05"));
        QCOMPARE(child<QLineEdit>(&w, "Time")->text(), persian ? QStringLiteral("۹:۰۵") : QStringLiteral("9:05"));
        QCOMPARE(child<QLineEdit>(&w, "Code")->text(), examinee);
        // Codes, numbers and dates start at the right edge, as the Persian fields beside them do.
        for (const char* name : {"Code", "Sen", "Date", "Time", "FName"})
            QCOMPARE(child<QLineEdit>(&w, name)->alignment() & (Qt::AlignHorizontal_Mask | Qt::AlignAbsolute),
                     Qt::AlignRight | Qt::AlignAbsolute);
        // Digits of any script typed into the item box name the item.
        for (const QString& typed : {QStringLiteral("۷"), QStringLiteral("\u0668"), QStringLiteral("9")}) {
            typeItemNumber(&w, typed);
            QCOMPARE(Digits::toAscii(frameCaption(&w)), Digits::toAscii(typed));
            QCOMPARE(frameCaption(&w), ShownNumbers::text(Digits::toAscii(typed)));
        }
        Drive::click(&w, QStringLiteral("CmdNext"));
        QCOMPARE(frameCaption(&w), ShownNumbers::number(10));
        w.close();
    }
}

void TestTestWindow::numbersAreStoredAsTheyWere()
{
    TestProgram p;
    p.addExaminee(examinee);
    // A row from before digits were stored as ASCII keeps its own digits unless they are edited.
    p.exec(QStringLiteral("UPDATE IDE SET Sen = '۳۴', Date = '1403/01/05', Time = '9:05' WHERE Code = ?"), {examinee});
    {
        TestWindow w(p.database(), p.messages());
        QVERIFY(openAndStart(w));
        chooseOption(&w, 2);
        Drive::click(&w, QStringLiteral("Command5"));
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }
    QCOMPARE(p.ideField(examinee, QStringLiteral("Sen")), QStringLiteral("۳۴"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Date")), QStringLiteral("1403/01/05"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Time")), QStringLiteral("9:05"));
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("2"));

    // An edited date is stored with ASCII digits, whatever digits were typed.
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    auto* date = child<QLineEdit>(&w, "Date");
    date->selectAll();
    Drive::type(date, QStringLiteral("۱۴۰۴/۰۲/\u0660\u0663"));
    auto* age = child<QLineEdit>(&w, "Sen");
    age->selectAll();
    Drive::type(age, QStringLiteral("\u0664\u0665"));
    QCOMPARE(age->text(), QStringLiteral("۴۵"));
    Drive::click(&w, QStringLiteral("Command5"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Date")), QStringLiteral("1404/02/03"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Sen")), QStringLiteral("45"));
    QCOMPARE(p.ideField(examinee, QStringLiteral("Time")), QStringLiteral("9:05"));
}

void TestTestWindow::progressCountsAnsweredItems()
{
    TestProgram p;
    p.addExaminee(examinee);
    p.setAnswers(examinee, {QString(), QStringLiteral("2"), QStringLiteral("9")});
    TestWindow w(p.database(), p.messages());
    QVERIFY(openRun(w));
    QVERIFY(!child<QWidget>(&w, "Progress")->isVisible());
    Drive::click(&w, QStringLiteral("Command1"));
    auto* bar = child<QProgressBar>(&w, "Progress");
    auto* count = child<QLabel>(&w, "ProgressCount");
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->maximum(), 35);
    QCOMPARE(bar->value(), 1);
    QCOMPARE(count->text(), QStringLiteral("۱ از ۳۵"));
    chooseOption(&w, 4);
    QCOMPARE(bar->value(), 2);
    QCOMPARE(count->text(), QStringLiteral("۲ از ۳۵"));
    chooseOption(&w, 1);
    QCOMPARE(bar->value(), 2);
    Drive::click(&w, QStringLiteral("CmdBack"));
    QCOMPARE(count->text(), QStringLiteral("۲ از ۳۵"));
    // The texts the window is built from are untouched by the count.
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("1")));
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("0")));
}

void TestTestWindow::routerRunAndResetAfterClosing()
{
    TestProgram p;
    p.addExaminee(examinee);
    QWidget mainWindow;
    mainWindow.show();
    TestWindow w(p.database(), p.messages(), &mainWindow);
    QCOMPARE(w.prepareRun(examinee), TestWindow::Run::Ready);

    bool ran = false;
    QTimer::singleShot(0, &w, [&] {
        ran = QApplication::activeModalWidget() == &w;
        Drive::click(&w, QStringLiteral("Command1"));
        chooseOption(&w, 1);
        Drive::click(&w, QStringLiteral("CmdNext"));
        chooseOption(&w, 4);
        Drive::click(&w, QStringLiteral("CmdNext"));
        w.close();
    });
    w.exec();
    QVERIFY(ran);
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("1"));
    QCOMPARE(p.answer(examinee, 2), QStringLiteral("4"));

    w.resetToIntroduction();
    for (const char* shown : {"SkinLabel3", "SkinLabel4", "SkinLabel6", "Command1"})
        QVERIFY2(!child<QWidget>(&w, shown)->isHidden(), shown);
    for (const char* hidden : {"Frame1", "SkinLbl5", "Frame2", "Text6", "CmdBack", "CmdNext", "Command5", "Progress"})
        QVERIFY2(child<QWidget>(&w, hidden)->isHidden(), hidden);
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("0")));
    QVERIFY(shownStatement(&w).isEmpty());
    QVERIFY(p.answer(examinee, 3).isEmpty());
    QVERIFY(p.messages().boxes.isEmpty());

    // The next run starts at the introduction and, after "شروع", at item 1 with its stored answer.
    QVERIFY(openRun(w));
    for (const char* shown : {"SkinLabel3", "SkinLabel4", "SkinLabel6", "Command1"})
        QVERIFY2(child<QWidget>(&w, shown)->isVisible(), shown);
    for (const char* hidden : {"Frame1", "Frame2", "Text6", "CmdBack", "CmdNext", "Command5"})
        QVERIFY2(!child<QWidget>(&w, hidden)->isVisible(), hidden);
    Drive::click(&w, QStringLiteral("Command1"));
    QCOMPARE(itemBox(&w)->text(), ShownNumbers::text(QStringLiteral("1")));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("1")));
    QCOMPARE(checkedOption(&w), 1);
    Drive::click(&w, QStringLiteral("CmdNext"));
    QCOMPARE(checkedOption(&w), 4);
}

void TestTestWindow::keysOneToFiveChooseOutsideTextBoxes()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openRun(w));
    // Nothing to choose before "شروع".
    QTest::keyClick(child<QWidget>(&w, "Command1"), Qt::Key_3);
    QVERIFY(child<QWidget>(&w, "Command1")->isVisible());

    Drive::click(&w, QStringLiteral("Command1"));
    typeItemNumber(&w, QStringLiteral("3"));
    // The focus rests on the read-only code, where digits type nothing.
    auto* code = child<QLineEdit>(&w, "Code");
    code->setFocus();
    QTest::keyClick(code, Qt::Key_1);
    QCOMPARE(checkedOption(&w), 1);
    QCOMPARE(p.answer(examinee, 3), QStringLiteral("5"));

    const struct {
        const char* focus;
        Qt::Key key;
        int option;
    } presses[] = {
        {"Option1", Qt::Key_2, 2},
        {"CmdNext", Qt::Key_5, 5},
        {"Command5", Qt::Key_4, 4},
        {"Option5", Qt::Key_3, 3},
    };
    for (const auto& press : presses) {
        auto* target = child<QWidget>(&w, press.focus);
        target->setFocus();
        QTest::keyClick(target, press.key);
        QCOMPARE(checkedOption(&w), press.option);
        QCOMPARE(p.answer(examinee, 3), keyedScore(3, press.option));
        QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("3")));
    }
    // A Persian keyboard's digit chooses too.
    QTest::sendKeyEvent(QTest::Click, code, Qt::Key_unknown, QStringLiteral("۲"), Qt::NoModifier);
    QCOMPARE(checkedOption(&w), 2);
    // Keys beyond 5 choose nothing.
    QTest::keyClick(code, Qt::Key_6);
    QTest::keyClick(code, Qt::Key_0);
    QCOMPARE(checkedOption(&w), 2);
    QCOMPARE(p.answer(examinee, 3), QStringLiteral("4"));
    QVERIFY(p.messages().boxes.isEmpty());
}

void TestTestWindow::arrowAndPageKeysMoveInReadingOrder_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("itemAfter");

    // Items read right to left: the left arrow points forward.
    QTest::newRow("left arrow is next") << int(Qt::Key_Left) << 8;
    QTest::newRow("page down is next") << int(Qt::Key_PageDown) << 8;
    QTest::newRow("right arrow is previous") << int(Qt::Key_Right) << 6;
    QTest::newRow("page up is previous") << int(Qt::Key_PageUp) << 6;
}

void TestTestWindow::arrowAndPageKeysMoveInReadingOrder()
{
    QFETCH(int, key);
    QFETCH(int, itemAfter);
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    typeItemNumber(&w, QStringLiteral("7"));

    for (const char* focus : {"Option2", "CmdBack", "Code"}) {
        auto* target = child<QWidget>(&w, focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(frameCaption(&w), ShownNumbers::text(QString::number(itemAfter)));
        QCOMPARE(checkedOption(&w), 0);
        typeItemNumber(&w, QStringLiteral("7"));
    }
    // In a text box the keys stay with the box.
    for (const char* focus : {"Text6", "FName"}) {
        auto* target = child<QWidget>(&w, focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("7")));
    }
    QVERIFY(p.messages().boxes.isEmpty());
    for (int item = 1; item <= 35; ++item)
        QVERIFY(p.answer(examinee, item).isEmpty());
}

void TestTestWindow::digitsKeepTheirMeaningInTextBoxes()
{
    TestProgram p;
    p.addExaminee(examinee, QStringLiteral("Ali"));
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));

    QLineEdit* box = itemBox(&w);
    box->setFocus();
    box->end(false);
    QTest::keyClick(box, Qt::Key_2);
    QCOMPARE(box->text(), ShownNumbers::text(QStringLiteral("12")));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("12")));
    QCOMPARE(checkedOption(&w), 0);

    // Digits are the age's, the date's and the time's text.
    auto* age = child<QLineEdit>(&w, "Sen");
    age->setFocus();
    age->selectAll();
    QTest::keyClick(age, Qt::Key_3);
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("3")));
    QCOMPARE(checkedOption(&w), 0);
    for (int item = 1; item <= 35; ++item)
        QVERIFY(p.answer(examinee, item).isEmpty());
    QVERIFY(p.messages().boxes.isEmpty());
}

void TestTestWindow::answerKeysNeverTypeIntoDetails_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("option");
    QTest::newRow("name, 3") << "FName" << "3" << 3;
    QTest::newRow("name, Persian 4") << "FName" << "۴" << 4;
    QTest::newRow("family name, 1") << "LName" << "1" << 1;
    QTest::newRow("education, 5") << "Tahsil" << "5" << 5;
    QTest::newRow("marital state, Arabic-Indic 2") << QStringLiteral("Taahol") << QStringLiteral("\u0662") << 2;
}

// The focus left in a details box by a correction: the answer key answers the item and the detail stays as it was,
// on screen and once saved.
void TestTestWindow::answerKeysNeverTypeIntoDetails()
{
    QFETCH(QString, field);
    QFETCH(QString, key);
    QFETCH(int, option);
    TestProgram p;
    p.addExaminee(examinee, QStringLiteral("حسين"));
    const QString stored = p.ideField(examinee, field);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    auto* box = Drive::find<QLineEdit>(&w, field);
    box->setFocus();
    box->end(false);
    Drive::type(box, QStringLiteral("ي"));
    Drive::type(box, key);
    QCOMPARE(box->text(), stored + QStringLiteral("ي"));
    QCOMPARE(checkedOption(&w), option);
    QCOMPARE(p.answer(examinee, 1), keyedScore(1, option));
    // Letters still type there.
    QVERIFY(Drive::click(&w, QStringLiteral("Command5")));
    QCOMPARE(p.ideField(examinee, field), stored + QStringLiteral("ي"));
    QVERIFY(p.messages().boxes.isEmpty());
}

void TestTestWindow::statementAndOptionsTakeTheFocusWhenClicked()
{
    TestProgram p;
    p.addExaminee(examinee, QStringLiteral("حسين"));
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&w, "SkinLbl5"));

    auto* name = child<QLineEdit>(&w, "FName");
    for (const char* clicked : {"SkinLbl5", "Option2"}) {
        QTest::mouseClick(name, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), name);
        auto* target = child<QWidget>(&w, clicked);
        QTest::mouseClick(target, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), target);
        // The key then goes where the examinee is.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_4);
        QCOMPARE(checkedOption(&w), 4);
    }
    QCOMPARE(name->text(), QStringLiteral("حسين"));
    QVERIFY(p.messages().boxes.isEmpty());
}

void TestTestWindow::escapeDoesNotClose()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    auto* name = child<QLineEdit>(&w, "FName");
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Escape);
    QTest::keyClick(child<QWidget>(&w, "Option1"), Qt::Key_Escape);
    QVERIFY(w.isVisible());
}

void TestTestWindow::tabReachesEveryControl()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openRun(w));
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // Introduction: "شروع" is the one control, and Enter on it starts.
    auto* start = child<QWidget>(&w, "Command1");
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), start);
    QTest::keyClick(start, Qt::Key_Return);
    QVERIFY(!start->isVisible());

    const QStringList expected = {QStringLiteral("Option1"), QStringLiteral("Option2"), QStringLiteral("Option3"),
                                  QStringLiteral("Option4"), QStringLiteral("Option5"), QStringLiteral("CmdBack"),
                                  QStringLiteral("Text6"),   QStringLiteral("CmdNext"), QStringLiteral("Command5"),
                                  QStringLiteral("Code"),    QStringLiteral("FName"),   QStringLiteral("LName"),
                                  QStringLiteral("Jens"),    QStringLiteral("Sen"),     QStringLiteral("Taahol"),
                                  QStringLiteral("Tahsil"),  QStringLiteral("Date"),    QStringLiteral("Time")};
    // The statement has the focus at the start; Tab leaves it for the controls and never comes back to it.
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&w, "SkinLbl5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QStringList reached;
    for (int i = 0; i < 2 * expected.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        if (!reached.contains(focus->objectName()))
            reached << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (const QString& name : expected)
        QVERIFY2(reached.contains(name), qPrintable(name));
    QCOMPARE(reached.size(), expected.size());

    // Enter on the focused "بعدي" moves on, as a click would.
    auto* next = child<QWidget>(&w, "CmdNext");
    next->setFocus();
    QTest::keyClick(next, Qt::Key_Return);
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("2")));
}

void TestTestWindow::failedStoreIsReported()
{
    TestProgram p;
    p.addExaminee(examinee, QStringLiteral("Ali"));
    p.setAnswers(examinee, {QStringLiteral("4")});
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    auto* count = child<QLabel>(&w, "ProgressCount");
    QCOMPARE(checkedOption(&w), 4);
    QCOMPARE(count->text(), QStringLiteral("۱ از ۳۵"));
    auto* name = child<QLineEdit>(&w, "FName");
    name->selectAll();
    Drive::type(name, QStringLiteral("Sara"));

    // Storing a choice fails (a full disk says no the same way): the screen shows what is stored, and says so.
    QVERIFY(p.exec(QStringLiteral("PRAGMA query_only = ON")));
    chooseOption(&w, 2);
    QCOMPARE(p.messages().boxes.size(), 1);
    const ScriptedMessages::Box box = p.messages().boxes.last();
    QCOMPARE(box.kind, ScriptedMessages::Kind::Standard);
    QCOMPARE(box.title, Msg::ErrorTitlePersian);
    QVERIFY2(box.text.startsWith(Msg::AnswerNotStored + QLatin1Char('\n')), qPrintable(box.text));
    QVERIFY(box.text.size() > Msg::AnswerNotStored.size() + 1);
    QCOMPARE(checkedOption(&w), 4);
    QCOMPARE(count->text(), QStringLiteral("۱ از ۳۵"));
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("4"));

    // An item never answered shows no option again, and the count does not grow.
    Drive::click(&w, QStringLiteral("CmdNext"));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("2")));
    chooseOption(&w, 3);
    QCOMPARE(p.messages().boxes.size(), 2);
    QCOMPARE(checkedOption(&w), 0);
    QCOMPARE(count->text(), QStringLiteral("۱ از ۳۵"));
    QCOMPARE(p.answer(examinee, 2), QString());

    // Save and exit keeps the window open with the edits still there, and stores them once it can.
    Drive::click(&w, QStringLiteral("Command5"));
    QCOMPARE(p.messages().boxes.size(), 3);
    QVERIFY(p.messages().lastText().startsWith(Msg::SaveFailed));
    QVERIFY(w.isVisible());
    QCOMPARE(name->text(), QStringLiteral("Sara"));
    QVERIFY(p.exec(QStringLiteral("PRAGMA query_only = OFF")));
    chooseOption(&w, 3);
    Drive::click(&w, QStringLiteral("Command5"));
    QVERIFY(!w.isVisible());
    QCOMPARE(p.ideField(examinee, QStringLiteral("FName")), QStringLiteral("Sara"));
    QCOMPARE(p.answer(examinee, 1), QStringLiteral("4"));
    QCOMPARE(p.answer(examinee, 2), keyedScore(2, 3));
}

void TestTestWindow::answersWithoutDetailsAreSavedAndTheWindowCloses()
{
    TestProgram p;
    QVERIFY(p.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES (?)"), {examinee}));
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    chooseOption(&w, 5);
    Drive::click(&w, QStringLiteral("CmdNext"));
    chooseOption(&w, 1);
    Drive::click(&w, QStringLiteral("Command5"));
    QCOMPARE(p.messages().boxes.size(), 0);
    QVERIFY(!w.isVisible());
    QCOMPARE(p.answer(examinee, 1), keyedScore(1, 5));
    QCOMPARE(p.answer(examinee, 2), keyedScore(2, 1));
    QCOMPARE(p.rowCount(QStringLiteral("IDE")), 0);
}

void TestTestWindow::lockedFileIsNotAnUnknownExaminee()
{
    TestProgram p;
    p.addExaminee(examinee);
    constexpr int wait = 300;
    p.database().setLockWait(wait);
    LockHolder other(p.database().filePath());

    QElapsedTimer clock;
    clock.start();
    QWidget owner;
    TestWindow w(p.database(), p.messages(), &owner);
    QCOMPARE(w.prepareRun(examinee), TestWindow::Run::Failed);
    // Held up once for the lock, not once for every statement of the window.
    QVERIFY2(clock.elapsed() < 3 * wait, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(p.messages().noticeTexts(), QStringList{});
    QCOMPARE(p.messages().boxes.size(), 1);
    const ScriptedMessages::Box box = p.messages().boxes.first();
    QCOMPARE(box.kind, ScriptedMessages::Kind::Standard);
    QVERIFY2(box.text.startsWith(Msg::DatabaseBusy + QLatin1Char('\n')), qPrintable(box.text));
    QVERIFY(box.text.size() > Msg::DatabaseBusy.size() + 1);
    QCOMPARE(box.title, Msg::ErrorTitlePersian);
    QCOMPARE(box.owner.data(), &owner);

    // Once the file is free again, the same code is found.
    other.release();
    QTest::qWait(wait);
    QCOMPARE(w.prepareRun(examinee), TestWindow::Run::Ready);
}

void TestTestWindow::lockedFileWhileAnsweringIsSaid()
{
    TestProgram p;
    p.addExaminee(examinee);
    p.setAnswers(examinee, {QStringLiteral("2")});
    constexpr int wait = 200;
    p.database().setLockWait(wait);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    auto other = std::make_unique<LockHolder>(p.database().filePath());

    // An item that cannot be read shows no answer and says why, rather than passing for unanswered.
    Drive::click(&w, QStringLiteral("CmdNext"));
    QCOMPARE(frameCaption(&w), ShownNumbers::text(QStringLiteral("2")));
    QCOMPARE(p.messages().boxes.size(), 1);
    const QString said = p.messages().lastText();
    QVERIFY2(said.startsWith(Msg::DatabaseBusy + QLatin1Char('\n')), qPrintable(said));
    QCOMPARE(checkedOption(&w), 0);
    chooseOption(&w, 4);
    QCOMPARE(p.messages().boxes.size(), 2);
    QVERIFY(p.messages().lastText().startsWith(Msg::AnswerNotStored + QLatin1Char('\n')));
    QCOMPARE(checkedOption(&w), 0);

    // Once the file is free, the same choice is stored and the stored answers are shown again.
    other.reset();
    QTest::qWait(wait);
    chooseOption(&w, 4);
    QCOMPARE(p.answer(examinee, 2), QStringLiteral("4"));
    QCOMPARE(child<QLabel>(&w, "ProgressCount")->text(), ShownNumbers::text(QStringLiteral("2 از 35")));
    Drive::click(&w, QStringLiteral("CmdBack"));
    QCOMPARE(checkedOption(&w), 2);
    QCOMPARE(p.messages().boxes.size(), 2);
}

void TestTestWindow::assistiveTechnologySeesRadioButtons()
{
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(child<QGroupBox>(&w, "Frame2"));
    QVERIFY(frame);
    QCOMPARE(frame->role(), QAccessible::Grouping);
    for (int i = 1; i <= 5; ++i) {
        auto* option = Drive::find<QRadioButton>(&w, QStringLiteral("Option%1").arg(i));
        QAccessibleInterface* described = QAccessible::queryAccessibleInterface(option);
        QVERIFY(described);
        QCOMPARE(described->role(), QAccessible::RadioButton);
        QCOMPARE(described->text(QAccessible::Name), optionCaptions().at(i - 1));
        // One of five, in the group of the item.
        const QString position = described->text(QAccessible::Description);
        QVERIFY2(position.contains(QString::number(i)) && position.contains(QStringLiteral("5")), qPrintable(position));
        QCOMPARE(described->parent()->role(), QAccessible::Grouping);
        QVERIFY(described->state().checkable);
        QVERIFY(!described->state().checked);
        QVERIFY(described->actionInterface());
    }
}

void TestTestWindow::assistiveTechnologyChoosesAndStores_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("press") << QAccessibleActionInterface::pressAction();
    QTest::newRow("toggle") << QAccessibleActionInterface::toggleAction();
}

void TestTestWindow::assistiveTechnologyChoosesAndStores()
{
    QFETCH(QString, action);
    TestProgram p;
    p.addExaminee(examinee);
    TestWindow w(p.database(), p.messages());
    QVERIFY(openAndStart(w));
    typeItemNumber(&w, QStringLiteral("3"));
    const auto activate = [&](int option) {
        QAccessibleInterface* described =
            QAccessible::queryAccessibleInterface(Drive::find<QRadioButton>(&w, QStringLiteral("Option%1").arg(option)));
        QVERIFY(described && described->actionInterface());
        QVERIFY(described->actionInterface()->actionNames().contains(action));
        described->actionInterface()->doAction(action);
    };
    activate(1);
    QCOMPARE(p.answer(examinee, 3), keyedScore(3, 1));
    QCOMPARE(checkedOption(&w), 1);
    QCOMPARE(child<QLabel>(&w, "ProgressCount")->text(), ShownNumbers::text(QStringLiteral("1 از 35")));
    // Choosing another option the same way moves the choice; choosing the chosen one keeps it.
    activate(4);
    QCOMPARE(p.answer(examinee, 3), keyedScore(3, 4));
    QCOMPARE(checkedOption(&w), 4);
    activate(4);
    QCOMPARE(p.answer(examinee, 3), keyedScore(3, 4));
    QCOMPARE(checkedOption(&w), 4);
    QVERIFY(QAccessible::queryAccessibleInterface(Drive::find<QRadioButton>(&w, QStringLiteral("Option4")))
                ->state()
                .checked);
}

QTEST_MAIN(TestTestWindow)
#include "TestTestWindow.moc"
