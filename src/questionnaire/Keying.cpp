#include "questionnaire/Keying.h"

#include "data/QuestionnaireItems.h"


namespace {

constexpr int optionCount = 5;

bool isItem(int item)
{
    return questionnaireItem(item) != nullptr;
}

// Keying is its own inverse: the mirror of a score is the option that produced it and vice versa.
int keyed(int item, int value)
{
    return isReversedItem(item) ? optionCount + 1 - value : value;
}

} // namespace

bool isReversedItem(int item)
{
    const QuestionnaireItem* described = questionnaireItem(item);
    return described && described->reversed;
}

int scoreForOption(int item, int option)
{
    if (!isItem(item) || option < 1 || option > optionCount)
        return 0;
    return keyed(item, option);
}

int optionForScore(int item, const QString& stored)
{
    if (!isItem(item) || stored.size() != 1)
        return 0;
    const QChar c = stored.at(0);
    if (c < QLatin1Char('1') || c > QLatin1Char('5'))
        return 0;
    return keyed(item, c.unicode() - u'0');
}

const std::array<QString, 5>& optionCaptions()
{
    static const std::array<QString, 5> captions = {
        QStringLiteral("کاملاً مخالف"),
        QStringLiteral("مخالف"),
        QStringLiteral("نظري ندارم"),
        QStringLiteral("موافقم"),
        QStringLiteral("کاملاً موافقم"),
    };
    return captions;
}
