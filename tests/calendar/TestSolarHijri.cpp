#include "calendar/SolarHijri.h"

#include <QRegularExpression>
#include <QTest>

#include <limits>
#include <set>

namespace {

const QDate kEpoch(1953, 3, 21);

struct SolarDay {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The 1309-based 32-year leap rule, the calendar's original arithmetic, which must keep giving the same dates
// up to 20 March 2059.
bool originalLeap(int year)
{
    const int n = year - 1309;
    const int a = n % 32;
    const int b = n / 32;
    return (a - b) % 4 == 0;
}

// Year-by-year walk with the original rule; 186 days of 31-day months, then 30-day months.
SolarDay originalDate(qint64 dayNumber)
{
    int year = 1332;
    for (;;) {
        const int length = originalLeap(year) ? 366 : 365;
        if (dayNumber - length < 0)
            break;
        dayNumber -= length;
        ++year;
    }
    const int d = static_cast<int>(dayNumber);
    if (d <= 185)
        return {year, d / 31 + 1, d % 31 + 1};
    return {year, (d - 186) / 30 + 7, (d - 186) % 30 + 1};
}

SolarDay convert(qint64 dayNumber)
{
    SolarDay result;
    DaysToSolarHijri(dayNumber, result.year, result.month, result.day);
    return result;
}

QString describe(const SolarDay& d)
{
    return QStringLiteral("%1/%2/%3").arg(d.year).arg(d.month).arg(d.day);
}

} // namespace

class TestSolarHijri : public QObject
{
    Q_OBJECT

private slots:
    void typedDatesBackToGregorian_data();
    void typedDatesBackToGregorian();
    void everyDayRoundTrips();
    void layouts_data();
    void layouts();
    void weekdayNames_data();
    void weekdayNames();
    void monthNames_data();
    void monthNames();
    void defaultCodeIsLayoutZero_data();
    void defaultCodeIsLayoutZero();
    void emptyText_data();
    void emptyText();
    void dayNumbers_data();
    void dayNumbers();
    void negativeDayNumberSetsNothing_data();
    void negativeDayNumberSetsNothing();
    void leapYears_data();
    void leapYears();
    void datesFrom2058_data();
    void datesFrom2058();
    void matchesOriginalRuleUntil2059();
    void noTwoLeapYearsInARow();
    void datesRunContinuously();
    void todayUsesLocalDate();
};

void TestSolarHijri::layouts_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");

    const QDate thu(2025, 3, 20);
    QTest::newRow("2025-03-20 layout 0") << thu << 0 << QStringLiteral("1403/12/30");
    QTest::newRow("2025-03-20 layout 1") << thu << 1 << QStringLiteral("30 اسفند 1403");
    QTest::newRow("2025-03-20 layout 2") << thu << 2 << QStringLiteral("پنجشنبه 1403/12/30");
    QTest::newRow("2025-03-20 layout 3") << thu << 3 << QStringLiteral("پنجشنبه 30 اسفند 1403");
    QTest::newRow("2025-03-20 layout 4") << thu << 4 << QStringLiteral("1403.12.30");

    const QDate wed(2024, 3, 20);
    QTest::newRow("2024-03-20 layout 0") << wed << 0 << QStringLiteral("1403/01/01");
    QTest::newRow("2024-03-20 layout 1") << wed << 1 << QStringLiteral("1 فروردين 1403");
    QTest::newRow("2024-03-20 layout 2") << wed << 2 << QStringLiteral("چهارشنبه 1403/1/1");
    QTest::newRow("2024-03-20 layout 3") << wed << 3 << QStringLiteral("چهارشنبه 1 فروردين 1403");
    QTest::newRow("2024-03-20 layout 4") << wed << 4 << QStringLiteral("1403.1.1");

    QTest::newRow("epoch layout 0") << kEpoch << 0 << QStringLiteral("1332/01/01");
    QTest::newRow("epoch layout 3") << kEpoch << 3 << QStringLiteral("شنبه 1 فروردين 1332");
    QTest::newRow("last day of common 1402") << QDate(2024, 3, 19) << 0 << QStringLiteral("1402/12/29");
    QTest::newRow("first day after leap 1403") << QDate(2025, 3, 21) << 0 << QStringLiteral("1404/01/01");
    QTest::newRow("2000-01-01 layout 0") << QDate(2000, 1, 1) << 0 << QStringLiteral("1378/10/11");
    QTest::newRow("2000-01-01 layout 4") << QDate(2000, 1, 1) << 4 << QStringLiteral("1378.10.11");

    // Padding applies to month and day separately, and only in layout 0.
    QTest::newRow("day below 10 layout 0") << QDate(2024, 12, 25) << 0 << QStringLiteral("1403/10/05");
    QTest::newRow("day below 10 layout 4") << QDate(2024, 12, 25) << 4 << QStringLiteral("1403.10.5");
    QTest::newRow("day below 10 layout 1") << QDate(2024, 12, 25) << 1 << QStringLiteral("5 دي 1403");
    QTest::newRow("month below 10 layout 0") << QDate(2024, 9, 21) << 0 << QStringLiteral("1403/06/31");
    QTest::newRow("month below 10 layout 2") << QDate(2024, 9, 21) << 2 << QStringLiteral("شنبه 1403/6/31");
    QTest::newRow("31 Shahrivar layout 3") << QDate(2024, 9, 21) << 3 << QStringLiteral("شنبه 31 شهريور 1403");
    QTest::newRow("1 Mehr layout 0") << QDate(2024, 9, 22) << 0 << QStringLiteral("1403/07/01");
    QTest::newRow("1 Mehr layout 4") << QDate(2024, 9, 22) << 4 << QStringLiteral("1403.7.1");
}

void TestSolarHijri::layouts()
{
    QFETCH(QDate, date);
    QFETCH(int, code);
    QFETCH(QString, expected);
    QCOMPARE(SolarHijriDate(date, code), expected);
}

void TestSolarHijri::weekdayNames_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Sunday") << QDate(2024, 3, 17) << QStringLiteral("يکشنبه 1402/12/27");
    QTest::newRow("Monday") << QDate(2024, 3, 18) << QStringLiteral("دوشنبه 1402/12/28");
    QTest::newRow("Tuesday") << QDate(2024, 3, 19) << QStringLiteral("سه شنبه 1402/12/29");
    QTest::newRow("Wednesday") << QDate(2024, 3, 20) << QStringLiteral("چهارشنبه 1403/1/1");
    QTest::newRow("Thursday") << QDate(2024, 3, 21) << QStringLiteral("پنجشنبه 1403/1/2");
    QTest::newRow("Friday") << QDate(2024, 3, 22) << QStringLiteral("جمعه 1403/1/3");
    QTest::newRow("Saturday") << QDate(2024, 3, 23) << QStringLiteral("شنبه 1403/1/4");
}

void TestSolarHijri::weekdayNames()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(SolarHijriDate(date, 2), expected);
}

void TestSolarHijri::monthNames_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Farvardin") << QDate(2024, 3, 20) << QStringLiteral("1 فروردين 1403");
    QTest::newRow("Ordibehesht") << QDate(2024, 4, 20) << QStringLiteral("1 ارديبهشت 1403");
    QTest::newRow("Khordad") << QDate(2024, 5, 21) << QStringLiteral("1 خرداد 1403");
    QTest::newRow("Tir") << QDate(2024, 6, 21) << QStringLiteral("1 تير 1403");
    QTest::newRow("Mordad") << QDate(2024, 7, 22) << QStringLiteral("1 مرداد 1403");
    QTest::newRow("Shahrivar") << QDate(2024, 8, 22) << QStringLiteral("1 شهريور 1403");
    QTest::newRow("Mehr") << QDate(2024, 9, 22) << QStringLiteral("1 مهر 1403");
    QTest::newRow("Aban") << QDate(2024, 10, 22) << QStringLiteral("1 آبان 1403");
    QTest::newRow("Azar") << QDate(2024, 11, 21) << QStringLiteral("1 آذر 1403");
    QTest::newRow("Dey") << QDate(2024, 12, 21) << QStringLiteral("1 دي 1403");
    QTest::newRow("Bahman") << QDate(2025, 1, 20) << QStringLiteral("1 بهمن 1403");
    QTest::newRow("Esfand") << QDate(2025, 2, 19) << QStringLiteral("1 اسفند 1403");
}

void TestSolarHijri::monthNames()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(SolarHijriDate(date, 1), expected);
}

void TestSolarHijri::defaultCodeIsLayoutZero_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("epoch") << kEpoch << QStringLiteral("1332/01/01");
    QTest::newRow("2000-01-01") << QDate(2000, 1, 1) << QStringLiteral("1378/10/11");
    QTest::newRow("2024-03-20") << QDate(2024, 3, 20) << QStringLiteral("1403/01/01");
    QTest::newRow("2025-03-20") << QDate(2025, 3, 20) << QStringLiteral("1403/12/30");
}

void TestSolarHijri::defaultCodeIsLayoutZero()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(SolarHijriDate(date), expected);
}

void TestSolarHijri::emptyText_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("code");
    QTest::newRow("code 5") << QDate(2025, 3, 20) << 5;
    QTest::newRow("code -1") << QDate(2025, 3, 20) << -1;
    QTest::newRow("code 100") << QDate(2025, 3, 20) << 100;
    QTest::newRow("day before epoch, layout 0") << QDate(1953, 3, 20) << 0;
    QTest::newRow("day before epoch, layout 3") << QDate(1953, 3, 20) << 3;
    QTest::newRow("long before epoch") << QDate(1900, 1, 1) << 4;
    QTest::newRow("invalid date") << QDate() << 0;
}

void TestSolarHijri::emptyText()
{
    QFETCH(QDate, date);
    QFETCH(int, code);
    const QString text = SolarHijriDate(date, code);
    QVERIFY2(text.isEmpty(), qPrintable(text));
}

void TestSolarHijri::dayNumbers_data()
{
    QTest::addColumn<qint64>("dayNumber");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::newRow("epoch") << qint64(0) << 1332 << 1 << 1;
    QTest::newRow("31 Farvardin") << qint64(30) << 1332 << 1 << 31;
    QTest::newRow("1 Ordibehesht") << qint64(31) << 1332 << 2 << 1;
    QTest::newRow("31 Shahrivar") << qint64(185) << 1332 << 6 << 31;
    QTest::newRow("1 Mehr") << qint64(186) << 1332 << 7 << 1;
    QTest::newRow("30 Mehr") << qint64(215) << 1332 << 7 << 30;
    QTest::newRow("1 Aban") << qint64(216) << 1332 << 8 << 1;
    QTest::newRow("29 Esfand, common 1332") << qint64(364) << 1332 << 12 << 29;
    QTest::newRow("1 Farvardin 1333") << qint64(365) << 1333 << 1 << 1;
    QTest::newRow("31 Shahrivar 1333") << qint64(365 + 185) << 1333 << 6 << 31;
    QTest::newRow("1 Mehr 1333") << qint64(365 + 186) << 1333 << 7 << 1;
    QTest::newRow("30 Esfand, leap 1333") << qint64(365 + 365) << 1333 << 12 << 30;
    QTest::newRow("1 Farvardin 1334") << qint64(365 + 366) << 1334 << 1 << 1;
}

void TestSolarHijri::dayNumbers()
{
    QFETCH(qint64, dayNumber);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    const SolarDay got = convert(dayNumber);
    QCOMPARE(got.year, year);
    QCOMPARE(got.month, month);
    QCOMPARE(got.day, day);
}

void TestSolarHijri::negativeDayNumberSetsNothing_data()
{
    QTest::addColumn<qint64>("dayNumber");
    QTest::newRow("-1") << qint64(-1);
    QTest::newRow("-366") << qint64(-366);
    QTest::newRow("lowest") << std::numeric_limits<qint64>::min();
}

void TestSolarHijri::negativeDayNumberSetsNothing()
{
    QFETCH(qint64, dayNumber);
    int year = -7;
    int month = -8;
    int day = -9;
    DaysToSolarHijri(dayNumber, year, month, day);
    QCOMPARE(year, -7);
    QCOMPARE(month, -8);
    QCOMPARE(day, -9);
}

void TestSolarHijri::leapYears_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("leap");

    const std::set<int> listed = {1333, 1337, 1342, 1346, 1350, 1354, 1358, 1362, 1366, 1370, 1375,
                                  1379, 1383, 1387, 1391, 1395, 1399, 1403, 1408, 1412, 1416};
    for (int year = 1332; year <= 1416; ++year)
        QTest::newRow(qPrintable(QString::number(year))) << year << listed.contains(year);

    // Around and after the point where the old 32-year form went wrong.
    QTest::newRow("1432") << 1432 << true;
    QTest::newRow("1436") << 1436 << true;
    QTest::newRow("1437") << 1437 << false;
    QTest::newRow("1438") << 1438 << false;
    QTest::newRow("1441") << 1441 << true;
    QTest::newRow("1469") << 1469 << true;
    QTest::newRow("1470") << 1470 << false;
}

void TestSolarHijri::leapYears()
{
    QFETCH(int, year);
    QFETCH(bool, leap);
    QCOMPARE(IsSolarHijriLeapYear(year - 1332), leap);
}

void TestSolarHijri::datesFrom2058_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("layout0");
    QTest::newRow("2058-03-20") << QDate(2058, 3, 20) << 1436 << 12 << 30 << QStringLiteral("1436/12/30");
    QTest::newRow("2058-03-21") << QDate(2058, 3, 21) << 1437 << 1 << 1 << QStringLiteral("1437/01/01");
    QTest::newRow("2059-03-20") << QDate(2059, 3, 20) << 1437 << 12 << 29 << QStringLiteral("1437/12/29");
    QTest::newRow("2059-03-21") << QDate(2059, 3, 21) << 1438 << 1 << 1 << QStringLiteral("1438/01/01");
    QTest::newRow("2091-03-20") << QDate(2091, 3, 20) << 1469 << 12 << 30 << QStringLiteral("1469/12/30");
    QTest::newRow("2092-03-20") << QDate(2092, 3, 20) << 1471 << 1 << 1 << QStringLiteral("1471/01/01");
    QTest::newRow("2100-12-31") << QDate(2100, 12, 31) << 1479 << 10 << 10 << QStringLiteral("1479/10/10");
}

void TestSolarHijri::datesFrom2058()
{
    QFETCH(QDate, date);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, layout0);
    const SolarDay got = convert(kEpoch.daysTo(date));
    QCOMPARE(got.year, year);
    QCOMPARE(got.month, month);
    QCOMPARE(got.day, day);
    QCOMPARE(SolarHijriDate(date, 0), layout0);
}

void TestSolarHijri::matchesOriginalRuleUntil2059()
{
    const QDate last(2059, 3, 20);
    int checked = 0;
    for (QDate date = kEpoch; date <= last; date = date.addDays(1)) {
        const qint64 dayNumber = kEpoch.daysTo(date);
        const SolarDay expected = originalDate(dayNumber);
        const SolarDay got = convert(dayNumber);
        if (got.year != expected.year || got.month != expected.month || got.day != expected.day)
            QFAIL(qPrintable(QStringLiteral("%1: got %2, expected %3")
                                 .arg(date.toString(Qt::ISODate), describe(got), describe(expected))));
        const QString layout0 = QString::asprintf("%d/%02d/%02d", expected.year, expected.month, expected.day);
        QCOMPARE(SolarHijriDate(date), layout0);
        ++checked;
    }
    QCOMPARE(checked, kEpoch.daysTo(last) + 1);
}

void TestSolarHijri::noTwoLeapYearsInARow()
{
    for (int year = 1332; year < 1600; ++year) {
        if (IsSolarHijriLeapYear(year - 1332) && IsSolarHijriLeapYear(year + 1 - 1332))
            QFAIL(qPrintable(QStringLiteral("%1 and %2 are both leap years").arg(year).arg(year + 1)));
    }
}

void TestSolarHijri::datesRunContinuously()
{
    const QDate last(2200, 12, 31);
    SolarDay previous = convert(0);
    QCOMPARE(previous.year, 1332);
    QCOMPARE(previous.month, 1);
    QCOMPARE(previous.day, 1);
    int daysInYear = 1;

    for (qint64 dayNumber = 1; dayNumber <= kEpoch.daysTo(last); ++dayNumber) {
        const SolarDay current = convert(dayNumber);
        const int monthLength = previous.month <= 6 ? 31 : 30;
        SolarDay sameMonth{previous.year, previous.month, previous.day + 1};
        SolarDay nextMonth{previous.year, previous.month + 1, 1};
        SolarDay nextYear{previous.year + 1, 1, 1};

        bool ok = false;
        auto is = [&current](const SolarDay& d) {
            return current.year == d.year && current.month == d.month && current.day == d.day;
        };
        if (previous.month < 12)
            ok = previous.day < monthLength ? is(sameMonth) : is(nextMonth);
        else if (previous.day < 29)
            ok = is(sameMonth);
        else if (previous.day == 29)
            ok = is(sameMonth) || is(nextYear); // Esfand has 30 days only in a leap year
        else
            ok = is(nextYear);
        if (!ok)
            QFAIL(qPrintable(QStringLiteral("day %1 (%2): %3 follows %4")
                                 .arg(dayNumber)
                                 .arg(kEpoch.addDays(dayNumber).toString(Qt::ISODate), describe(current),
                                      describe(previous))));

        if (current.year != previous.year) {
            if (daysInYear != 365 && daysInYear != 366)
                QFAIL(qPrintable(QStringLiteral("%1 has %2 days").arg(previous.year).arg(daysInYear)));
            QCOMPARE(IsSolarHijriLeapYear(previous.year - 1332), daysInYear == 366);
            daysInYear = 0;
        }
        ++daysInYear;
        previous = current;
    }
    QCOMPARE(previous.year, 1579);
}

void TestSolarHijri::todayUsesLocalDate()
{
    const QDate before = QDate::currentDate();
    const QString today = SolarHijriToday();
    const QString today4 = SolarHijriToday(4);
    const QDate after = QDate::currentDate();

    QVERIFY2(QRegularExpression(QStringLiteral("^1[4-9]\\d\\d/\\d\\d/\\d\\d$")).match(today).hasMatch(),
             qPrintable(today));
    QVERIFY(today == SolarHijriDate(before, 0) || today == SolarHijriDate(after, 0));
    QVERIFY(today4 == SolarHijriDate(before, 4) || today4 == SolarHijriDate(after, 4));
    QVERIFY(SolarHijriToday(5).isEmpty());
}

void TestSolarHijri::typedDatesBackToGregorian_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("date");
    QTest::newRow("first day") << "1332/01/01" << QDate(1953, 3, 21);
    QTest::newRow("unpadded") << "1405/1/1" << QDate(2026, 3, 21);
    QTest::newRow("dots and blanks") << " 1403.12.30 " << QDate(2025, 3, 20);
    QTest::newRow("dashes") << "1404-7-1" << QDate(2025, 9, 23);
    QTest::newRow("30 Esfand of a common year") << "1404/12/30" << QDate();
    QTest::newRow("31 Mehr") << "1404/07/31" << QDate();
    QTest::newRow("month 13") << "1404/13/01" << QDate();
    QTest::newRow("before the calendar") << "1331/12/29" << QDate();
    QTest::newRow("two-digit year") << "04/01/01" << QDate();
    QTest::newRow("words") << "today" << QDate();
}

void TestSolarHijri::typedDatesBackToGregorian()
{
    QFETCH(QString, typed);
    QFETCH(QDate, date);
    QCOMPARE(ParseSolarHijriDate(typed), date);
}

void TestSolarHijri::everyDayRoundTrips()
{
    for (QDate day(1990, 1, 1); day < QDate(2070, 1, 1); day = day.addDays(1)) {
        const QDate back = ParseSolarHijriDate(SolarHijriDate(day, 0));
        if (back != day)
            QFAIL(qPrintable(day.toString(Qt::ISODate)));
    }
}

QTEST_GUILESS_MAIN(TestSolarHijri)
#include "TestSolarHijri.moc"
