#pragma once

#include "data/TableCursor.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class Database;
class Transaction;

// One examinee's test run: finds the examinee by the typed code, reads the statements and the stored answers, and
// stores each choice, already keyed, the moment it is made, so no way of leaving the test loses one. The examinee's
// details may be corrected; those corrections are stored only by saveAndFinish(). Nothing here shows anything: every
// read and write says whether it worked, with the platform's description when it did not.
class AnswerSheet {
public:
    // What a sheet reads: the answers and the examinee's details (the test window), or the answers alone (the page
    // served to a phone, whose login on a clinic's server may not read names).
    enum class Reach { AnswersAndDetails, AnswersOnly };
    explicit AnswerSheet(Database& db, Reach reach = Reach::AnswersAndDetails);

    // Whether a read or a write worked; when not, the platform's description and whether another program holds the
    // data (the operator is told "busy" rather than "failing").
    struct Outcome {
        bool ok = true;
        QString error;
        bool busy = false;
        // saveAndFinish(): the examinee's Answer row, or the details row the run began with, is no longer there.
        bool examineeGone = false;
    };

    enum class Opened {
        Ready, // the examinee has an Answer row: the test may run
        NotFound, // no Answer row has the code, under any form of it
        NothingTyped, // nothing visible was typed
        Failed, // the data could not be read: nothing is known about the code
    };
    struct Opening : Outcome {
        Opened status = Opened::NothingTyped;
        QString code; // the code as stored (when Ready)
    };
    // Finds the examinee whose code was typed as `typedCode` (looked up as ExamineeCode says): an examinee exists for
    // the test when an Answer row carries the code; the details are those of the IDE row with the same code, if any.
    // Unless Ready, the sheet has no examinee.
    Opening open(const QString& typedCode);
    bool isOpen() const { return !m_code.isEmpty(); }

    struct Statement : Outcome {
        QString text;
    };
    // The statement of `item` (1..35), read from the file each time; empty when the file has none for it.
    Statement statement(int item);

    // The statement of `item` and the examinee's answers read again (readAnswers()), in one read. When it fails the
    // sheet knows no answers, and the statement is not known either.
    Statement readItem(int item);

    // Reads the examinee's answers again, so what is shown next is what the file holds now. When the read fails the
    // sheet knows no answers until a read succeeds; a choice reads them again before it is stored.
    Outcome readAnswers();
    // The option 1..5 whose keyed score is stored for `item`, as last read or recorded; 0 for none (unanswered, or a
    // value that is not a score).
    int storedOption(int item) const;
    // How many of the items have a score stored, as last read or recorded.
    int answeredCount() const;

    // Stores the keyed score of `option` (1..5) for `item` (1..35) on its own. When that fails nothing is stored and
    // the sheet keeps what the file holds.
    Outcome record(int item, int option);
    // The same store inside a write transaction the caller holds (several examinees' answers stored together): the
    // caller commits, and when the store or the commit fails the caller rolls back and this sheet is not used again.
    Outcome recordWithin(int item, int option);

    // A choice of an examinee whose sheet is not opened here: a phone's, stored with the others that came with it.
    struct Choice {
        QString code; // as stored
        int item = 0;
        int option = 0;
    };
    struct Together : Outcome {
        QSet<QString> codes; // the codes whose answer rows took their choices
    };
    // Stores the choices keyed as record() keys each, in one write for them all, inside a write transaction the
    // caller holds; of two choices of one code and item the later stands. A code without an answer row takes nothing
    // and is missing from `codes`; a failure means nothing is to be committed.
    static Together recordTogetherWithin(Database& db, const QList<Choice>& choices);

    // The examinee's details a test run shows, in the order they are shown, and whether one may be corrected here:
    // all but the code, which ties the details to the answers.
    static const QStringList& detailColumns();
    static bool isCorrectable(const QString& column);
    // Whether the examinee has an IDE row; answers without one are still taken and stored.
    bool hasDetails() const;
    // A detail as stored ("" without an IDE row).
    QString detail(const QString& column) const;

    // Stores the corrected details (column -> text; only correctable columns are taken) with the answers, together
    // or not at all. Inside its transaction it reads the examinee's rows again: when another program deleted the
    // examinee meanwhile, nothing is stored (not even a new row) and examineeGone says so. When that fails nothing is stored and the sheet keeps what the file holds, so the same edits may
    // be offered again.
    Outcome saveAndFinish(const QHash<QString, QString>& details);

private:
    // A row whose last read failed is read again before it is written, now that the write has taken the file; the
    // sheet knows nothing of it until then.
    Outcome readWhatFailed();
    // Drops the writes of a failed store and reads the examinee's rows again, so the sheet holds what the file holds.
    Outcome undo(Transaction& transaction, const Outcome& failed);

    Database& m_db;
    TableCursor m_answers; // the examinee's Answer row
    std::optional<TableCursor> m_details; // the examinee's IDE row (none when the sheet reaches the answers only)
    std::optional<TableCursor> m_statements; // the QU row of the item asked for, made at the first statement()
    QString m_code;
};
