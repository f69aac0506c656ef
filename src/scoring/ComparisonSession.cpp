#include "scoring/ComparisonSession.h"

#include "data/Audit.h"
#include "data/ExamineeCode.h"
#include "data/QuestionnaireItems.h"

ComparisonSession::ComparisonSession(Database& db)
    : m_db(db)
    , m_pairs(db)
    , m_first(db)
    , m_second(db)
{
}

ComparisonSession::Outcome ComparisonSession::compare(
    ComparisonKind kind, const QString& typedFirst, const QString& typedSecond)
{
    m_comparison.reset();
    Outcome outcome;
    if (ExamineeCode::normalised(typedFirst).isEmpty() || ExamineeCode::normalised(typedSecond).isEmpty())
        return outcome;
    if (ExamineeCode::normalised(typedFirst) == ExamineeCode::normalised(typedSecond)) {
        outcome.status = Outcome::Status::SameCode;
        return outcome;
    }
    // Both examinees in one read; each scoring pass then goes on from it.
    ScoringSession::readTogether(m_first, typedFirst, m_second, typedSecond);
    outcome = selectOne(m_first, typedFirst, 1);
    if (!outcome.compared())
        return outcome;
    outcome = selectOne(m_second, typedSecond, 2);
    if (!outcome.compared())
        return outcome;
    // Two forms of one code that both reach the same person.
    if (m_first.selected()->code == m_second.selected()->code) {
        outcome.status = Outcome::Status::SameCode;
        outcome.which = 0;
        return outcome;
    }
    m_comparison = comparePair(
        kind, *m_first.selected(), m_first.selectedAnswers(), *m_second.selected(), m_second.selectedAnswers());
    if (!m_comparison) {
        outcome.status = Outcome::Status::Damaged;
        return outcome;
    }
    // A comparison shows two examinees' answers side by side: the trail keeps who looked.
    Audit::note(m_db, QStringLiteral("comparison"), m_comparison->first.code, m_comparison->second.code);
    m_comparison->firstExaminee = m_firstExaminee;
    m_comparison->secondExaminee = m_secondExaminee;
    const ComparedPairs::Pair pair { m_comparison->first.code, m_comparison->second.code,
        kind == ComparisonKind::Couple ? ComparedPairs::CoupleKind : ComparedPairs::FollowUpKind };
    if (!m_pairs.remember(pair)) {
        outcome.pairNotStored = true;
        outcome.message = m_pairs.error();
        outcome.busy = m_pairs.busy();
    }
    return outcome;
}

std::optional<ComparisonSession::Remembered> ComparisonSession::rememberedPair(const QString& typedCode)
{
    for (const QString& form : ExamineeCode::lookupForms(typedCode)) {
        if (const std::optional<ComparedPairs::Pair> pair = m_pairs.pairOf(form)) {
            return Remembered { pair->firstCode, pair->secondCode,
                pair->kind == ComparedPairs::FollowUpKind ? ComparisonKind::FollowUp : ComparisonKind::Couple };
        }
    }
    return std::nullopt;
}

ComparisonSession::Outcome ComparisonSession::selectOne(ScoringSession& session, const QString& typed, int which)
{
    using Status = ScoringSession::Selection::Status;
    const ScoringSession::Selection selection = session.select(typed);
    Outcome outcome;
    outcome.which = which;
    outcome.message = selection.message;
    outcome.busy = selection.busy;
    switch (selection.status) {
    case Status::Selected:
        outcome.status = Outcome::Status::Compared;
        (which == 1 ? m_firstExaminee : m_secondExaminee) = *selection.examinee;
        break;
    case Status::NothingTyped:
        outcome.status = Outcome::Status::NothingTyped;
        break;
    case Status::NotFound:
        outcome.status = Outcome::Status::NotFound;
        break;
    case Status::DetailsMissing:
        outcome.status = Outcome::Status::DetailsMissing;
        break;
    case Status::NotScorable:
        if (!selection.damaged.isEmpty())
            outcome.status = Outcome::Status::Damaged;
        else if (selection.unanswered.size() == QuestionnaireItemCount)
            outcome.status = Outcome::Status::NoAnswers;
        else
            outcome.status = Outcome::Status::Unfinished;
        break;
    case Status::ScoresNotStored:
        outcome.status = Outcome::Status::ScoresNotStored;
        break;
    case Status::Failed:
        outcome.status = Outcome::Status::Failed;
        break;
    }
    return outcome;
}
