// One examinee's whole road through the real windows: registered on the main window, tested in the test window,
// scored in the scoring window, and the results found in the database.
#include "app/AppFixture.h"
#include "text/ShownNumbers.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void registerTestAndScore();
};

namespace {

QWidget* topLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

// Answers every item with "کاملاً موافقم" and leaves by "ذخيره و خروج", once the test window is open.
void answerAllAgreeingStrongly(bool* done)
{
    QTimer::singleShot(0, [done] {
        QWidget* test = QApplication::activeModalWidget();
        QVERIFY(test && test->objectName() == QLatin1String("FrmTest"));
        Drive::click(test, QStringLiteral("Command1"));
        for (int item = 1; item <= 35; ++item) {
            Drive::click(test, QStringLiteral("Option5"));
            Drive::click(test, QStringLiteral("CmdNext"));
        }
        Drive::click(test, QStringLiteral("Command5"));
        *done = true;
    });
}

} // namespace

void TestEndToEnd::registerTestAndScore()
{
    Hub hub;
    MainWindow* main = hub.show();

    Drive::click(main, QStringLiteral("Command1"));
    Drive::find<QLineEdit>(main, "Text11")->setText(QStringLiteral(" 41 "));
    Drive::find<QLineEdit>(main, "Text6")->setText(QStringLiteral("مريم"));
    Drive::find<QLineEdit>(main, "Text4")->setText(QStringLiteral("احمدي"));
    Drive::find<QComboBox>(main, "Combo2")->setCurrentIndex(1);
    Drive::find<QLineEdit>(main, "Text5")->setText(QStringLiteral("34"));
    Drive::find<QComboBox>(main, "Combo1")->setCurrentIndex(1);
    Drive::find<QComboBox>(main, "Combo3")->setCurrentIndex(2);
    Drive::find<QLineEdit>(main, "Text7")->setText(QStringLiteral("ليسانس"));
    Drive::click(main, QStringLiteral("Command8"));
    QCOMPARE(hub.program.messages().boxes.size(), 0);

    bool answered = false;
    answerAllAgreeingStrongly(&answered);
    hub.program.messages().typed.enqueue(QStringLiteral("41"));
    Drive::click(main, QStringLiteral("Command2"));
    QVERIFY(answered);
    QCOMPARE(hub.program.messages().noticeTexts(), QStringList{QStringLiteral("پايان")});
    // Agreeing strongly stores 5 on a direct item and 1 on a reversed one.
    QCOMPARE(hub.program.answer(QStringLiteral("41"), 1), QStringLiteral("5"));
    QCOMPARE(hub.program.answer(QStringLiteral("41"), 3), QStringLiteral("1"));
    QCOMPARE(hub.program.answer(QStringLiteral("41"), 35), QStringLiteral("5"));

    Drive::click(main, QStringLiteral("Command3"));
    QWidget* scoring = topLevel(QStringLiteral("FrmkLID"));
    QVERIFY(scoring);
    hub.program.messages().typed.enqueue(QStringLiteral("41"));
    Drive::click(scoring, QStringLiteral("Command1"));

    // Worked by hand from the keying and the scales: satisfaction 6 direct x 5 + 4 reversed x 1 = 34 (55%),
    // communication 3 x 5 + 7 x 1 = 22 (20%), conflict resolution 2 x 5 + 8 x 1 = 18 (10%), distortion 5 x 5 = 25.
    const QList<QPair<const char*, QStringList>> expected = {
        {"Rezayat", {"TextRez", "34", "TextRezd", "55", "TextRezs", "متوسط"}},
        {"Ertebat", {"TextEr", "22", "TextErd", "20", "TextErs", "پايين"}},
        {"HaleT", {"TextHal", "18", "TextHald", "10", "TextHals", "خيلي پايين"}},
        {"TahrifeA", {"TextTah", "25", "TextTahd", "100", "TextTahs", "خيلي بالا"}},
    };
    for (const auto& [column, boxes] : expected) {
        for (int i = 0; i < boxes.size(); i += 2)
            QCOMPARE(Drive::find<QLineEdit>(scoring, boxes.at(i))->text(), ShownNumbers::text(boxes.at(i + 1)));
        // Drawn with Persian digits, stored with ASCII ones.
        QCOMPARE(hub.program.ideField(QStringLiteral("41"), QString::fromLatin1(column)), boxes.at(1));
    }
    QCOMPARE(hub.program.ideField(QStringLiteral("41"), QStringLiteral("FName")), QStringLiteral("مريم"));
    QCOMPARE(hub.program.messages().boxes.last().kind, ScriptedMessages::Kind::Prompt);
}

QTEST_MAIN(TestEndToEnd)
#include "TestEndToEnd.moc"
