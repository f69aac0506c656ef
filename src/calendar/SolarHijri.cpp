#include "calendar/SolarHijri.h"

#include <QRegularExpression>

#include <array>

namespace {

const QDate kEpoch(1953, 3, 21);
constexpr int kBaseYear = 1332;
constexpr int kFirstHalfMonthLength = 31;
constexpr int kSecondHalfMonthLength = 30;
constexpr int kFirstHalfLength = 6 * kFirstHalfMonthLength;

const std::array<QString, 12> kMonthNames = {
    QStringLiteral("فروردين"),
    QStringLiteral("ارديبهشت"),
    QStringLiteral("خرداد"),
    QStringLiteral("تير"),
    QStringLiteral("مرداد"),
    QStringLiteral("شهريور"),
    QStringLiteral("مهر"),
    QStringLiteral("آبان"),
    QStringLiteral("آذر"),
    QStringLiteral("دي"),
    QStringLiteral("بهمن"),
    QStringLiteral("اسفند"),
};

// Sunday first, as the weekday numbers of the layouts count.
const std::array<QString, 7> kWeekdayNames = {
    QStringLiteral("يکشنبه"),
    QStringLiteral("دوشنبه"),
    QStringLiteral("سه شنبه"),
    QStringLiteral("چهارشنبه"),
    QStringLiteral("پنجشنبه"),
    QStringLiteral("جمعه"),
    QStringLiteral("شنبه"),
};

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

bool IsSolarHijriLeapYear(int yearOffset)
{
    // The 33-year cycle: eight leap years per cycle, at these positions within it. For 1332..1436 it picks exactly
    // the years of the 1309-based 32-year rule (n = y - 1309; n mod 32 - n div 32 divisible by 4), so dates up to
    // 20 March 2059 read as they always have. That 32-year rule must not be used past 1436: it makes 1436 and 1437
    // both leap years, which this calendar never has, and puts every date from 21 March 2059 on a day behind.
    const qint64 year = qint64(yearOffset) + kBaseYear;
    const qint64 inCycle = ((year % 33) + 33) % 33;
    switch (inCycle) {
    case 1:
    case 5:
    case 9:
    case 13:
    case 17:
    case 22:
    case 26:
    case 30:
        return true;
    default:
        return false;
    }
}

void DaysToSolarHijri(qint64 dayNumber, int& year, int& month, int& day)
{
    if (dayNumber < 0)
        return;

    int yearOffset = 0;
    for (;;) {
        const int yearLength = IsSolarHijriLeapYear(yearOffset) ? 366 : 365;
        if (dayNumber < yearLength)
            break;
        dayNumber -= yearLength;
        ++yearOffset;
    }

    // dayNumber is now the zero-based day within the year: six 31-day months, then 30-day months, the last of
    // which simply ends early in a common year.
    const int dayInYear = static_cast<int>(dayNumber);
    year = yearOffset + kBaseYear;
    if (dayInYear < kFirstHalfLength) {
        month = dayInYear / kFirstHalfMonthLength + 1;
        day = dayInYear % kFirstHalfMonthLength + 1;
    } else {
        const int inSecondHalf = dayInYear - kFirstHalfLength;
        month = inSecondHalf / kSecondHalfMonthLength + 7;
        day = inSecondHalf % kSecondHalfMonthLength + 1;
    }
}

QString SolarHijriDate(const QDate& date, int formatCode)
{
    if (formatCode < 0 || formatCode > 4 || !date.isValid())
        return {};
    const qint64 dayNumber = kEpoch.daysTo(date);
    if (dayNumber < 0)
        return {};

    int year = 0;
    int month = 0;
    int day = 0;
    DaysToSolarHijri(dayNumber, year, month, day);

    // QDate counts Monday as 1 and Sunday as 7.
    const QString& weekdayName = kWeekdayNames[date.dayOfWeek() % 7];
    const QString& monthName = kMonthNames[month - 1];
    const QString y = QString::number(year);
    const QString m = QString::number(month);
    const QString d = QString::number(day);

    switch (formatCode) {
    case 0:
        return y + u'/' + twoDigits(month) + u'/' + twoDigits(day);
    case 1:
        return d + u' ' + monthName + u' ' + y;
    case 2:
        return weekdayName + u' ' + y + u'/' + m + u'/' + d;
    case 3:
        return weekdayName + u' ' + d + u' ' + monthName + u' ' + y;
    case 4:
        return y + u'.' + m + u'.' + d;
    default:
        return {};
    }
}

QString SolarHijriToday(int formatCode)
{
    return SolarHijriDate(QDate::currentDate(), formatCode);
}

QDate SolarHijriToGregorian(int year, int month, int day)
{
    if (year < kBaseYear || month < 1 || month > 12 || day < 1)
        return QDate();
    const bool leap = IsSolarHijriLeapYear(year - kBaseYear);
    const int monthLength = month <= 6 ? kFirstHalfMonthLength
        : month <= 11                  ? kSecondHalfMonthLength
                                       : (leap ? 30 : 29);
    if (day > monthLength)
        return QDate();
    qint64 dayNumber = 0;
    for (int offset = 0; offset < year - kBaseYear; ++offset)
        dayNumber += IsSolarHijriLeapYear(offset) ? 366 : 365;
    dayNumber += month <= 7 ? (month - 1) * kFirstHalfMonthLength
                            : kFirstHalfLength + (month - 7) * kSecondHalfMonthLength;
    return kEpoch.addDays(dayNumber + day - 1);
}

QDate ParseSolarHijriDate(const QString& text)
{
    static const QRegularExpression layout(QStringLiteral("^\\s*([0-9]{4})\\s*[/.\\-]\\s*([0-9]{1,2})\\s*[/.\\-]\\s*([0-9]{1,2})\\s*$"));
    const QRegularExpressionMatch match = layout.match(text);
    if (!match.hasMatch())
        return QDate();
    return SolarHijriToGregorian(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
}
