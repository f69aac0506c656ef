#include "scoring/ScoringSession.h"

#include "data/Audit.h"
#include "data/ExamineeCode.h"
#include "data/QuestionnaireItems.h"
#include "scoring/ScoringPass.h"
#include "scoring/reports/ListReportRows.h"

#include <utility>

ScoringSession::ScoringSession(Database& db)
    : m_answers(db, QStringLiteral("Answer"))
    , m_examinee(db, QStringLiteral("IDE"))
    , m_everyone(db, QStringLiteral("IDE"))
{
    // The reports carry the clinic as it was when the window opened; a row that cannot be read leaves them blank.
    const TableCursor theme(db, QStringLiteral("Theme"));
    m_clinic = { theme.field(QStringLiteral("Name")), theme.field(QStringLiteral("Adress")) };
    m_theme = theme.field(QStringLiteral("TH"));
}

ScoringSession::Selection ScoringSession::select(const QString& typedCode)
{
    m_selected.reset();
    m_selectedAnswers.clear();

    // The answer sheet decides who the code is; the examinee's row is where the scores go.
    // The examinee's row is read with the answer sheet, by the same form of the code; what readTogether() found by
    // the code's first form is what the search would find first.
    const QString readAhead = std::exchange(m_readAhead, QString());
    const QStringList forms = ExamineeCode::lookupForms(typedCode);
    ExamineeCode::Found search;
    if (!readAhead.isEmpty() && forms.value(0) == readAhead && !m_answers.readFailed() && m_answers.count() > 0) {
        search.status = ExamineeCode::Found::Status::Found;
        search.code = readAhead;
    } else {
        search = ExamineeCode::find(typedCode, { &m_answers }, &m_examinee);
    }
    Selection selection;
    switch (search.status) {
    case ExamineeCode::Found::Status::NothingTyped:
        selection.status = Selection::Status::NothingTyped;
        return selection;
    case ExamineeCode::Found::Status::NotFound:
        selection.status = Selection::Status::NotFound;
        return selection;
    case ExamineeCode::Found::Status::Failed:
        selection.status = Selection::Status::Failed;
        selection.message = search.error;
        selection.busy = search.busy;
        return selection;
    case ExamineeCode::Found::Status::Found:
        break;
    }
    if (m_examinee.count() == 0) {
        selection.status = Selection::Status::DetailsMissing;
        return selection;
    }
    selection.examinee = currentExaminee();

    const QStringList answers = storedAnswers();
    const ScoringResult scored = scoreAnswers(answers);
    if (!scored.isScorable()) {
        selection.status = Selection::Status::NotScorable;
        selection.message = refusalMessage(scored);
        selection.unanswered = scored.unanswered;
        selection.damaged = scored.damaged;
        return selection;
    }

    for (const ScaleInfo& info : scales())
        m_examinee.setField(info.column, QString::number(scored.result(info.scale).raw));
    if (!m_examinee.update()) {
        selection.status = Selection::Status::ScoresNotStored;
        selection.message = m_examinee.lastError();
        // The row keeps the scores it had; so does the cursor.
        m_examinee.revert();
        return selection;
    }
    m_selected = shown(*selection.examinee, scored);
    m_selectedAnswers = answers;
    // Whose results were looked at is the clinic's to know; the scores stand whether or not the note is kept.
    Audit::note(m_examinee.database(), QStringLiteral("scoring viewed"), selection.examinee->code);
    selection.status = Selection::Status::Selected;
    return selection;
}

void ScoringSession::readTogether(
    ScoringSession& one, const QString& typedOne, ScoringSession& other, const QString& typedOther)
{
    const QString oneForm = ExamineeCode::lookupForms(typedOne).value(0);
    const QString otherForm = ExamineeCode::lookupForms(typedOther).value(0);
    if (oneForm.isEmpty() || otherForm.isEmpty() || &one == &other)
        return;
    const bool read = TableCursor::setFiltersTogether(
        { { &one.m_answers, oneForm }, { &one.m_examinee, oneForm }, { &other.m_answers, otherForm },
            { &other.m_examinee, otherForm } },
        QStringLiteral("Code"));
    // A read that failed is made again by select(), which says why.
    one.m_readAhead = read ? oneForm : QString();
    other.m_readAhead = read ? otherForm : QString();
}

ExamineeDetails ScoringSession::currentExaminee() const
{
    const auto field = [this](const char* column) { return m_examinee.field(QString::fromLatin1(column)); };
    ExamineeDetails examinee;
    examinee.code = field("Code");
    examinee.firstName = field("FName");
    examinee.lastName = field("LName");
    examinee.sex = field("Jens");
    examinee.age = field("Sen");
    examinee.maritalStatus = field("Taahol");
    examinee.education = field("Tahsil");
    examinee.date = field("Date");
    examinee.time = field("Time");
    examinee.group = field("Group");
    return examinee;
}

QStringList ScoringSession::storedAnswers() const
{
    QStringList answers;
    answers.reserve(QuestionnaireItemCount);
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        answers << m_answers.field(QString::number(item));
    return answers;
}

ShownResults ScoringSession::shown(const ExamineeDetails& examinee, const ScoringResult& scored) const
{
    ShownResults shown;
    shown.code = examinee.code;
    shown.firstName = examinee.firstName;
    shown.lastName = examinee.lastName;
    shown.date = examinee.date;
    shown.group = examinee.group;
    shown.age = examinee.age;
    shown.sex = examinee.sex;
    shown.maritalStatus = examinee.maritalStatus;
    shown.education = examinee.education;
    for (Scale scale : allScales) {
        const ScaleResult& result = scored.result(scale);
        shown.of(scale) = { QString::number(result.raw), result.percent ? QString::number(*result.percent) : QString(),
            result.level, result.sentence };
    }
    shown.clinicName = m_clinic.name;
    shown.clinicAddress = m_clinic.address;
    return shown;
}

ListReportRead ScoringSession::listRows()
{
    return readListRows(m_everyone);
}
