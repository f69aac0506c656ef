#include "examinees/ResearchExport.h"
#include "data/QuestionnaireItems.h"

#include "data/ComparedPairs.h"
#include "data/Database.h"
#include "data/ListedExaminees.h"
#include "data/TableCursor.h"
#include "text/CsvLine.h"
#include "text/OwnerOnly.h"
#include "text/PersianLetters.h"

#include <QSaveFile>

#include <array>
#include <iterator>

namespace {

// The details in the order a researcher reads them, each with the caption the program gives it.
struct Detail {
    const char* column;
    const char* caption;
    bool name = false; // left out of a de-identified export
};
constexpr Detail details[] = {
    { "Code", "کد" },
    { "FName", "نام", true },
    { "LName", "نام خانوادگي", true },
    { "Jens", "جنس" },
    { "Sen", "سن" },
    { "Taahol", "تاهل" },
    { "Tahsil", "تحصيلات" },
    { "Group", "گروه" },
    { "Date", "تاريخ" },
    { "Time", "ساعت" },
};

constexpr int itemCount = QuestionnaireItemCount;

} // namespace

QStringList ResearchExport::header(const Scoring& scoring, Names names, Choices choices)
{
    QStringList cells;
    for (const Detail& d : details)
        if (!d.name || names == Names::Included)
            cells << QString::fromUtf8(d.caption);
    for (int item = 1; item <= itemCount; ++item)
        cells << QStringLiteral("سوال %1").arg(item);
    if (choices == Choices::Included)
        for (int item = 1; item <= itemCount; ++item)
            cells << QStringLiteral("گزينه سوال %1").arg(item);
    for (const Scoring::Scale& scale : scoring.scales) {
        cells << scale.caption + QStringLiteral(" - نمره خام");
        cells << scale.caption + QStringLiteral(" - درصد");
        cells << scale.caption + QStringLiteral(" - سطح");
    }
    cells << QStringLiteral("کد همسر");
    // Operators type their data with a Persian keyboard: a researcher's search for a word then finds the heading too.
    for (QString& cell : cells)
        cell = PersianLetters::asTyped(cell);
    return cells;
}

QStringList ResearchExport::cells(const QStringList& stored, const QStringList& answers, const Scoring& scoring,
    const QString& partner, Names names, Choices choices)
{
    const QStringList& columns = Database::ideColumns();
    auto at = [&](qsizetype i) { return i >= 0 && i < stored.size() ? stored.at(i) : QString(); };
    auto value = [&](const QString& column) { return at(columns.indexOf(column)); };
    // Where each detail stands among the columns, looked up once: an export asks for it on every line.
    static const std::array<qsizetype, std::size(details)> detailAt = [&columns] {
        std::array<qsizetype, std::size(details)> found {};
        for (std::size_t d = 0; d < found.size(); ++d)
            found[d] = columns.indexOf(QString::fromLatin1(details[d].column));
        return found;
    }();
    QStringList cells;
    cells.reserve(std::size(details) + 2 * itemCount + 3 * scoring.scales.size() + 1);
    for (std::size_t d = 0; d < std::size(details); ++d)
        if (!details[d].name || names == Names::Included)
            cells << at(detailAt[d]);
    for (int item = 0; item < itemCount; ++item)
        cells << answers.value(item);
    if (choices == Choices::Included)
        for (int item = 1; item <= itemCount; ++item)
            cells << chosenOption(item, answers.value(item - 1));
    for (int s = 0; s < scoring.scales.size(); ++s) {
        const QString raw = value(scoring.scales.at(s).column);
        const Figures figures = scoring.figures && !raw.isEmpty() ? scoring.figures(s, raw) : Figures();
        // The level words in the letters of the headings, so one search finds both.
        cells << raw << figures.percent << PersianLetters::asTyped(figures.level);
    }
    cells << partner;
    return cells;
}

QString ResearchExport::chosenOption(int item, const QString& keyed)
{
    const QuestionnaireItem* described = questionnaireItem(item);
    const QString& stored = keyed;
    if (!described || stored.size() != 1 || stored.at(0) < u'1' || stored.at(0) > u'5')
        return QString();
    const int score = stored.at(0).unicode() - u'0';
    return QString::number(described->reversed ? 6 - score : score);
}

QString ResearchExport::guarded(const QString& cell)
{
    return CsvLine::guarded(cell);
}

QString ResearchExport::field(const QString& cell)
{
    return CsvLine::field(cell);
}

QByteArray ResearchExport::line(const QStringList& cells)
{
    return CsvLine::line(cells);
}

ResearchExport::Result ResearchExport::write(const Database::Location& location,
    const TableCursor::Selection& listed, const QString& path, const Scoring& scoring, Names names, Choices choices,
    const TableTransfer::Watch& watch)
{
    const std::unique_ptr<Database> db = Database::at(location);
    const Database::OpenResult opened = db->openToRead();
    if (!opened.ok()) {
        Result result;
        result.error = opened.error;
        return result;
    }
    TableCursor cursor(*db, listed);
    return write(cursor, path, scoring, names, choices, watch);
}

ResearchExport::Result ResearchExport::write(TableCursor& listed, const QString& path, const Scoring& scoring,
    Names names, Choices choices, const TableTransfer::Watch& watch)
{
    Result result;
    // Told in steps of a thousand lines: the count a percent is taken of is read only when someone watches.
    const int total = watch.progress ? listed.count() : 0;
    constexpr int step = 1000;
    QSaveFile file(path);
    // Never write into the chosen file in place: a failure must leave whatever was there.
    file.setDirectWriteFallback(false);
    if (!OwnerOnly::open(file)) {
        result.error = file.errorString();
        return result;
    }
    auto put = [&file](const QByteArray& bytes) { return file.write(bytes) == bytes.size(); };

    QHash<QString, QString> partners;
    ComparedPairs pairs(listed.database());
    if (!pairs.couplePartners(partners)) {
        result.error = pairs.error();
        file.cancelWriting();
        return result;
    }
    const QStringList& columns = Database::ideColumns();
    const qsizetype codeColumn = columns.indexOf(QStringLiteral("Code"));

    // A raw score's percent and level worked out once: a list holds few different scores.
    Scoring remembered = scoring;
    QHash<std::pair<int, QString>, Figures> known;
    if (scoring.figures)
        remembered.figures = [&known, &scoring](int scale, const QString& raw) {
            const std::pair<int, QString> key { scale, raw };
            auto found = known.constFind(key);
            if (found == known.cend())
                found = known.insert(key, scoring.figures(scale, raw));
            return *found;
        };

    bool written = put(QByteArrayLiteral("\xEF\xBB\xBF")) && put(line(header(scoring, names, choices)));
    QString readError;
    const bool read = written
        && ListedExaminees::forEach(
            listed,
            [&](const ListedExaminees::Row& row) {
                const QString partner = partners.value(row.details.value(codeColumn));
                if (watch.cancelled())
                    return false;
                written = put(line(cells(row.details, row.answers, remembered, partner, names, choices)));
                if (written && ++result.examinees % step == 0 && watch.progress)
                    watch.progress(result.examinees, total);
                return written;
            },
            readError);
    if (watch.cancelled()) {
        result.cancelled = true;
        file.cancelWriting();
        return result;
    }
    if (!written) {
        result.error = file.errorString();
        file.cancelWriting();
        return result;
    }
    if (!read) {
        result.error = readError;
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}
