#include "text/Digits.h"
#include "text/ProgramSettings.h"
#include "text/ShownNumbers.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// How every kind of number a person reads is drawn, with "ارقام فارسي" on and off.
class TestShownNumbers : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void onUntilTurnedOff();
    void choiceIsKeptInTheSettingsFile();
    void eachSettingsFileHasItsOwnChoice();
    void storedTexts_data();
    void storedTexts();
    void wholeNumbers_data();
    void wholeNumbers();
    void decimals_data();
    void decimals();
    void percents_data();
    void percents();
    void digits();
    void drawnTextReadsBackToTheStoredOne_data();
    void drawnTextReadsBackToTheStoredOne();
    void linesWithNamesAndAddresses_data();
    void linesWithNamesAndAddresses();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestShownNumbers::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    ProgramSettings::setFilePath(m_dir->filePath(QStringLiteral("tovrin35.conf")));
}

void TestShownNumbers::cleanup()
{
    ProgramSettings::setFilePath(QString());
    m_dir.reset();
}

void TestShownNumbers::onUntilTurnedOff()
{
    QVERIFY(ShownNumbers::persianDigits());
    QCOMPARE(ShownNumbers::number(35), QStringLiteral("۳۵"));
}

void TestShownNumbers::choiceIsKeptInTheSettingsFile()
{
    ShownNumbers::setPersianDigits(false);
    QVERIFY(!ShownNumbers::persianDigits());
    const QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("display/persianDigits")).toBool(), false);
    ShownNumbers::setPersianDigits(true);
    QVERIFY(ShownNumbers::persianDigits());
}

void TestShownNumbers::eachSettingsFileHasItsOwnChoice()
{
    ShownNumbers::setPersianDigits(false);
    const QString first = ProgramSettings::filePath();
    QTemporaryDir other;
    ProgramSettings::setFilePath(other.filePath(QStringLiteral("tovrin35.conf")));
    QVERIFY(ShownNumbers::persianDigits());
    // A choice written by another run of the program is read when the file is named again.
    {
        QSettings settings(first, QSettings::IniFormat);
        settings.setValue(QStringLiteral("display/persianDigits"), true);
    }
    ProgramSettings::setFilePath(first);
    QVERIFY(ShownNumbers::persianDigits());
}

void TestShownNumbers::storedTexts_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("on");
    QTest::newRow("date, layout 0: the slashes stay") << "1403/01/05" << QStringLiteral("۱۴۰۳/۰۱/۰۵");
    QTest::newRow("date, layout 4: the dots stay") << "1403.1.5" << QStringLiteral("۱۴۰۳.۱.۵");
    QTest::newRow("date with a month name") << QStringLiteral("30 اسفند 1403") << QStringLiteral("۳۰ اسفند ۱۴۰۳");
    QTest::newRow("clock") << "9.05" << QStringLiteral("۹.۰۵");
    QTest::newRow("registration time") << "14:30" << QStringLiteral("۱۴:۳۰");
    QTest::newRow("age") << "34" << QStringLiteral("۳۴");
    QTest::newRow("raw score") << "50" << QStringLiteral("۵۰");
    QTest::newRow("percent box") << "100" << QStringLiteral("۱۰۰");
    QTest::newRow("title with a number") << QStringLiteral("تورين 35 ماده اي") << QStringLiteral("تورين ۳۵ ماده اي");
    QTest::newRow("letters stay letters") << "ab-C" << "ab-C";
    QTest::newRow("Persian digits stay") << QStringLiteral("۱۲") << QStringLiteral("۱۲");
    QTest::newRow("empty") << "" << "";
}

void TestShownNumbers::storedTexts()
{
    QFETCH(QString, stored);
    QFETCH(QString, on);
    QCOMPARE(ShownNumbers::text(stored), on);
    ShownNumbers::setPersianDigits(false);
    QCOMPARE(ShownNumbers::text(stored), stored);
}

void TestShownNumbers::wholeNumbers_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("off");
    QTest::newRow("item number") << qint64(7) << QStringLiteral("۷") << "7";
    QTest::newRow("zero") << qint64(0) << QStringLiteral("۰") << "0";
    QTest::newRow("item count") << qint64(35) << QStringLiteral("۳۵") << "35";
    QTest::newRow("chart scale") << qint64(100) << QStringLiteral("۱۰۰") << "100";
    QTest::newRow("a count in thousands: the Persian separator") << qint64(12345) << QStringLiteral("۱۲٬۳۴۵") << "12345";
    QTest::newRow("a difference below zero keeps an ASCII sign") << qint64(-5) << QStringLiteral("-۵") << "-5";
}

void TestShownNumbers::wholeNumbers()
{
    QFETCH(qint64, value);
    QFETCH(QString, on);
    QFETCH(QString, off);
    QCOMPARE(ShownNumbers::number(value), on);
    ShownNumbers::setPersianDigits(false);
    QCOMPARE(ShownNumbers::number(value), off);
}

void TestShownNumbers::decimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("places");
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("off");
    QTest::newRow("one place: the Persian decimal separator") << 2.5 << 1 << QStringLiteral("۲٫۵") << "2.5";
    QTest::newRow("none") << 12.0 << 0 << QStringLiteral("۱۲") << "12";
    QTest::newRow("below zero") << -0.25 << 2 << QStringLiteral("-۰٫۲۵") << "-0.25";
}

void TestShownNumbers::decimals()
{
    QFETCH(double, value);
    QFETCH(int, places);
    QFETCH(QString, on);
    QFETCH(QString, off);
    QCOMPARE(ShownNumbers::decimal(value, places), on);
    ShownNumbers::setPersianDigits(false);
    QCOMPARE(ShownNumbers::decimal(value, places), off);
}

void TestShownNumbers::percents_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("off");
    QTest::newRow("zoom") << qint64(125) << QStringLiteral("۱۲۵٪") << "125%";
    QTest::newRow("progress") << qint64(0) << QStringLiteral("۰٪") << "0%";
}

void TestShownNumbers::percents()
{
    QFETCH(qint64, value);
    QFETCH(QString, on);
    QFETCH(QString, off);
    QCOMPARE(ShownNumbers::percent(value), on);
    ShownNumbers::setPersianDigits(false);
    QCOMPARE(ShownNumbers::percent(value), off);
    QCOMPARE(ShownNumbers::percentSign(), QStringLiteral("%"));
}

void TestShownNumbers::digits()
{
    for (int d = 0; d <= 9; ++d)
        QCOMPARE(ShownNumbers::digit(d), QChar(char16_t(0x06F0 + d)));
    QCOMPARE(ShownNumbers::digit(10), QChar());
    ShownNumbers::setPersianDigits(false);
    for (int d = 0; d <= 9; ++d)
        QCOMPARE(ShownNumbers::digit(d), QChar(char16_t(u'0' + d)));
}

void TestShownNumbers::drawnTextReadsBackToTheStoredOne_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("date") << "1403/12/30";
    QTest::newRow("clock") << "23.40";
    QTest::newRow("age") << "120";
    QTest::newRow("every digit") << "0123456789";
}

void TestShownNumbers::drawnTextReadsBackToTheStoredOne()
{
    QFETCH(QString, stored);
    QVERIFY(ShownNumbers::text(stored) != stored);
    QCOMPARE(Digits::toAscii(ShownNumbers::text(stored)), stored);
}

void TestShownNumbers::linesWithNamesAndAddresses_data()
{
    const QChar in(0x2068);
    const QChar out(0x2069);
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("on");
    QTest::newRow("program's name and version: the name stays a name")
        << "Tovrin35 1.0" << QStringLiteral("Tovrin35 ۱.۰");
    QTest::newRow("version of three parts") << "Tovrin35 1.10.2" << QStringLiteral("Tovrin35 ۱.۱۰.۲");
    QTest::newRow("telephone set apart after a caption")
        << QStringLiteral("تلفن : ") + in + "021-5555" + out + " "
        << QStringLiteral("تلفن : ") + in + QStringLiteral("۰۲۱-۵۵۵۵") + out + " ";
    QTest::newRow("telephone with a country code and blanks")
        << "+98 (21) 5555 1234" << QStringLiteral("+۹۸ (۲۱) ۵۵۵۵ ۱۲۳۴");
    QTest::newRow("programmer and telephone on one line")
        << QStringLiteral("برنامه نويس: ") + in + "Reza Ahmadi" + out + QStringLiteral("  تلفن: ") + in + "0912" + out
        << QStringLiteral("برنامه نويس: ") + in + "Reza Ahmadi" + out + QStringLiteral("  تلفن: ") + in
            + QStringLiteral("۰۹۱۲") + out;
    QTest::newRow("Persian title with a number")
        << QStringLiteral(" نرم افزار پرسشنامه رضايت زناشويي تورين 35 ماده اي ")
        << QStringLiteral(" نرم افزار پرسشنامه رضايت زناشويي تورين ۳۵ ماده اي ");
    QTest::newRow("a number joined to a Persian word") << QStringLiteral("تاريخ1403") << QStringLiteral("تاريخ۱۴۰۳");
    QTest::newRow("a Latin word with digits at a sentence's end") << "By Tovrin35." << "By Tovrin35.";
    QTest::newRow("a number beside a Latin word") << "Windows 10" << QStringLiteral("Windows ۱۰");
    QTest::newRow("e-mail address") << QStringLiteral(" ايميل : ") + in + "reza2@maker35.test" + out + "  "
                                    << QStringLiteral(" ايميل : ") + in + "reza2@maker35.test" + out + "  ";
    QTest::newRow("web address with digits in its path")
        << QStringLiteral(" وب سايت : ") + in + "https://maker.test/page/12" + out
        << QStringLiteral(" وب سايت : ") + in + "https://maker.test/page/12" + out;
    QTest::newRow("host name without a scheme") << "shop.maker.ir/item/12" << "shop.maker.ir/item/12";
    QTest::newRow("host starting with www") << "www.2maker.com" << "www.2maker.com";
    QTest::newRow("host in brackets, followed by a number")
        << "(maker.ir/1) 2" << QStringLiteral("(maker.ir/1) ۲");
    QTest::newRow("Persian digits stay") << QStringLiteral("نسخه ۱.۰") << QStringLiteral("نسخه ۱.۰");
    QTest::newRow("empty") << "" << "";
}

void TestShownNumbers::linesWithNamesAndAddresses()
{
    QFETCH(QString, stored);
    QFETCH(QString, on);
    QCOMPARE(ShownNumbers::line(stored), on);
    // What the line draws reads back to what it was given.
    QCOMPARE(Digits::toAscii(ShownNumbers::line(stored)), Digits::toAscii(stored));
    ShownNumbers::setPersianDigits(false);
    QCOMPARE(ShownNumbers::line(stored), stored);
}

QTEST_GUILESS_MAIN(TestShownNumbers)
#include "TestShownNumbers.moc"
