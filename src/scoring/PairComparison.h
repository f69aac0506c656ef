#pragma once

#include "scoring/Agreement.h"
#include "scoring/ExamineeDetails.h"
#include "scoring/Scales.h"
#include "scoring/ShownResults.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Two examinees side by side: two spouses, or one client before and after counselling (the first code is the
// earlier administration). Built from what the scoring window shows of each code and from their stored answers,
// so every figure is the scoring window's own; nothing here recomputes a score another way.
enum class ComparisonKind { Couple, FollowUp };

struct PairComparison {
    struct ScaleRow {
        Scale scale;
        std::optional<int> rawDifference; // second minus first
        std::optional<int> percentDifference; // second minus first
        int levelSteps = 0; // bands moved from first to second; 0 when either level is unknown
    };
    struct ItemRow {
        int item = 0;
        int firstKeyed = 0; // stored keyed score 1..5
        int secondKeyed = 0;
        int firstOption = 0; // the option 1..5 each chose
        int secondOption = 0;
        // Nothing for a TahrifeA statement: agreeing on an idealised picture says nothing about the marriage.
        std::optional<Agreement> agreement;
    };
    struct ScaleAgreement {
        Scale scale;
        int positivePercent = 0; // whole number, 0..100
    };

    ComparisonKind kind = ComparisonKind::Couple;
    ShownResults first;
    ShownResults second;
    // Both examinees' rows of IDE, for the details the results leave out (last name, date).
    ExamineeDetails firstExaminee;
    ExamineeDetails secondExaminee;
    std::array<ScaleRow, 4> scales {};
    QList<ItemRow> items; // all 35, in order
    QList<ScaleAgreement> agreement; // the three content scales; couples only
    QList<int> toTalkAbout; // content items in negative agreement or disagreement, ascending; couples only
    QList<int> changedItems; // items whose keyed score moved by 2 or more, ascending; follow-ups only
    bool idealisedCaution = false; // couples: either spouse's TahrifeA level is high or very high
    bool idealisedFirst = false; // couples: whose TahrifeA level it is
    bool idealisedSecond = false;

    const ScaleRow& row(Scale scale) const { return scales[static_cast<std::size_t>(scale)]; }
    const ItemRow& item(int number) const { return items[number - 1]; }
};

// Whether a statement belongs to the idealised-distortion scale, which says how the answers were given rather than
// how the marriage is.
bool isIdealisedItem(int item);

// The keyed scores (1..5) read from stored answer texts; nullopt when any of the 35 is not exactly "1".."5", i.e.
// when the sheet could not have been scored.
std::optional<std::array<int, 35>> keyedScores(const QStringList& answers);

// The comparison of two scored examinees from their shown results and stored answers (index 0 = item 1). Answers
// that cannot be scored give nullopt.
std::optional<PairComparison> comparePair(ComparisonKind kind, const ShownResults& first,
    const QStringList& firstAnswers, const ShownResults& second, const QStringList& secondAnswers);

// 100 × part ÷ whole rounded half up to a whole number; 0 for an empty whole.
int wholePercent(int part, int whole);

// The band index 0..4 of a level word; nullopt for any other text.
std::optional<int> levelIndex(const QString& level);

// A signed figure as the comparison draws it (its digits as every number is drawn): "+3", "-2", "0"; "" for none.
QString signedFigure(const std::optional<int>& value);
