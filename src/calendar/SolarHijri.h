#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

// Solar Hijri (Persian) calendar, computed arithmetically from Gregorian dates. Day number 0 is 21 March 1953,
// which is 1 Farvardin 1332; earlier dates lie outside the calendar's range.

// Whether Solar Hijri year 1332 + yearOffset has 366 days.
bool IsSolarHijriLeapYear(int yearOffset);

// Splits the number of days since 21 March 1953 into Solar Hijri year, month (1..12) and day (1..31).
// A negative day number leaves year, month and day untouched.
void DaysToSolarHijri(qint64 dayNumber, int& year, int& month, int& day);

// Formats a Gregorian date as a Solar Hijri date in one of five layouts:
//   0  1403/01/01                    (month and day padded to two digits)
//   1  1 <month name> 1403
//   2  <weekday name> 1403/1/1
//   3  <weekday name> 1 <month name> 1403
//   4  1403.1.1
// Returns an empty text for an invalid date, a date before 21 March 1953 or a format code outside 0..4.
QString SolarHijriDate(const QDate& date, int formatCode = 0);

// SolarHijriDate of today's local date.
QString SolarHijriToday(int formatCode = 0);

// The Gregorian date of Solar Hijri year, month (1..12) and day; an invalid date for a day the calendar does not
// have (31 Mehr, 30 Esfand of a common year) or one before 1 Farvardin 1332. The inverse of SolarHijriDate.
QDate SolarHijriToGregorian(int year, int month, int day);

// A Solar Hijri date typed as year/month/day ("1403/1/5", "1403/01/05"; "." or "-" between the parts also do), in
// ASCII digits; an invalid date for anything else.
QDate ParseSolarHijriDate(const QString& text);
