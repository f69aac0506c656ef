#include "data/Database.h"
#include "data/TableCursor.h"
#include "examinees/RegistrationPanel.h"
#include "calendar/SolarHijri.h"
#include "support/LayoutCheck.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"
#include "text/Digits.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSemaphore>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QThread>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <thread>

namespace {

const QString kDigitsOnly = QStringLiteral("شما بايد عدد وارد كنيد");
const QString kCodeTaken = QStringLiteral("فردديگري با اين کد ثبت شده");
const QString kSaveFailed = QStringLiteral("ذخيره اطلاعات انجام نشد.");

// What the operator types into the form; an empty list text erases that list's prompt.
struct Typed {
    QString code = QStringLiteral("12");
    QString firstName = QStringLiteral("Ali");
    QString familyName = QStringLiteral("Ahmadi");
    QString sex = QStringLiteral("مرد");
    QString age = QStringLiteral("30");
    QString marital = QStringLiteral("مجرد");
    QString group = QStringLiteral("B");
    QString education = QStringLiteral("Lisans");
};

// The panel in a window of its own, with the cursor a main window would give it.
class PanelHost {
public:
    PanelHost()
        : details(program.database(), QStringLiteral("IDE"))
    {
        panel = new RegistrationPanel(program.database(), program.messages(), details, &window);
        window.setLayoutDirection(Qt::RightToLeft);
        // The size the main window gives the panel.
        const QRect place = Twips::toPixels(0, 0, 6675, 2895);
        window.resize(place.size());
        panel->setGeometry(place);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        panel->startNewExaminee();
    }

    template <typename T>
    T* find(const char* name) { return Drive::find<T>(&window, QString::fromLatin1(name)); }
    QLineEdit* field(const char* name) { return find<QLineEdit>(name); }
    QComboBox* list(const char* name) { return find<QComboBox>(name); }

    void fill(const Typed& t)
    {
        field("Text11")->setText(t.code);
        field("Text6")->setText(t.firstName);
        field("Text4")->setText(t.familyName);
        list("Combo2")->setEditText(t.sex);
        field("Text5")->setText(t.age);
        list("Combo1")->setEditText(t.marital);
        list("Combo3")->setEditText(t.group);
        field("Text7")->setText(t.education);
    }

    void save() { Drive::click(&window, QStringLiteral("Command8")); }

    TestProgram program;
    QWidget window;
    TableCursor details;
    RegistrationPanel* panel = nullptr;
};

// The named control has the focus (an editable list passes it to its edit line).
bool hasFocus(QWidget* control)
{
    QWidget* focused = QApplication::focusWidget();
    return focused && (focused == control || control->isAncestorOf(focused));
}

QString focusedName(QWidget* root, const QStringList& names)
{
    QWidget* focused = QApplication::focusWidget();
    for (QWidget* w = focused; w && w != root; w = w->parentWidget())
        if (names.contains(w->objectName()))
            return w->objectName();
    return focused ? QStringLiteral("(%1)").arg(focused->objectName()) : QStringLiteral("(none)");
}

} // namespace

class TestRegistrationPanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void opening();
    void captionsAreBuddies_data();
    void captionsAreBuddies();
    void tabOrder();
    void nothingCutOff();
    void missingField_data();
    void missingField();
    void savesBothRowsWithOneCode();
    void untouchedListsAreNotAnswers();
    void duplicateCode_data();
    void duplicateCode();
    void sameCodeTwiceInARow();
    void oneCodeIsOnePersonHoweverTyped();
    void twoCopiesOnOneFileStoreACodeOnce();
    void fileHeldByAnotherProgramIsSaid();
    void codeWithApostrophe();
    void listsKeepTheirLastTexts();
    void failedWriteLeavesNothing();
    void cancelWritesNothing();
    void ageTyped();
    void agePasted_data();
    void agePasted();
    void listsShowTheirLongestEntry();
    void fieldsAlignRight();
};

void TestRegistrationPanel::opening()
{
    PanelHost host;
    for (const char* name : {"Text11", "Text6", "Text4", "Text5", "Text7"})
        QVERIFY2(host.field(name)->text().isEmpty(), name);
    // Today's date and the time are drawn with Persian digits; the date keeps its slashes.
    QCOMPARE(host.field("Text8")->text(), ShownNumbers::text(SolarHijriToday(0)));
    QVERIFY(QRegularExpression(QStringLiteral("^[۱][۳۴][۰-۹][۰-۹]/[۰-۹][۰-۹]/[۰-۹][۰-۹]$")).match(host.field("Text8")->text()).hasMatch());
    QCOMPARE(host.details.field(QStringLiteral("Date")), SolarHijriToday(0));
    QCOMPARE(Digits::toAscii(host.field("Text9")->text()), host.details.field(QStringLiteral("Time")));
    QVERIFY(!host.field("Text9")->text().contains(QRegularExpression(QStringLiteral("[0-9]"))));
    QVERIFY(!host.field("Text9")->text().isEmpty());
    QVERIFY(hasFocus(host.field("Text11")));

    QCOMPARE(host.list("Combo1")->currentText(), QStringLiteral("وضعيت تأهل خود را مشخص کنيد"));
    QCOMPARE(host.list("Combo2")->currentText(), QStringLiteral("جنسيت را انتخاب كنيد"));
    QCOMPARE(host.list("Combo3")->currentText(), QStringLiteral("گروه را مشخص کنيد"));
    QCOMPARE(host.list("Combo1")->count(), 2);
    QCOMPARE(host.list("Combo1")->itemText(1), QStringLiteral("متأهل"));
    QCOMPARE(host.list("Combo2")->itemText(0), QStringLiteral("مرد"));
    QCOMPARE(host.list("Combo3")->count(), 7);
    QCOMPARE(host.list("Combo3")->itemText(6), QStringLiteral("G"));
    QCOMPARE(host.find<QPushButton>("Command8")->text(), QStringLiteral("ذخيره"));
    QCOMPARE(host.find<QPushButton>("Command10")->text(), QStringLiteral("انصراف"));
    QVERIFY(host.field("Text5")->validator());
}

void TestRegistrationPanel::captionsAreBuddies_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("field");
    QTest::newRow("code") << QStringLiteral(" :کد") << "Text11";
    QTest::newRow("first name") << QStringLiteral(" :نام") << "Text6";
    QTest::newRow("family name") << QStringLiteral(" :نام خانوادگي") << "Text4";
    QTest::newRow("age") << QStringLiteral(" :سن") << "Text5";
    QTest::newRow("marital") << QStringLiteral(" :تاهل") << "Combo1";
    QTest::newRow("date") << QStringLiteral(" :تاريخ") << "Text8";
    QTest::newRow("sex") << QStringLiteral(" :جنس") << "Combo2";
    QTest::newRow("group") << QStringLiteral(" :گروه") << "Combo3";
    QTest::newRow("education") << QStringLiteral(" :تحصيلات") << "Text7";
    QTest::newRow("time") << QStringLiteral(" :ساعت") << "Text9";
}

void TestRegistrationPanel::captionsAreBuddies()
{
    QFETCH(QString, caption);
    QFETCH(QString, field);
    PanelHost host;
    QLabel* label = nullptr;
    for (QLabel* l : host.panel->findChildren<QLabel*>())
        if (l->text() == caption)
            label = l;
    QVERIFY2(label, qPrintable(caption));
    QVERIFY(label->buddy());
    QCOMPARE(label->buddy()->objectName(), field);
}

void TestRegistrationPanel::tabOrder()
{
    PanelHost host;
    const QStringList expected = {"Text11", "Text6",  "Text4",    "Text5",     "Combo1", "Text8",
                                  "Combo2", "Combo3", "Text7",    "Command8",  "Command10", "Text9"};
    QStringList seen = {focusedName(host.panel, expected)};
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << focusedName(host.panel, expected);
    }
    QCOMPARE(seen, expected);
}

void TestRegistrationPanel::nothingCutOff()
{
    PanelHost host;
    const QRect inside = host.panel->contentsRect();
    QList<QWidget*> controls;
    for (QWidget* w : host.panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible())
            controls << w;
    QCOMPARE(controls.size(), 22); // ten fields, their ten captions and two buttons
    for (QWidget* w : controls) {
        QVERIFY2(inside.contains(w->geometry()), qPrintable(w->objectName()));
        for (QWidget* other : controls)
            QVERIFY2(w == other || !w->geometry().intersects(other->geometry()),
                     qPrintable(w->objectName() + QLatin1Char('/') + other->objectName()));
    }
    // Captions, prompts and buttons show their whole text.
    for (QLabel* label : host.panel->findChildren<QLabel*>())
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), qPrintable(label->text()));
    for (const char* name : {"Combo1", "Combo2", "Combo3"}) {
        QComboBox* list = host.list(name);
        QVERIFY2(list->fontMetrics().horizontalAdvance(list->currentText()) < list->lineEdit()->width(), name);
        QVERIFY2(list->height() >= list->minimumSizeHint().height(), name);
    }
    for (QPushButton* button : host.panel->findChildren<QPushButton*>()) {
        QVERIFY(button->width() >= button->sizeHint().width());
        QVERIFY(button->height() >= button->minimumSizeHint().height());
    }
    QVERIFY(host.field("Text5")->height() >= host.field("Text5")->minimumSizeHint().height());
}

void TestRegistrationPanel::missingField_data()
{
    QTest::addColumn<QString>("leaveOut"); // which field of a complete form is left empty
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("focus");
    QTest::newRow("code") << "code" << QStringLiteral("کد آزمودني را وارد کنيد") << "Text11";
    QTest::newRow("code of blanks") << "code blanks" << QStringLiteral("کد آزمودني را وارد کنيد") << "Text11";
    QTest::newRow("first name") << "firstName" << QStringLiteral("نام آزمودني را وارد کنيد") << "Text6";
    QTest::newRow("family name") << "familyName" << QStringLiteral("نام خانوادگي آزمودني را وارد کنيد") << "Text4";
    QTest::newRow("sex") << "sex" << QStringLiteral("جنسيت آزمودني را مشخص کنيد") << "Combo2";
    QTest::newRow("age") << "age" << QStringLiteral("سن آزمودني را وارد کنيد") << "Text5";
    QTest::newRow("marital") << "marital" << QStringLiteral("وضعيت تاهل آزمودني را مشخص کنيد") << "Combo1";
    QTest::newRow("group") << "group" << QStringLiteral("گروه را مشخص کنيد") << "Combo3";
    QTest::newRow("education") << "education" << QStringLiteral("ميزان تحصيلات آزمودني را وارد کنيد") << "Text7";
    QTest::newRow("nothing typed") << "all" << QStringLiteral("کد آزمودني را وارد کنيد") << "Text11";
    QTest::newRow("only the code") << "all but code" << QStringLiteral("نام آزمودني را وارد کنيد") << "Text6";
}

void TestRegistrationPanel::missingField()
{
    QFETCH(QString, leaveOut);
    QFETCH(QString, notice);
    QFETCH(QString, focus);
    PanelHost host;
    Typed t;
    if (leaveOut == QLatin1String("code"))
        t.code.clear();
    else if (leaveOut == QLatin1String("code blanks"))
        t.code = QStringLiteral("  ");
    else if (leaveOut == QLatin1String("firstName"))
        t.firstName.clear();
    else if (leaveOut == QLatin1String("familyName"))
        t.familyName.clear();
    else if (leaveOut == QLatin1String("sex"))
        t.sex.clear();
    else if (leaveOut == QLatin1String("age"))
        t.age.clear();
    else if (leaveOut == QLatin1String("marital"))
        t.marital.clear();
    else if (leaveOut == QLatin1String("group"))
        t.group.clear();
    else if (leaveOut == QLatin1String("education"))
        t.education.clear();
    else if (leaveOut.startsWith(QLatin1String("all")))
        t = Typed{QString(), {}, {}, {}, {}, {}, {}, {}};
    if (leaveOut == QLatin1String("all but code"))
        t.code = QStringLiteral("12");
    host.fill(t);
    if (leaveOut == QLatin1String("all")) {
        // Nothing typed at all: the lists still show their prompts.
        host.list("Combo1")->setEditText(QStringLiteral("وضعيت تأهل خود را مشخص کنيد"));
        host.list("Combo2")->setEditText(QStringLiteral("جنسيت را انتخاب كنيد"));
        host.list("Combo3")->setEditText(QStringLiteral("گروه را مشخص کنيد"));
    }
    QSignalSpy saved(host.panel, &RegistrationPanel::saved);
    host.field("Text7")->setFocus();
    host.save();

    QCOMPARE(host.program.messages().noticeTexts(), QStringList{notice});
    QVERIFY2(hasFocus(host.find<QWidget>(qPrintable(focus))), qPrintable(focusedName(host.panel, {focus})));
    QCOMPARE(saved.count(), 0);
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), 0);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer")), 0);
    // Everything typed so far stays.
    QCOMPARE(host.field("Text6")->text(), t.firstName);
    QCOMPARE(host.field("Text7")->text(), t.education);
}

void TestRegistrationPanel::savesBothRowsWithOneCode()
{
    PanelHost host;
    QSignalSpy saved(host.panel, &RegistrationPanel::saved);
    const QString date = host.field("Text8")->text();
    const QString time = host.field("Text9")->text();
    Typed t;
    t.code = QStringLiteral(" 12 ");
    host.fill(t);
    Drive::type(host.field("Text6"), QStringLiteral("رضا")); // typed after "Ali"
    host.list("Combo2")->setCurrentIndex(1);                 // "زن" picked from the list
    host.save();

    QCOMPARE(host.program.messages().boxes.size(), 0);
    QCOMPARE(saved.count(), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer")), 1);
    // One code, without its outer blanks, in both tables.
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("12")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("12")), 1);
    const auto ide = [&](const char* column) { return host.program.ideField(QStringLiteral("12"), QString::fromLatin1(column)); };
    QCOMPARE(ide("FName"), QStringLiteral("Aliرضا"));
    QCOMPARE(ide("LName"), QStringLiteral("Ahmadi"));
    QCOMPARE(ide("Jens"), QStringLiteral("زن"));
    QCOMPARE(ide("Sen"), QStringLiteral("30"));
    QCOMPARE(ide("Taahol"), QStringLiteral("مجرد"));
    QCOMPARE(ide("Group"), QStringLiteral("B"));
    QCOMPARE(ide("Tahsil"), QStringLiteral("Lisans"));
    // Stored with ASCII digits, as drawn with Persian ones.
    QCOMPARE(ide("Date"), Digits::toAscii(date));
    QCOMPARE(ide("Time"), Digits::toAscii(time));
    QCOMPARE(ShownNumbers::text(ide("Date")), date);
    // The Answer row holds only the code.
    for (int item = 1; item <= 35; ++item)
        QVERIFY(host.program.answer(QStringLiteral("12"), item).isEmpty());
    QVERIFY(host.program.scalar(QStringLiteral("SELECT \"50\" FROM Answer")).isNull());
}

void TestRegistrationPanel::untouchedListsAreNotAnswers()
{
    // A form filled in everywhere except the three lists, which still show their prompts.
    PanelHost host;
    Typed t;
    host.fill(t);
    host.list("Combo2")->setEditText(QStringLiteral("جنسيت را انتخاب كنيد"));
    host.list("Combo1")->setEditText(QStringLiteral("وضعيت تأهل خود را مشخص کنيد"));
    host.list("Combo3")->setEditText(QStringLiteral("گروه را مشخص کنيد"));
    host.save();
    QCOMPARE(host.program.messages().noticeTexts(), QStringList{QStringLiteral("جنسيت آزمودني را مشخص کنيد")});

    host.list("Combo2")->setCurrentIndex(0);
    host.save();
    QCOMPARE(host.program.messages().lastText(), QStringLiteral("وضعيت تاهل آزمودني را مشخص کنيد"));
    host.list("Combo1")->setCurrentIndex(1);
    host.save();
    QCOMPARE(host.program.messages().lastText(), QStringLiteral("گروه را مشخص کنيد"));
    // The old prompt of the group list is not a group either.
    host.list("Combo3")->setEditText(QStringLiteral("جنسيت را انتخاب كنيد"));
    host.save();
    QCOMPARE(host.program.messages().lastText(), QStringLiteral("گروه را مشخص کنيد"));
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), 0);

    host.list("Combo3")->setCurrentIndex(2);
    host.save();
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), 1);
    QCOMPARE(host.program.ideField(QStringLiteral("12"), QStringLiteral("Group")), QStringLiteral("C"));
    QCOMPARE(host.program.ideField(QStringLiteral("12"), QStringLiteral("Taahol")), QStringLiteral("متأهل"));
}

void TestRegistrationPanel::duplicateCode_data()
{
    QTest::addColumn<QString>("inIde");    // code already in IDE ("" none)
    QTest::addColumn<QString>("inAnswer"); // code already in Answer ("" none)
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::newRow("same code in both") << "12" << "12" << "12" << true;
    QTest::newRow("typed with blanks") << "12" << "12" << "  12 " << true;
    QTest::newRow("only in IDE") << "12" << "" << "12" << true;
    QTest::newRow("only in Answer") << "" << "12" << " 12" << true;
    QTest::newRow("07 is not 7") << "7" << "7" << "07" << false;
    QTest::newRow("other code") << "12" << "12" << "13" << false;
    QTest::newRow("case matters") << "ab" << "ab" << "AB" << false;
}

void TestRegistrationPanel::duplicateCode()
{
    QFETCH(QString, inIde);
    QFETCH(QString, inAnswer);
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    PanelHost host;
    if (!inIde.isEmpty())
        host.program.exec(QStringLiteral("INSERT INTO IDE (Code, FName) VALUES (?, 'Old')"), {inIde});
    if (!inAnswer.isEmpty())
        host.program.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES (?)"), {inAnswer});
    const int ideBefore = host.program.rowCount(QStringLiteral("IDE"));
    const int answerBefore = host.program.rowCount(QStringLiteral("Answer"));

    Typed t;
    t.code = typed;
    host.fill(t);
    QSignalSpy saved(host.panel, &RegistrationPanel::saved);
    host.save();

    if (refused) {
        QCOMPARE(host.program.messages().noticeTexts(), QStringList{kCodeTaken});
        QCOMPARE(saved.count(), 0);
        QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), ideBefore);
        QCOMPARE(host.program.rowCount(QStringLiteral("Answer")), answerBefore);
        // The form stays as typed, to change the code and save again.
        QCOMPARE(host.field("Text6")->text(), t.firstName);
        host.field("Text11")->setText(QStringLiteral("99"));
        host.save();
        QCOMPARE(host.program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("99")), 1);
        QCOMPARE(host.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("99")), 1);
    } else {
        QCOMPARE(host.program.messages().boxes.size(), 0);
        QCOMPARE(saved.count(), 1);
        QCOMPARE(host.program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), typed), 1);
        QCOMPARE(host.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), typed), 1);
    }
}

void TestRegistrationPanel::sameCodeTwiceInARow()
{
    PanelHost host;
    host.fill(Typed{});
    host.save();
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), 1);
    host.panel->startNewExaminee();
    Typed second;
    second.code = QStringLiteral("12 ");
    second.firstName = QStringLiteral("Sara");
    host.fill(second);
    host.save();
    QCOMPARE(host.program.messages().noticeTexts(), QStringList{kCodeTaken});
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer")), 1);
    QCOMPARE(host.program.ideField(QStringLiteral("12"), QStringLiteral("FName")), QStringLiteral("Ali"));
}

void TestRegistrationPanel::oneCodeIsOnePersonHoweverTyped()
{
    // "123" in Latin, Persian and Arabic-Indic digits and with invisible marks inside look the same on screen.
    const QStringList ways = {QStringLiteral("\u06F1\u06F2\u06F3"), QStringLiteral("123"),
                              QStringLiteral("\u0661\u0662\u0663"), QStringLiteral("1\u200B23"),
                              QStringLiteral("12\u200C3"), QStringLiteral("\u200E123\u200F"),
                              QStringLiteral("\u202B\u2067123\u2069\u202C"), QStringLiteral("\uFEFF1\u00AD23")};
    PanelHost host;
    for (const QString& code : ways) {
        host.panel->startNewExaminee();
        Typed t;
        t.code = code;
        host.fill(t);
        host.save();
    }
    // The first is stored in plain digits; every other way of typing it is the same person.
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("123")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("123")), 1);
    QCOMPARE(host.program.messages().noticeTexts(), QStringList(ways.size() - 1, kCodeTaken));
}

void TestRegistrationPanel::twoCopiesOnOneFileStoreACodeOnce()
{
    PanelHost host;
    Typed t;
    t.code = QStringLiteral("77");
    host.fill(t);

    // Another copy of the program on the same file (another user of the machine) is registering "77" at this
    // moment: its write has begun and is stored a little later.
    QSemaphore writing;
    bool otherStored = false;
    std::thread other([&] {
        Database second(host.program.folder());
        if (second.open().ok() && second.beginTransaction()) {
            second.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES ('77')"));
            second.exec(QStringLiteral("INSERT INTO IDE (Code, FName) VALUES ('77', 'Other')"));
            writing.release();
            QThread::msleep(400);
            otherStored = second.commit();
        } else {
            writing.release();
        }
    });
    const bool began = writing.tryAcquire(1, 10000);
    host.save();
    other.join();
    QVERIFY(began);
    QVERIFY(otherStored);

    // This copy waited for the other one and then found the code taken.
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("77")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("77")), 1);
    QCOMPARE(host.program.ideField(QStringLiteral("77"), QStringLiteral("FName")), QStringLiteral("Other"));
    QCOMPARE(host.program.messages().noticeTexts(), QStringList{kCodeTaken});
}

void TestRegistrationPanel::fileHeldByAnotherProgramIsSaid()
{
    PanelHost host;
    host.fill(Typed{});
    host.program.database().setLockWait(200);
    QSignalSpy saved(host.panel, &RegistrationPanel::saved);
    {
        LockHolder other(host.program.database().filePath());
        host.save();
    }
    // Neither "taken" nor a silent failure: the operator is told the file is busy, and the form stays as typed.
    QCOMPARE(saved.count(), 0);
    QCOMPARE(host.program.messages().noticeTexts(), QStringList{});
    QCOMPARE(host.program.messages().boxes.size(), 1);
    QVERIFY2(host.program.messages().lastText().startsWith(Msg::DatabaseBusy), qPrintable(host.program.messages().lastText()));
    QCOMPARE(host.field("Text6")->text(), QStringLiteral("Ali"));
    QTest::qWait(250);
    host.save();
    QCOMPARE(saved.count(), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("12")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("12")), 1);
}

void TestRegistrationPanel::codeWithApostrophe()
{
    PanelHost host;
    Typed t;
    t.code = QStringLiteral("O'Brien");
    host.fill(t);
    host.save();
    QCOMPARE(host.program.messages().boxes.size(), 0);
    TableCursor lookup(host.program.database(), QStringLiteral("Answer"));
    QVERIFY(lookup.setFilter(QStringLiteral("Code"), QStringLiteral("O'Brien")));
    QCOMPARE(lookup.count(), 1);
    QCOMPARE(host.program.ideField(QStringLiteral("O'Brien"), QStringLiteral("FName")), QStringLiteral("Ali"));

    // And it is found again as a duplicate.
    host.panel->startNewExaminee();
    host.fill(t);
    host.save();
    QCOMPARE(host.program.messages().noticeTexts(), QStringList{kCodeTaken});
}

void TestRegistrationPanel::listsKeepTheirLastTexts()
{
    PanelHost host;
    Typed t;
    t.sex = QStringLiteral("زن");
    t.marital = QStringLiteral("متأهل");
    t.group = QStringLiteral("E");
    host.fill(t);
    host.save();
    host.panel->startNewExaminee();
    QCOMPARE(host.list("Combo2")->currentText(), QStringLiteral("زن"));
    QCOMPARE(host.list("Combo1")->currentText(), QStringLiteral("متأهل"));
    QCOMPARE(host.list("Combo3")->currentText(), QStringLiteral("E"));
    QVERIFY(host.field("Text11")->text().isEmpty());
    QVERIFY(host.field("Text6")->text().isEmpty());

    // Saved again without touching the lists, their texts are stored for the next examinee too.
    host.field("Text11")->setText(QStringLiteral("13"));
    host.field("Text6")->setText(QStringLiteral("Sara"));
    host.field("Text4")->setText(QStringLiteral("Karimi"));
    host.field("Text5")->setText(QStringLiteral("41"));
    host.field("Text7")->setText(QStringLiteral("Diplom"));
    host.save();
    QCOMPARE(host.program.messages().boxes.size(), 0);
    QCOMPARE(host.program.ideField(QStringLiteral("13"), QStringLiteral("Jens")), QStringLiteral("زن"));
    QCOMPARE(host.program.ideField(QStringLiteral("13"), QStringLiteral("Taahol")), QStringLiteral("متأهل"));
    QCOMPARE(host.program.ideField(QStringLiteral("13"), QStringLiteral("Group")), QStringLiteral("E"));
}

void TestRegistrationPanel::failedWriteLeavesNothing()
{
    PanelHost host;
    // The Answer row goes in first; the IDE row then fails.
    QVERIFY(host.program.exec(QStringLiteral(
        "CREATE TRIGGER refuse_ide BEFORE INSERT ON IDE BEGIN SELECT RAISE(ABORT, 'disk says no'); END")));
    host.fill(Typed{});
    QSignalSpy saved(host.panel, &RegistrationPanel::saved);
    host.save();

    QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), 0);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer")), 0);
    QCOMPARE(saved.count(), 0);
    QCOMPARE(host.program.messages().boxes.size(), 1);
    const ScriptedMessages::Box box = host.program.messages().boxes.first();
    QCOMPARE(box.kind, ScriptedMessages::Kind::Standard);
    QVERIFY2(box.text.startsWith(kSaveFailed), qPrintable(box.text));
    QVERIFY2(box.text.contains(QStringLiteral("disk says no")), qPrintable(box.text));
    QCOMPARE(box.title, QStringLiteral("خطا"));
    QCOMPARE(host.field("Text6")->text(), QStringLiteral("Ali"));

    // Once the fault is gone, the same form saves.
    QVERIFY(host.program.exec(QStringLiteral("DROP TRIGGER refuse_ide")));
    host.save();
    QCOMPARE(saved.count(), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("12")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("12")), 1);
    QCOMPARE(host.program.ideField(QStringLiteral("12"), QStringLiteral("Jens")), QStringLiteral("مرد"));
}

void TestRegistrationPanel::cancelWritesNothing()
{
    PanelHost host;
    host.program.addExaminee(QStringLiteral("1"));
    host.details.reload();
    host.panel->startNewExaminee();
    host.fill(Typed{});
    QSignalSpy cancelled(host.panel, &RegistrationPanel::cancelled);
    Drive::click(&host.window, QStringLiteral("Command10"));
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("IDE")), 1);
    QCOMPARE(host.program.rowCount(QStringLiteral("Answer")), 1);
    QVERIFY(!host.details.isNewRow());
    QCOMPARE(host.program.messages().boxes.size(), 0);
}

void TestRegistrationPanel::ageTyped()
{
    PanelHost host;
    QLineEdit* age = host.field("Text5");
    age->setFocus();
    Drive::type(age, QStringLiteral("3"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("3")));
    QCOMPARE(host.program.messages().beeps, 0);

    Drive::type(age, QStringLiteral("a"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("3")));
    QCOMPARE(host.program.messages().beeps, 1);
    QCOMPARE(host.program.messages().noticeTexts(), QStringList{kDigitsOnly});

    Drive::type(age, QStringLiteral("b -"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("3")));
    QCOMPARE(host.program.messages().beeps, 4);
    QCOMPARE(host.program.messages().noticeTexts().size(), 4);

    // A Persian keyboard's digits are digits, drawn as every number is and stored as ASCII.
    Drive::type(age, QStringLiteral("۰"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("30")));
    // A third digit is refused by the length limit, without a message.
    Drive::type(age, QStringLiteral("7"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("30")));
    age->home(false);
    Drive::type(age, QStringLiteral("7"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("30")));
    QCOMPARE(host.program.messages().beeps, 4);

    age->end(false);
    QTest::keyClick(age, Qt::Key_Backspace);
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("3")));
    QTest::keyClick(age, Qt::Key_Return);
    QCOMPARE(host.program.messages().beeps, 4);
    Drive::type(age, QStringLiteral("9"));
    QCOMPARE(age->text(), ShownNumbers::text(QStringLiteral("39")));
    QCOMPARE(host.details.field(QStringLiteral("Sen")), QStringLiteral("39"));
}

void TestRegistrationPanel::agePasted_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::newRow("digits") << "" << "42" << "42";
    QTest::newRow("digits among text") << "" << "age: 3 5" << "35";
    QTest::newRow("too many digits") << "" << "123" << "12";
    QTest::newRow("no digits") << "" << "abc" << "";
    QTest::newRow("after a digit") << "4" << "x7y" << "47";
    QTest::newRow("Persian digits") << "" << QStringLiteral("۴۲") << "42";
    QTest::newRow("Arabic-Indic digits among text") << "" << QStringLiteral("\u0664 \u0662") << "42";
}

void TestRegistrationPanel::agePasted()
{
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    PanelHost host;
    QLineEdit* age = host.field("Text5");
    age->setText(before);
    age->end(false);
    Drive::paste(age, pasted);
    QCOMPARE(age->text(), ShownNumbers::text(after));
    QCOMPARE(host.details.field(QStringLiteral("Sen")), after);
    QCOMPARE(host.program.messages().boxes.size(), 0);
}

// Each list is wide enough for the longest of its entries and its prompt, arrow included.
void TestRegistrationPanel::listsShowTheirLongestEntry()
{
    PanelHost host;
    host.window.show();
    for (const char* name : {"Combo1", "Combo2", "Combo3"}) {
        QComboBox* list = host.list(name);
        QStringList entries{list->currentText()};
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i);
        QVERIFY2(entries.size() > 1, name);
        for (const QString& entry : entries) {
            QStyleOptionComboBox option;
            option.initFrom(list);
            option.editable = true;
            const QFontMetrics metrics(list->lineEdit()->font());
            // The line edit's own margins come on top of the text.
            const int text = metrics.horizontalAdvance(entry) + 2 * 2 + 2;
            const QSize needed = list->style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                                 QSize(text, metrics.height()), list);
            QVERIFY2(list->width() >= needed.width(),
                     qPrintable(QStringLiteral("%1: %2 < %3 for %4")
                                    .arg(QLatin1String(name))
                                    .arg(list->width())
                                    .arg(needed.width())
                                    .arg(entry)));
        }
    }
    QVERIFY(LayoutCheck::nothingCutOff(host.panel));
}

// Codes, numbers, dates and names all start at the right edge, as a Persian form writes them.
void TestRegistrationPanel::fieldsAlignRight()
{
    PanelHost host;
    for (const char* name : {"Text11", "Text6", "Text4", "Text5", "Text8", "Text7", "Text9"}) {
        QLineEdit* field = host.field(name);
        QCOMPARE(field->alignment() & (Qt::AlignHorizontal_Mask | Qt::AlignAbsolute),
                 Qt::AlignRight | Qt::AlignAbsolute);
    }
    for (const char* name : {"Combo1", "Combo2", "Combo3"})
        QCOMPARE(host.list(name)->lineEdit()->alignment() & (Qt::AlignHorizontal_Mask | Qt::AlignAbsolute),
                 Qt::AlignRight | Qt::AlignAbsolute);
}

QTEST_MAIN(TestRegistrationPanel)
#include "TestRegistrationPanel.moc"
