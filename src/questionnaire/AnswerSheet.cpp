#include "questionnaire/AnswerSheet.h"

#include "data/AnswerScores.h"
#include "data/Engine.h"
#include "data/ExamineeCode.h"
#include "data/QuestionnaireItems.h"
#include "data/Transaction.h"
#include "questionnaire/Keying.h"

namespace {

const QString CodeColumn = QStringLiteral("Code");

AnswerSheet::Outcome failure(const QString& error, bool busy = false)
{
    return {false, error, busy};
}

AnswerSheet::Outcome failure(const TableCursor& cursor)
{
    return failure(cursor.lastError(), cursor.lastErrorIsBusy());
}

AnswerSheet::Outcome failure(const Transaction& transaction)
{
    return failure(transaction.error(), transaction.busy());
}

AnswerSheet::Outcome noExaminee()
{
    return failure(QStringLiteral("no examinee is open"));
}

// An item's Answer column is named by its number.
QString answerColumn(int item)
{
    return QString::number(item);
}

} // namespace

AnswerSheet::AnswerSheet(Database& db, Reach reach)
    : m_db(db)
    , m_answers(db, QStringLiteral("Answer"), TableCursor::Unread {})
{
    // Nothing is read before an examinee is opened: open() filters by the code, and a sheet that only stores a
    // choice (the page served to phones, one sheet per choice) never reads a statement.
    if (reach == Reach::AnswersAndDetails)
        m_details.emplace(db, QStringLiteral("IDE"), TableCursor::Unread {});
}

AnswerSheet::Opening AnswerSheet::open(const QString& typedCode)
{
    m_code.clear();
    Opening opening;
    // The details are read with the answers, by the same form of the code.
    const ExamineeCode::Found found = ExamineeCode::find(typedCode, { &m_answers }, m_details ? &*m_details : nullptr);
    switch (found.status) {
    case ExamineeCode::Found::Status::NothingTyped:
        opening.status = Opened::NothingTyped;
        return opening;
    case ExamineeCode::Found::Status::NotFound:
        opening.status = Opened::NotFound;
        return opening;
    case ExamineeCode::Found::Status::Failed:
        opening.status = Opened::Failed;
        static_cast<Outcome&>(opening) = failure(found.error, found.busy);
        return opening;
    case ExamineeCode::Found::Status::Found:
        break;
    }
    m_code = found.code;
    opening.status = Opened::Ready;
    opening.code = found.code;
    return opening;
}

AnswerSheet::Statement AnswerSheet::statement(int item)
{
    Statement read;
    if (!m_statements)
        m_statements.emplace(m_db, QStringLiteral("QU"), TableCursor::Unread {});
    if (!m_statements->setFilter(QStringLiteral("ID"), QString::number(item))) {
        static_cast<Outcome&>(read) = failure(*m_statements);
        return read;
    }
    read.text = m_statements->field(QStringLiteral("QUs"));
    return read;
}

AnswerSheet::Statement AnswerSheet::readItem(int item)
{
    Statement read;
    if (!isOpen()) {
        static_cast<Outcome&>(read) = noExaminee();
        return read;
    }
    QVariant text;
    const QString statementOfItem = QStringLiteral("SELECT \"QUs\" FROM \"QU\" WHERE \"ID\" = ? ORDER BY %1 LIMIT 1")
                                        .arg(m_db.engine().rowIdentity());
    if (!m_answers.reloadWith(statementOfItem, { QString::number(item) }, text)) {
        static_cast<Outcome&>(read) = failure(m_answers);
        return read;
    }
    // Without the examinee's row the statement was not read with it.
    if (!m_answers.hasCurrent())
        return statement(item);
    read.text = text.toString();
    return read;
}

AnswerSheet::Outcome AnswerSheet::readAnswers()
{
    if (!isOpen())
        return noExaminee();
    if (!m_answers.reload())
        return failure(m_answers);
    return {};
}

int AnswerSheet::storedOption(int item) const
{
    return isOpen() ? optionForScore(item, m_answers.field(answerColumn(item))) : 0;
}

int AnswerSheet::answeredCount() const
{
    int answered = 0;
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        if (storedOption(item) != 0)
            ++answered;
    return answered;
}

AnswerSheet::Outcome AnswerSheet::record(int item, int option)
{
    if (!isOpen())
        return noExaminee();
    if (scoreForOption(item, option) == 0)
        return failure(QStringLiteral("item %1 has no option %2").arg(item).arg(option));
    if (const Outcome read = readWhatFailed(); !read.ok)
        return read;
    // A transaction of its own, in one statement where the engine allows: one round trip to a server.
    m_answers.setField(answerColumn(item), QString::number(scoreForOption(item, option)));
    if (!m_answers.updateAlone()) {
        // Nothing reached the row: dropping the change leaves the answers as they were read.
        const Outcome failed = failure(m_answers);
        m_answers.revert();
        return failed;
    }
    return {};
}

AnswerSheet::Outcome AnswerSheet::recordWithin(int item, int option)
{
    if (!isOpen())
        return noExaminee();
    const int score = scoreForOption(item, option);
    if (score == 0)
        return failure(QStringLiteral("item %1 has no option %2").arg(item).arg(option));
    if (const Outcome read = readWhatFailed(); !read.ok)
        return read;
    m_answers.setField(answerColumn(item), QString::number(score));
    if (!m_answers.update()) {
        // Nothing reached the row: dropping the change leaves the answers as they were read.
        const Outcome failed = failure(m_answers);
        m_answers.revert();
        return failed;
    }
    return {};
}

AnswerSheet::Together AnswerSheet::recordTogetherWithin(Database& db, const QList<Choice>& choices)
{
    Together together;
    QList<AnswerScores::Score> scores;
    for (const Choice& choice : choices) {
        const int score = scoreForOption(choice.item, choice.option);
        if (score == 0) {
            together.ok = false;
            together.error = QStringLiteral("item %1 has no option %2").arg(choice.item).arg(choice.option);
            return together;
        }
        scores.append({ choice.code, choice.item, QString::number(score) });
    }
    const AnswerScores::Stored stored = AnswerScores::storeWithin(db, scores);
    together.ok = stored.ok;
    together.error = stored.error;
    together.busy = stored.busy;
    together.codes = stored.codes;
    return together;
}

const QStringList& AnswerSheet::detailColumns()
{
    static const QStringList columns = {
        CodeColumn,             QStringLiteral("FName"),  QStringLiteral("LName"),
        QStringLiteral("Jens"), QStringLiteral("Sen"),    QStringLiteral("Taahol"),
        QStringLiteral("Tahsil"), QStringLiteral("Date"), QStringLiteral("Time"),
    };
    return columns;
}

bool AnswerSheet::isCorrectable(const QString& column)
{
    return column != CodeColumn && detailColumns().contains(column);
}

bool AnswerSheet::hasDetails() const
{
    return isOpen() && m_details && m_details->hasCurrent();
}

QString AnswerSheet::detail(const QString& column) const
{
    return hasDetails() && detailColumns().contains(column) ? m_details->field(column) : QString();
}

AnswerSheet::Outcome AnswerSheet::saveAndFinish(const QHash<QString, QString>& details)
{
    if (!isOpen())
        return noExaminee();
    Transaction transaction(m_db);
    if (!transaction.begun())
        return failure(transaction);
    // Read again now that the write has the data: an examinee deleted since the run began has nothing to save to,
    // and an update of no row would pass for stored.
    const bool hadDetails = hasDetails();
    for (TableCursor* cursor : { &m_answers, m_details ? &*m_details : nullptr })
        if (cursor && !cursor->reload())
            return undo(transaction, failure(*cursor));
    if (!m_answers.hasCurrent() || (hadDetails && !m_details->hasCurrent())) {
        Outcome gone = failure(QStringLiteral("the examinee %1 is no longer there").arg(m_code));
        gone.examineeGone = true;
        return undo(transaction, gone);
    }
    if (hasDetails()) {
        for (auto it = details.cbegin(); it != details.cend(); ++it)
            if (isCorrectable(it.key()))
                m_details->setField(it.key(), it.value());
    }
    // The answers go with the details, and need an Answer row to go to; answers without details are stored alone.
    if (!m_answers.update())
        return undo(transaction, failure(m_answers));
    if (hasDetails() && !m_details->update())
        return undo(transaction, failure(*m_details));
    if (!transaction.commit())
        return undo(transaction, failure(transaction));
    return {};
}

AnswerSheet::Outcome AnswerSheet::readWhatFailed()
{
    for (TableCursor* cursor : { &m_answers, m_details ? &*m_details : nullptr })
        if (cursor && cursor->readFailed() && !cursor->reload())
            return failure(*cursor);
    return {};
}

AnswerSheet::Outcome AnswerSheet::undo(Transaction& transaction, const Outcome& failed)
{
    transaction.rollback();
    m_answers.reload();
    if (m_details)
        m_details->reload();
    return failed;
}
