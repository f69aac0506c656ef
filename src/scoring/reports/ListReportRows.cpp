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

} // namespace

ListReportRead readListRows(TableCursor& cursor, ListOrder order)
{
    ListReportRead read;
    read.rows.reserve(cursor.count());
    QStringList columns = { QStringLiteral("Code"), QStringLiteral("Group"), QStringLiteral("Sen"),
        QStringLiteral("Jens"), QStringLiteral("Taahol"), QStringLiteral("Tahsil") };
    for (const ScaleInfo& info : scales())
        columns << info.column;
    TextPool pool;
    read.complete = cursor.readAll(columns, [&read, &pool](const QStringList& values) {
        ListReportRow row;
        row.code = values[0];
        row.group = pool(values[1]);
        row.age = pool(values[2]);
        row.sex = pool(values[3]);
        row.maritalStatus = pool(values[4]);
        row.education = pool(values[5]);
        for (std::size_t s = 0; s < row.scores.size(); ++s)
            row.scores[s] = pool(values[6 + static_cast<qsizetype>(s)]);
        read.rows.append(std::move(row));
    });
    if (!read.complete)
        read.error = cursor.lastError();

    if (order == ListOrder::ByGroup) {
        QCollator collator(QLocale(QLocale::Persian, QLocale::Iran));
        std::stable_sort(
            read.rows.begin(), read.rows.end(), [&collator](const ListReportRow& a, const ListReportRow& b) {
                return collator.compare(a.group, b.group) < 0;
            });
    }
    return read;
}
