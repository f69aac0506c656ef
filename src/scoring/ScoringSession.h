#pragma once

#include "data/TableCursor.h"
#include "scoring/ExamineeDetails.h"
#include "scoring/ShownResults.h"

#include <QString>
#include <QStringList>

#include <optional>

class Database;
struct ListReportRead;
struct ScoringResult;

// What the scoring window decides, without a widget: finds an examinee by a typed code, scores the stored answers
// once, stores the raw scores in the examinee's IDE row and keeps the selected examinee's results as the one typed
// value the window shows and the chart and the examinee report take. A selection that is refused or fails leaves
// no examinee selected, so nothing can be printed or charted as someone's results that the window does not show.
class ScoringSession {
public:
    struct Selection {
        enum class Status {
            Selected, // scored, stored and selected
            NothingTyped, // nothing visible was typed
            NotFound, // no answer sheet has the code
            DetailsMissing, // an answer sheet without the examinee's IDE row: nowhere to store the scores
            NotScorable, // unanswered or damaged answers: `message` is the refusal
            ScoresNotStored, // the IDE row refused the scores: `message` is the platform's text
            Failed, // the file could not be read: nothing is known about the code
        };
        Status status = Status::NothingTyped;
        QString message;
        bool busy = false; // Failed because another program holds the file
        // The examinee the code found, whether or not the answers could be scored and stored.
        std::optional<ExamineeDetails> examinee;
        // NotScorable: the items left unanswered and those whose stored answer is damaged, ascending.
        QList<int> unanswered;
        QList<int> damaged;

        bool selected() const { return status == Status::Selected; }
    };

    struct Clinic {
        QString name;
        QString address;
    };

    explicit ScoringSession(Database& db);

    // A scoring pass for a typed code, found as ExamineeCode finds every code. Answers stored since the session
    // began are seen. Whatever the outcome, the previous selection is gone.
    Selection select(const QString& typedCode);

    // Reads what select() of `typedOne` on `one` and of `typedOther` on `other` read first (each code's first lookup
    // form), in one statement: each select() of the same code that follows reads nothing more when that form found
    // the answer sheet (a comparison's two codes, one round trip to a server for both).
    static void readTogether(ScoringSession& one, const QString& typedOne, ScoringSession& other,
        const QString& typedOther);

    // The selected examinee's details and results with the clinic's name and address; nothing when none is selected.
    const std::optional<ShownResults>& selected() const { return m_selected; }
    void clearSelection() { m_selected.reset(); }

    // The stored answers the selected examinee was scored from (index 0 = item 1); empty when none is selected.
    const QStringList& selectedAnswers() const { return m_selectedAnswers; }

    // Every examinee with the scores stored now, read afresh, for the list of all examinees.
    ListReportRead listRows();

    // The clinic's name and address and the theme's text, as the Theme row held when the session began.
    const Clinic& clinic() const { return m_clinic; }
    const QString& theme() const { return m_theme; }

private:
    ExamineeDetails currentExaminee() const;
    QStringList storedAnswers() const;
    ShownResults shown(const ExamineeDetails& examinee, const ScoringResult& scored) const;

    TableCursor m_answers;
    TableCursor m_examinee;
    // The form of a code readTogether() read the cursors by, until select() uses what it read.
    QString m_readAhead;
    TableCursor m_everyone;
    Clinic m_clinic;
    QString m_theme;
    std::optional<ShownResults> m_selected;
    QStringList m_selectedAnswers;
};
