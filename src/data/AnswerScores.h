#pragma once

#include <QList>
#include <QSet>
#include <QString>

class Database;

// Keyed scores written straight into the examinees' answer rows, many at once: the choices that phones sent
// together are stored by one statement rather than a read and a write each.
namespace AnswerScores {

struct Score {
    QString code; // the examinee's code as stored
    int item = 0; // 1 to 35
    QString score; // the keyed score, as the item's column holds it
};

struct Stored {
    bool ok = false;
    QString error;
    bool busy = false;
    QSet<QString> codes; // the codes whose answer row took its scores
};

// Writes each score into its item's column of the answer row of its code, inside a write transaction the caller
// holds. Of two scores for one code and item the later stands. A code with no answer row (or one this login may not
// change) takes nothing and is missing from `codes`; ok says only that the writes went through.
Stored storeWithin(Database& db, const QList<Score>& scores);

} // namespace AnswerScores
