#pragma once

#include "data/Database.h"
#include "data/Engine.h"

#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>

// Every row of the program's tables as texts, in stored order, on either engine: what two databases are compared by.
inline QMap<QString, QList<QStringList>> tableContents(Database& db)
{
    const QList<std::pair<QString, QStringList>> tables {
        { QStringLiteral("IDE"), Database::ideColumns() },
        { QStringLiteral("Answer"), Database::answerColumns() },
        { QStringLiteral("QU"), Database::quColumns() },
        { QStringLiteral("Theme"), Database::themeColumns() },
        { QStringLiteral("ComparedPairs"),
            { QStringLiteral("FirstCode"), QStringLiteral("SecondCode"), QStringLiteral("Kind") } },
    };
    QMap<QString, QList<QStringList>> all;
    for (const auto& [table, columns] : tables) {
        QStringList quoted;
        for (const QString& column : columns)
            quoted << QLatin1Char('"') + column + QLatin1Char('"');
        QSqlQuery q(db.connection());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY %3")
                        .arg(quoted.join(QStringLiteral(", ")), table, db.engine().rowIdentity()))) {
            QTest::qFail(qPrintable(q.lastError().text()), __FILE__, __LINE__);
            return all;
        }
        QList<QStringList> rows;
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < columns.size(); ++i)
                row << q.value(i).toString();
            rows << row;
        }
        all.insert(table, rows);
    }
    return all;
}
