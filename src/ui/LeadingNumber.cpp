#include "ui/LeadingNumber.h"

#include "text/Digits.h"

#include <cmath>
#include <limits>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

double leadingNumber(const QString& shownText)
{
    // A box may show its number with Persian digits; it reads as the number it holds.
    const QString text = Digits::toAscii(shownText);
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text.at(i)))
        ++i;

    QString number;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        number += text.at(i++);

    bool anyDigit = false;
    while (i < n && isAsciiDigit(text.at(i))) {
        number += text.at(i++);
        anyDigit = true;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        QString fraction;
        qsizetype j = i + 1;
        while (j < n && isAsciiDigit(text.at(j)))
            fraction += text.at(j++);
        if (!fraction.isEmpty()) {
            number += QLatin1Char('.') + fraction;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;

    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0.0;
}

int leadingWholeNumber(const QString& text, int fallback)
{
    const double value = leadingNumber(text);
    if (!std::isfinite(value) || value != std::floor(value) || value < std::numeric_limits<int>::min()
        || value > std::numeric_limits<int>::max())
        return fallback;
    return static_cast<int>(value);
}
