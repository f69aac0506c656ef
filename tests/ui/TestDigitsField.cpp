#include "support/TestProgram.h"
#include "text/Digits.h"
#include "text/ProgramSettings.h"
#include "text/ShownNumbers.h"
#include "ui/DigitsField.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestDigitsField : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void valueOf_data();
    void valueOf();
    void digitsOnly_data();
    void digitsOnly();
    void typedKeys_data();
    void typedKeys();
    void editingKeysWork();
    void limitDropsFurtherDigitsSilently();
    void pastedText_data();
    void pastedText();
    void drawsDigitsAsTheSettingSays_data();
    void drawsDigitsAsTheSettingSays();

private:
    QTemporaryDir m_settingsDir;
};

void TestDigitsField::initTestCase()
{
    QVERIFY(m_settingsDir.isValid());
    ProgramSettings::setFilePath(m_settingsDir.filePath(QStringLiteral("tovrin35.conf")));
}

void TestDigitsField::cleanupTestCase()
{
    ProgramSettings::setFilePath(QString());
}

void TestDigitsField::valueOf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("9") << "9" << 9;
    QTest::newRow("Persian zero") << QStringLiteral("\u06F0") << 0;
    QTest::newRow("Persian nine") << QStringLiteral("\u06F9") << 9;
    QTest::newRow("Arabic-Indic zero") << QStringLiteral("\u0660") << 0;
    QTest::newRow("Arabic-Indic nine") << QStringLiteral("\u0669") << 9;
    QTest::newRow("slash, below 0") << "/" << -1;
    QTest::newRow("colon, above 9") << ":" << -1;
    QTest::newRow("below the Persian digits") << QStringLiteral("\u06EF") << -1;
    QTest::newRow("above the Persian digits") << QStringLiteral("\u06FA") << -1;
    QTest::newRow("below the Arabic-Indic digits") << QStringLiteral("\u065F") << -1;
    QTest::newRow("above the Arabic-Indic digits") << QStringLiteral("\u066A") << -1;
    QTest::newRow("Persian letter") << QStringLiteral("\u0633") << -1;
    QTest::newRow("two digits") << "12" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestDigitsField::valueOf()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(Digits::valueOf(text), value);
}

void TestDigitsField::digitsOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("kept");
    QTest::newRow("two digits") << "30" << 2 << "30";
    QTest::newRow("letters only") << "abc" << 2 << "";
    QTest::newRow("digits among letters") << "a1b2" << 2 << "12";
    QTest::newRow("third digit dropped") << "123" << 2 << "12";
    QTest::newRow("sign and point") << "-4.5" << 3 << "45";
    QTest::newRow("Persian digits") << QStringLiteral("\u06F3\u06F0") << 2 << "30";
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0664\u0665") << 2 << "45";
    QTest::newRow("no limit") << "1234567" << 0 << "1234567";
}

void TestDigitsField::digitsOnly()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(QString, kept);
    QCOMPARE(Digits::digitsOnly(text, limit), kept);
    QCOMPARE(Digits::toAscii(kept), kept);
}

void TestDigitsField::typedKeys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("refused");
    QTest::newRow("ASCII digits") << "42"
                                  << "42" << 0;
    QTest::newRow("Persian digits") << QStringLiteral("\u06F4\u06F2") << "42" << 0;
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0664\u0662") << "42" << 0;
    QTest::newRow("letter between digits") << "4a2"
                                           << "42" << 1;
    QTest::newRow("Persian letter") << QStringLiteral("\u0628") << "" << 1;
    QTest::newRow("blank") << " "
                           << "" << 1;
    QTest::newRow("minus and point") << "-."
                                     << "" << 2;
}

void TestDigitsField::typedKeys()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, refused);
    DigitsField field(nullptr, 3);
    QSignalSpy refusals(&field, &DigitsField::keyRefused);
    field.show();
    field.setFocus();
    Drive::type(&field, typed);
    QCOMPARE(field.digits(), text);
    QCOMPARE(field.text(), ShownNumbers::text(text));
    QCOMPARE(refusals.count(), refused);
}

void TestDigitsField::editingKeysWork()
{
    DigitsField field(nullptr, 3);
    QSignalSpy refusals(&field, &DigitsField::keyRefused);
    QSignalSpy entered(&field, &QLineEdit::returnPressed);
    field.show();
    Drive::type(&field, QStringLiteral("123"));
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClick(&field, Qt::Key_Delete);
    QTest::keyClick(&field, Qt::Key_Return);
    QCOMPARE(field.digits(), QStringLiteral("1"));
    QCOMPARE(entered.count(), 1);
    QCOMPARE(refusals.count(), 0);
}

void TestDigitsField::limitDropsFurtherDigitsSilently()
{
    DigitsField field(nullptr, 2);
    QSignalSpy refusals(&field, &DigitsField::keyRefused);
    field.show();
    Drive::type(&field, QStringLiteral("1\u06F2\u06633"));
    QCOMPARE(field.digits(), QStringLiteral("12"));
    QCOMPARE(refusals.count(), 0);
    // With the text selected, typing replaces it.
    field.selectAll();
    Drive::type(&field, QStringLiteral("\u06F7"));
    QCOMPARE(field.digits(), QStringLiteral("7"));
}

void TestDigitsField::pastedText_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("text");
    QTest::newRow("digits among other text") << "age 30."
                                             << "30";
    QTest::newRow("Persian digits") << QStringLiteral("\u06F3\u06F0") << "30";
    QTest::newRow("too many digits") << "1234"
                                     << "12";
    QTest::newRow("no digit at all: the box keeps its text") << "abc"
                                                             << "45";
}

void TestDigitsField::pastedText()
{
    QFETCH(QString, pasted);
    QFETCH(QString, text);
    DigitsField field(nullptr, 2);
    QSignalSpy refusals(&field, &DigitsField::keyRefused);
    field.show();
    Drive::type(&field, QStringLiteral("45"));
    field.selectAll();
    Drive::paste(&field, pasted);
    QCOMPARE(field.digits(), text);
    QCOMPARE(field.text(), ShownNumbers::text(text));
    QCOMPARE(refusals.count(), 0);
}

void TestDigitsField::drawsDigitsAsTheSettingSays_data()
{
    QTest::addColumn<bool>("persian");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("drawn");
    QTest::newRow("on, ASCII typed") << true << "305" << QStringLiteral("\u06F3\u06F0\u06F5");
    QTest::newRow("on, Arabic-Indic typed") << true << QStringLiteral("\u0663\u0660") << QStringLiteral("\u06F3\u06F0");
    QTest::newRow("off, Persian typed") << false << QStringLiteral("\u06F3\u06F0") << "30";
    QTest::newRow("off, ASCII typed") << false << "305" << "305";
}

void TestDigitsField::drawsDigitsAsTheSettingSays()
{
    QFETCH(bool, persian);
    QFETCH(QString, typed);
    QFETCH(QString, drawn);
    ShownNumbers::setPersianDigits(persian);
    DigitsField field(nullptr, 3);
    DigitsField anyText(nullptr, 0, DigitsField::WholeText::AnyText);
    field.show();
    Drive::type(&field, typed);
    Drive::paste(&anyText, QStringLiteral("x") + typed);
    ShownNumbers::setPersianDigits(true);
    QCOMPARE(field.text(), drawn);
    QCOMPARE(field.digits(), Digits::toAscii(typed));
    QCOMPARE(anyText.text(), QStringLiteral("x") + drawn);
    QCOMPARE(anyText.digits(), QStringLiteral("x") + Digits::toAscii(typed));
}

QTEST_MAIN(TestDigitsField)
#include "TestDigitsField.moc"
