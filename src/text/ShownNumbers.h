#pragma once

#include <QString>

// How a number is drawn for a person: every date, clock, age, item number, score, percent, count and page number
// that a window, a chart or a report shows goes through here, so the whole program draws digits one way. With the
// operator's "ارقام فارسي" on (the default) digits are drawn as Persian digits, with the Persian separators where a
// number has them; off, they are drawn as ASCII digits, as stored. What is stored, compared and exported is never a
// drawn text: it stays ASCII, and any drawn text reads back to it with Digits::toAscii.
namespace ShownNumbers {

// The operator's choice, kept in the program's settings file (a preference of whoever sits at this computer, not
// clinic data); on until turned off.
bool persianDigits();
void setPersianDigits(bool on);

// `stored` as drawn: every ASCII digit in the drawn form, everything else as it is (so a date keeps its "/" and ".",
// a time its ":", a code's letters stay letters). Used for dates, times and number texts kept as stored.
QString text(const QString& stored);

// A line of words as drawn: the digits of its numbers as text() draws them (a telephone number, a version, "35"
// in a Persian title), but not the digits inside a Latin word, which are part of a name ("Tovrin35"), nor those of
// a web or e-mail address, which is copied as written. For lines that carry names and addresses beside numbers.
QString line(const QString& words);

// A whole number as drawn: Persian digits and the Persian thousands separator when on, plain ASCII digits when off.
// A sign stays an ASCII "-" or "+" so it reads in front of the digits in a left-to-right cell.
QString number(qint64 value);

// A number with `decimals` places after the Persian decimal separator (ASCII "." when off).
QString decimal(double value, int decimals);

// A whole percent with its sign: "۵۰٪" when on, "50%" when off.
QString percent(qint64 value);

// The percent sign as drawn.
QString percentSign();

// One digit 0..9 as drawn (what a digits-only box puts in for a typed digit).
QChar digit(int value);

} // namespace ShownNumbers
