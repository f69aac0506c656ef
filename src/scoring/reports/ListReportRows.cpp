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
    const int was = cursor.position();
    const int count = cursor.count();
    read.rows.reserve(count);
    TextPool pool;
    for (int i = 0; i < count; ++i) {
        if (!cursor.moveTo(i)) {
            read.complete = false;
            read.error = cursor.lastError();
            break;
        }
        ListReportRow row;
        row.code = cursor.field(QStringLiteral("Code"));
        row.group = pool(cursor.field(QStringLiteral("Group")));
        row.age = pool(cursor.field(QStringLiteral("Sen")));
        row.sex = pool(cursor.field(QStringLiteral("Jens")));
        row.maritalStatus = pool(cursor.field(QStringLiteral("Taahol")));
        row.education = pool(cursor.field(QStringLiteral("Tahsil")));
        for (const ScaleInfo& info : scales())
            row.scores[static_cast<std::size_t>(info.scale)] = pool(cursor.field(info.column));
        read.rows.append(std::move(row));
    }
    if (was >= 0 && was != cursor.position())
        cursor.moveTo(was);

    if (order == ListOrder::ByGroup) {
        QCollator collator(QLocale(QLocale::Persian, QLocale::Iran));
        std::stable_sort(
            read.rows.begin(), read.rows.end(), [&collator](const ListReportRow& a, const ListReportRow& b) {
                return collator.compare(a.group, b.group) < 0;
            });
    }
    return read;
}
