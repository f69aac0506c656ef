#include "questionnaire/ItemNumberRule.h"

#include "text/Digits.h"

#include <algorithm>

namespace ItemNumberRule {

namespace {

// Far beyond the item range yet safe to add 1 to or subtract 1 from.
constexpr int Saturated = 1000000;

} // namespace

std::optional<int> wholeNumber(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-'))) {
        negative = t.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    int value = 0;
    for (; i < t.size(); ++i) {
        const int digit = Digits::valueOf(t.at(i));
        if (digit < 0)
            return std::nullopt;
        value = std::min(value * 10 + digit, Saturated);
    }
    return negative ? -value : value;
}

Reading read(const QString& text)
{
    const std::optional<int> n = wholeNumber(text);
    if (!n)
        return {Step::StartOver, 0};
    if (*n < 0)
        return {Step::BeforeFirst, 0};
    if (*n == 0)
        return {Step::Rest, 0};
    if (*n > LastItem)
        return {Step::PastLast, 0};
    return {Step::Load, *n};
}

int countFrom(const QString& text)
{
    return wholeNumber(text).value_or(0);
}

} // namespace ItemNumberRule
