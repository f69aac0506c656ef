#include "scoring/reports/ListReportRows.h"

#include "data/TableCursor.h"
#include "scoring/Scales.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <algorithm>

namespace {

// One copy of each repeated text, shared by every line that shows it.
class TextPool {
public:
    qsizetype size() const { return m_texts.size(); }
    QString operator()(const QString& text)
    {
        auto it = m_texts.constFind(text);
        if (it != m_texts.cend())
            return *it;
        m_texts.insert(text, text);
        return text;
    }

private:
    QHash<QString, QString> m_texts;
};

QStringList listColumns()
{
    QStringList columns = { QStringLiteral("Code"), QStringLiteral("Group"), QStringLiteral("Sen"),
        QStringLiteral("Jens"), QStringLiteral("Taahol"), QStringLiteral("Tahsil") };
    for (const ScaleInfo& info : scales())
        columns << info.column;
    return columns;
}

ListReportRow listRow(const QStringList& values, TextPool& pool)
{
    ListReportRow row;
    row.code = values[0];
    row.group = pool(values[1]);
    row.age = pool(values[2]);
    row.sex = pool(values[3]);
    row.maritalStatus = pool(values[4]);
    row.education = pool(values[5]);
    for (std::size_t s = 0; s < row.scores.size(); ++s)
        row.scores[s] = pool(values[6 + static_cast<qsizetype>(s)]);
    return row;
}

QCollator groupCollator()
{
    return QCollator(QLocale(QLocale::Persian, QLocale::Iran));
}

} // namespace

ListReportRead readListRows(TableCursor& cursor, ListOrder order)
{
    ListReportRead read;
    read.rows.reserve(cursor.count());
    TextPool pool;
    read.complete = cursor.readAll(
        listColumns(), [&read, &pool](const QStringList& values) { read.rows.append(listRow(values, pool)); });
    if (!read.complete)
        read.error = cursor.lastError();

    if (order == ListOrder::ByGroup) {
        const QCollator collator = groupCollator();
        std::stable_sort(
            read.rows.begin(), read.rows.end(), [&collator](const ListReportRow& a, const ListReportRow& b) {
                return collator.compare(a.group, b.group) < 0;
            });
    }
    return read;
}

bool forEachListRow(TableCursor& cursor, ListOrder order, const std::function<void(int lines)>& counted,
    const std::function<bool(const ListReportRow& line)>& take, QString& error)
{
    const QStringList columns = listColumns();
    // The pool would grow with every new text it met; a page's worth of texts is what repeats.
    constexpr qsizetype pooled = 4096;
    TextPool pool;
    bool going = true;
    const auto hand = [&](const QStringList& values) {
        if (pool.size() > pooled)
            pool = TextPool();
        going = take(listRow(values, pool));
        return going;
    };

    if (order == ListOrder::TableOrder) {
        const int lines = cursor.count();
        if (cursor.readFailed()) {
            error = cursor.lastError();
            return false;
        }
        counted(lines);
        if (!cursor.readEach(columns, hand)) {
            error = cursor.lastError();
            return false;
        }
        return true;
    }

    // By group: the groups in the collator's order, those it takes for one as one, each read in the cursor's order
    // in a pass over the rows of its own, as the stable sort of every line would order them.
    QHash<QString, int> rank;
    int lines = 0;
    if (!cursor.readEach({ QStringLiteral("Group") }, [&](const QStringList& values) {
            rank.insert(values[0], 0);
            ++lines;
            return true;
        })) {
        error = cursor.lastError();
        return false;
    }
    QStringList groups = rank.keys();
    const QCollator collator = groupCollator();
    std::sort(groups.begin(), groups.end(),
        [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    int ranks = 0;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        if (g > 0 && collator.compare(groups[g - 1], groups[g]) != 0)
            ++ranks;
        rank[groups[g]] = ranks;
    }
    counted(lines);
    for (int r = 0; r <= ranks && going && !groups.isEmpty(); ++r) {
        if (!cursor.readEach(columns, [&](const QStringList& values) {
                return rank.value(values[1]) != r || hand(values);
            })) {
            error = cursor.lastError();
            return false;
        }
    }
    return true;
}
