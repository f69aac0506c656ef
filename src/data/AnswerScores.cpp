#include "data/AnswerScores.h"

#include "data/Database.h"
#include "data/Sql.h"

#include <QMap>
#include <QSqlQuery>

#include <utility>

namespace AnswerScores {

namespace {

// A statement names at most this many scores. Binding costs grow faster than the number of values on the data
// file (each value's place is looked up by a walk over the others), so a large group goes in several statements.
constexpr qsizetype MostScoresAtOnce = 32;

// The arms of each item's CASE and the list of codes come in powers of two, filled with arms that match no row
// (a NULL code) and with the last code again, so that few statement shapes exist and each is kept prepared.
qsizetype filledSize(qsizetype count)
{
    qsizetype size = 1;
    while (size < count)
        size *= 2;
    return size;
}

bool storeSome(Database& db, const QList<Score>& scores, Stored& stored)
{
    // By item, then in the order they came; a later score for the same code and item replaces the earlier one.
    QMap<int, QList<std::pair<QString, QString>>> byItem;
    QList<QString> codes;
    for (const Score& score : scores) {
        auto& arms = byItem[score.item];
        bool replaced = false;
        for (auto& arm : arms)
            if (arm.first == score.code) {
                arm.second = score.score;
                replaced = true;
            }
        if (!replaced)
            arms.append({ score.code, score.score });
        if (!codes.contains(score.code))
            codes.append(score.code);
    }
    QStringList sets;
    for (auto it = byItem.cbegin(); it != byItem.cend(); ++it) {
        const QString column = Sql::quoted(QString::number(it.key()));
        QString arms;
        for (qsizetype k = 0; k < filledSize(it->size()); ++k)
            arms += QStringLiteral(" WHEN ? THEN ?");
        sets << QStringLiteral("%1 = CASE \"Code\"%2 ELSE %1 END").arg(column, arms);
    }
    const qsizetype codeCount = filledSize(codes.size());
    QStringList marks;
    for (qsizetype k = 0; k < codeCount; ++k)
        marks << QStringLiteral("?");
    Database::Statement statement = db.statement(QStringLiteral("UPDATE \"Answer\" SET %1 WHERE \"Code\" IN (%2) RETURNING \"Code\"")
            .arg(sets.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    const QVariant none { QMetaType(QMetaType::QString) };
    for (const auto& arms : std::as_const(byItem)) {
        for (qsizetype k = 0; k < filledSize(arms.size()); ++k) {
            q.addBindValue(k < arms.size() ? QVariant(arms.at(k).first) : none);
            q.addBindValue(k < arms.size() ? QVariant(arms.at(k).second) : none);
        }
    }
    for (qsizetype k = 0; k < codeCount; ++k)
        q.addBindValue(codes.at(qMin(k, codes.size() - 1)));
    if (!db.exec(q))
        return false;
    while (q.next())
        stored.codes.insert(q.value(0).toString());
    return true;
}

} // namespace

Stored storeWithin(Database& db, const QList<Score>& scores)
{
    Stored stored;
    for (qsizetype from = 0; from < scores.size(); from += MostScoresAtOnce) {
        if (!storeSome(db, scores.mid(from, MostScoresAtOnce), stored)) {
            stored.codes.clear();
            stored.error = db.lastError();
            stored.busy = db.lastErrorIsBusy();
            return stored;
        }
    }
    stored.ok = true;
    return stored;
}

} // namespace AnswerScores
