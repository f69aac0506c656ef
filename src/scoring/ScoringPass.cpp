#include "scoring/ScoringPass.h"

#include "data/QuestionnaireItems.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"

namespace {

constexpr int itemCount = QuestionnaireItemCount;

// The keyed score of a stored answer, or nullopt when the text is not exactly one digit 1..5.
std::optional<int> keyedScore(const QString& text)
{
    if (text.size() != 1)
        return std::nullopt;
    const char16_t c = text.at(0).unicode();
    if (c < u'1' || c > u'5')
        return std::nullopt;
    return static_cast<int>(c - u'0');
}

QString withItemList(const QString& text, const QList<int>& items)
{
    QString message = text + QStringLiteral("\n\n");
    for (int item : items)
        message += ShownNumbers::number(item) + QStringLiteral("  ");
    return message;
}

} // namespace

ScoringResult scoreAnswers(const QStringList& answers)
{
    ScoringResult outcome;
    std::array<int, itemCount + 1> scoreOfItem{};
    for (int item = 1; item <= itemCount; ++item) {
        const QString text = item <= answers.size() ? answers.at(item - 1) : QString();
        if (text.isEmpty()) {
            outcome.unanswered.append(item);
        } else if (const std::optional<int> score = keyedScore(text)) {
            scoreOfItem[static_cast<std::size_t>(item)] = *score;
        } else {
            outcome.damaged.append(item);
        }
    }
    if (!outcome.isScorable())
        return outcome;

    for (const ScaleInfo& info : scales()) {
        ScaleResult& scaleResult = outcome.results[static_cast<std::size_t>(info.scale)];
        for (int item : info.items)
            scaleResult.raw += scoreOfItem[static_cast<std::size_t>(item)];
        scaleResult.percent = percentFor(info.scale, scaleResult.raw);
        if (scaleResult.percent) {
            scaleResult.level = levelFor(*scaleResult.percent);
            scaleResult.sentence = sentenceFor(info.scale, *scaleResult.percent);
        }
    }
    return outcome;
}

QString unansweredWarning(const QList<int>& items)
{
    return withItemList(Msg::UnansweredItems, items);
}

QString damagedWarning(const QList<int>& items)
{
    return withItemList(Msg::DamagedAnswers, items);
}

QString refusalMessage(const ScoringResult& result)
{
    if (!result.unanswered.isEmpty())
        return unansweredWarning(result.unanswered);
    if (!result.damaged.isEmpty())
        return damagedWarning(result.damaged);
    return {};
}
