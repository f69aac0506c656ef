#include "data/TableCursor.h"
#include "support/TestProgram.h"
#include "ui/ColumnBinding.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TestColumnBinding : public QObject {
    Q_OBJECT
private slots:
    void boundLineEditFollowsRowAndEditsField();
    void rebindingMovesAWidgetToAnotherColumn();
    void boundLabelAndComboShowTheColumn();
};

void TestColumnBinding::boundLineEditFollowsRowAndEditsField()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"), QStringLiteral("Ali"));
    program.addExaminee(QStringLiteral("2"), QStringLiteral("Sara"));
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    ColumnBinding& binding = ColumnBinding::of(cursor);
    QLineEdit edit;
    binding.bind(&edit, QStringLiteral("FName"));
    QCOMPARE(edit.text(), QStringLiteral("Ali"));
    QVERIFY(cursor.moveNext());
    QCOMPARE(edit.text(), QStringLiteral("Sara"));
    QVERIFY(!cursor.isModified());

    edit.show();
    edit.selectAll();
    Drive::type(&edit, QStringLiteral("مريم"));
    QCOMPARE(cursor.field(QStringLiteral("FName")), QStringLiteral("مريم"));
    QCOMPARE(program.ideField(QStringLiteral("2"), QStringLiteral("FName")), QStringLiteral("Sara"));
    QVERIFY(cursor.update());
    QCOMPARE(program.ideField(QStringLiteral("2"), QStringLiteral("FName")), QStringLiteral("مريم"));

    cursor.setField(QStringLiteral("FName"), QStringLiteral("Set in code"));
    QCOMPARE(edit.text(), QStringLiteral("Set in code"));

    cursor.addNew();
    QCOMPARE(edit.text(), QString());
}

void TestColumnBinding::rebindingMovesAWidgetToAnotherColumn()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"));
    program.setAnswers(QStringLiteral("1"), {QStringLiteral("4"), QStringLiteral("2")});
    TableCursor cursor(program.database(), QStringLiteral("Answer"));
    ColumnBinding& binding = ColumnBinding::of(cursor);
    QLineEdit box;
    binding.bind(&box, QStringLiteral("1"));
    QCOMPARE(box.text(), QStringLiteral("4"));
    binding.bind(&box, QStringLiteral("2"));
    QCOMPARE(box.text(), QStringLiteral("2"));
    box.setText(QStringLiteral("5"));
    QCOMPARE(cursor.field(QStringLiteral("2")), QStringLiteral("5"));
    QCOMPARE(cursor.field(QStringLiteral("1")), QStringLiteral("4"));
    binding.bind(&box, QStringLiteral("3"));
    QCOMPARE(box.text(), QString());
    QVERIFY(cursor.update());
    QCOMPARE(program.answer(QStringLiteral("1"), 2), QStringLiteral("5"));
    QCOMPARE(program.answer(QStringLiteral("1"), 3), QString());

    binding.unbind(&box);
    box.setText(QStringLiteral("1"));
    QCOMPARE(cursor.field(QStringLiteral("3")), QString());
}

void TestColumnBinding::boundLabelAndComboShowTheColumn()
{
    TestProgram program;
    program.exec(QStringLiteral("UPDATE Theme SET Name = 'کلينيک مهر'"));
    TableCursor cursor(program.database(), QStringLiteral("Theme"));
    ColumnBinding& binding = ColumnBinding::of(cursor);
    QLabel label;
    QComboBox combo;
    combo.setEditable(true);
    binding.bind(&label, QStringLiteral("Name"));
    binding.bind(&combo, QStringLiteral("TH"));
    QCOMPARE(label.text(), QStringLiteral("کلينيک مهر"));
    QCOMPARE(combo.currentText(), QStringLiteral("1"));
    combo.setEditText(QStringLiteral("7"));
    QCOMPARE(cursor.field(QStringLiteral("TH")), QStringLiteral("7"));
    {
        auto* temporary = new QLineEdit;
        binding.bind(temporary, QStringLiteral("Adress"));
        delete temporary; // a destroyed widget must simply drop out of the bindings
    }
    cursor.reload();
    QCOMPARE(combo.currentText(), QStringLiteral("1"));

    // A stored value that looks like markup is shown as it was typed.
    program.exec(QStringLiteral("UPDATE Theme SET Name = '<b>مهر</b>'"));
    cursor.reload();
    QCOMPARE(label.text(), QStringLiteral("<b>مهر</b>"));
    QCOMPARE(label.textFormat(), Qt::PlainText);
}

QTEST_MAIN(TestColumnBinding)
#include "TestColumnBinding.moc"
