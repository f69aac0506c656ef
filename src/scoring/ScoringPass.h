#pragma once

#include "scoring/Scales.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// One scale's outcome of a scoring pass.
struct ScaleResult {
    int raw = 0;
    std::optional<int> percent;
    QString level;
    QString sentence;
};

// The outcome of scoring one examinee's 35 answers. The scale results are filled only when the answers can be
// scored, i.e. when no item is unanswered and none is damaged.
struct ScoringResult {
    QList<int> unanswered; // items whose answer text is empty, ascending
    QList<int> damaged;    // items whose answer text is not empty and not exactly one of "1".."5", ascending
    std::array<ScaleResult, 4> results; // in the order of allScales

    bool isScorable() const { return unanswered.isEmpty() && damaged.isEmpty(); }
    const ScaleResult& result(Scale scale) const { return results[static_cast<std::size_t>(scale)]; }
};

// Scores the answer texts of items 1..35 (index 0 holds item 1) as the test window stored them: keyed scores,
// already reversed where needed, added as they are. A missing entry (a list shorter than 35) counts as unanswered;
// entries past 35 are ignored. A damaged value is refused rather than read by the leading-number rule, because a
// "12" or a "0" would yield a raw score and percent that no answer sheet can produce.
ScoringResult scoreAnswers(const QStringList& answers);

// The warning refusing to score while items are unanswered: Msg::UnansweredItems, two line breaks ("\n", which is
// what a Qt message box shows as a line break), then each item number followed by two blanks.
QString unansweredWarning(const QList<int>& items);

// The warning refusing to score while stored answers are damaged: Msg::DamagedAnswers, composed like
// unansweredWarning.
QString damagedWarning(const QList<int>& items);

// The warning to show for a pass that cannot score: unanswered items first (answering them is what the operator can
// do at once), then damaged ones; empty when the answers can be scored.
QString refusalMessage(const ScoringResult& result);
