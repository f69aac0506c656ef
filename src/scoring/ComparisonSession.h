#pragma once

#include "data/ComparedPairs.h"
#include "scoring/PairComparison.h"
#include "scoring/ScoringSession.h"

#include <QString>

#include <optional>

class Database;

// What the comparison window decides, without a widget: each typed code goes through a scoring pass of its own, as
// the scoring window would score it, and the two results and answer sheets are compared. A refusal or a failure
// leaves no comparison, so nothing half-compared can be shown or printed.
class ComparisonSession {
public:
    struct Outcome {
        enum class Status {
            Compared,
            NothingTyped, // one of the boxes holds no visible code
            SameCode, // both codes find the same examinee
            NotFound,
            NoAnswers, // the answer sheet is empty
            Unfinished, // some items are unanswered
            Damaged, // stored answers that cannot be scored
            DetailsMissing,
            ScoresNotStored, // `message` is the platform's text
            Failed, // the file could not be read; `message` is the platform's text
        };
        Status status = Status::NothingTyped;
        int which = 0; // 1 or 2: the code the refusal is about; 0 for both
        QString message;
        bool busy = false;
        // Compared, but the pair could not be remembered: `message` is the platform's text.
        bool pairNotStored = false;

        bool compared() const { return status == Status::Compared; }
    };

    explicit ComparisonSession(Database& db);

    // Compares the two codes and, when that succeeds, remembers them as a pair of that kind.
    Outcome compare(ComparisonKind kind, const QString& typedFirst, const QString& typedSecond);

    struct Remembered {
        QString firstCode;
        QString secondCode;
        ComparisonKind kind = ComparisonKind::Couple;
    };
    // The remembered pair a typed code is in, found however the code is typed; nothing when it is in none or the
    // pairs could not be read.
    std::optional<Remembered> rememberedPair(const QString& typedCode);

    const std::optional<PairComparison>& comparison() const { return m_comparison; }
    const ScoringSession::Clinic& clinic() const { return m_first.clinic(); }
    const QString& theme() const { return m_first.theme(); }

private:
    Outcome selectOne(ScoringSession& session, const QString& typed, int which);

    Database& m_db;
    ComparedPairs m_pairs;
    ScoringSession m_first;
    ScoringSession m_second;
    ExamineeDetails m_firstExaminee;
    ExamineeDetails m_secondExaminee;
    std::optional<PairComparison> m_comparison;
};
