#include "data/HomeFigures.h"

#include "data/QuestionnaireItems.h"
#include "data/TableCursor.h"

#include <QStringList>

namespace HomeFigures {
namespace {

Figures failed(const TableCursor& cursor)
{
    Figures figures;
    figures.error = cursor.lastError();
    figures.busy = cursor.lastErrorIsBusy();
    return figures;
}

} // namespace

Figures read(Database& db, int recentCount)
{
    TableCursor ide(db, QStringLiteral("IDE"));
    if (!ide.reload())
        return failed(ide);
    Figures figures;
    figures.registered = ide.count();

    // Rows come in the order they were stored: the last ones are the newest.
    const int shown = qMin(qMax(0, recentCount), figures.registered);
    QList<QStringList> rows;
    const QStringList columns { QStringLiteral("Code"), QStringLiteral("FName"), QStringLiteral("LName"),
        QStringLiteral("Date") };
    if (shown > 0 && !ide.readRows(figures.registered - shown, shown, columns, rows))
        return failed(ide);
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        figures.recent.append({ it->value(0), it->value(1), it->value(2), it->value(3) });

    TableCursor answers(db, QStringLiteral("Answer"));
    QStringList items;
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        items << QString::number(item);
    int answered = 0;
    const bool all = answers.readAll(items, [&answered](const QStringList& values) {
        for (const QString& value : values)
            if (value.trimmed().isEmpty())
                return;
        ++answered;
    });
    if (!all)
        return failed(answers);
    figures.answered = answered;
    figures.read = true;
    return figures;
}

} // namespace HomeFigures
