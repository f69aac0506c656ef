#pragma once

#include "data/TableCursor.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class Database;

// The pairs of examinees compared once (table ComparedPairs): typing one code of a pair brings back the other and
// the kind of comparison. A code is in one pair of each kind at most: the latest couple comparison it took part in
// and the latest follow-up, so comparing an examinee before and after leaves the couple link in place.
class ComparedPairs {
public:
    struct Pair {
        QString firstCode;
        QString secondCode;
        QString kind; // CoupleKind or FollowUpKind
    };
    static inline const QString CoupleKind = QStringLiteral("Couple");
    static inline const QString FollowUpKind = QStringLiteral("FollowUp");

    explicit ComparedPairs(Database& db);

    // Stores the pair in one transaction, in place of any pair of the same kind either code was in, when both codes
    // are examinees' (IDE rows) in that transaction: a code deleted meanwhile is never left paired. False with
    // error() otherwise, and missingCodes() names the codes that are no examinee's.
    bool remember(const Pair& pair);

    // The pair `code` (as stored) was last remembered in, of either kind; nothing when it is in none or the table
    // could not be read (see error()).
    std::optional<Pair> pairOf(const QString& code);

    // Removes every pair `code` is in, inside the caller's transaction. False with error() when that failed.
    bool removeCode(const QString& code);

    // Each code of a remembered couple with the partner's code. False with error() when the table could not be read.
    bool couplePartners(QHash<QString, QString>& partners);

    QString error() const { return m_error; }
    bool busy() const { return m_busy; }
    QStringList missingCodes() const { return m_missingCodes; }

private:
    bool failed(const TableCursor& cursor);
    bool failedInDatabase();
    // Removes every pair of the pair's kind that either of its codes is in.
    bool removePairsOfKind(const Pair& pair);
    // remember() as one statement that takes the writers' lock itself.
    bool rememberInOneStatement(const Pair& pair, const QString& writerLock);
    // Whether a code of the pair is not among the `registered` ones; notes which and says so in error().
    bool missing(const Pair& pair, const QStringList& registered);

    Database& m_db;
    TableCursor m_asFirst;
    TableCursor m_asSecond;
    QString m_error;
    bool m_busy = false;
    QStringList m_missingCodes;
};
