#include "scoring/PairComparison.h"

#include "data/QuestionnaireItems.h"
#include "questionnaire/Keying.h"
#include "text/ShownNumbers.h"

#include <cstdlib>

namespace {

std::optional<int> wholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> difference(const QString& first, const QString& second)
{
    const std::optional<int> a = wholeNumber(first);
    const std::optional<int> b = wholeNumber(second);
    if (!a || !b)
        return std::nullopt;
    return *b - *a;
}

bool isContentScale(Scale scale)
{
    return scale != Scale::TahrifeA;
}

bool idealised(const ShownResults& shown)
{
    const std::optional<int> band = levelIndex(shown.of(Scale::TahrifeA).level);
    return band && *band >= 3;
}

} // namespace

bool isIdealisedItem(int item)
{
    const std::optional<Scale> scale = scaleOfItem(item);
    return scale && !isContentScale(*scale);
}

std::optional<std::array<int, 35>> keyedScores(const QStringList& answers)
{
    static_assert(QuestionnaireItemCount == 35);
    std::array<int, 35> keyed {};
    for (int item = 1; item <= QuestionnaireItemCount; ++item) {
        const QString stored = item <= answers.size() ? answers[item - 1] : QString();
        if (optionForScore(item, stored) == 0)
            return std::nullopt;
        keyed[item - 1] = stored.at(0).unicode() - u'0';
    }
    return keyed;
}

int wholePercent(int part, int whole)
{
    if (whole <= 0)
        return 0;
    return (200 * part + whole) / (2 * whole);
}

std::optional<int> levelIndex(const QString& level)
{
    const auto& words = levelWords();
    for (std::size_t i = 0; i < words.size(); ++i)
        if (words[i] == level)
            return static_cast<int>(i);
    return std::nullopt;
}

QString signedFigure(const std::optional<int>& value)
{
    if (!value)
        return QString();
    return *value > 0 ? QLatin1Char('+') + ShownNumbers::number(*value) : ShownNumbers::number(*value);
}

std::optional<PairComparison> comparePair(ComparisonKind kind, const ShownResults& first,
    const QStringList& firstAnswers, const ShownResults& second, const QStringList& secondAnswers)
{
    const std::optional<std::array<int, 35>> a = keyedScores(firstAnswers);
    const std::optional<std::array<int, 35>> b = keyedScores(secondAnswers);
    if (!a || !b)
        return std::nullopt;

    PairComparison comparison;
    comparison.kind = kind;
    comparison.first = first;
    comparison.second = second;

    for (Scale scale : allScales) {
        const ShownResults::ScaleTexts& before = first.of(scale);
        const ShownResults::ScaleTexts& after = second.of(scale);
        PairComparison::ScaleRow& row = comparison.scales[static_cast<std::size_t>(scale)];
        row.scale = scale;
        row.rawDifference = difference(before.raw, after.raw);
        row.percentDifference = difference(before.percent, after.percent);
        const std::optional<int> from = levelIndex(before.level);
        const std::optional<int> to = levelIndex(after.level);
        row.levelSteps = from && to ? *to - *from : 0;
    }

    for (int item = 1; item <= QuestionnaireItemCount; ++item) {
        PairComparison::ItemRow row;
        row.item = item;
        row.firstKeyed = (*a)[item - 1];
        row.secondKeyed = (*b)[item - 1];
        row.firstOption = optionForScore(item, QString::number(row.firstKeyed));
        row.secondOption = optionForScore(item, QString::number(row.secondKeyed));
        const std::optional<Scale> scale = scaleOfItem(item);
        if (scale && isContentScale(*scale))
            row.agreement = agreementFor(row.firstKeyed, row.secondKeyed);
        comparison.items.append(row);
        if (kind == ComparisonKind::Couple
            && (row.agreement == Agreement::Negative || row.agreement == Agreement::Disagreement))
            comparison.toTalkAbout.append(item);
        if (kind == ComparisonKind::FollowUp && std::abs(row.secondKeyed - row.firstKeyed) >= 2)
            comparison.changedItems.append(item);
    }

    if (kind == ComparisonKind::Couple) {
        for (const ScaleInfo& info : scales()) {
            if (!isContentScale(info.scale))
                continue;
            int positive = 0;
            for (int item : info.items)
                positive += comparison.item(item).agreement == Agreement::Positive ? 1 : 0;
            comparison.agreement.append({ info.scale, wholePercent(positive, static_cast<int>(info.items.size())) });
        }
        comparison.idealisedFirst = idealised(first);
        comparison.idealisedSecond = idealised(second);
        comparison.idealisedCaution = comparison.idealisedFirst || comparison.idealisedSecond;
    }
    return comparison;
}
