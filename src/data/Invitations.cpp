#include "data/Invitations.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/QuestionnaireItems.h"
#include "data/Sql.h"
#include "data/ExamineeCode.h"
#include "data/TableCursor.h"
#include "data/Transaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <sodium.h>

namespace Invitations {

namespace {

constexpr int TokenBytes = 24;
constexpr int TokenLength = 32; // 24 bytes in base64url
const QString Table = QStringLiteral("Invitation");
const QString HashColumn = QStringLiteral("TokenHash");

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

QString stateName(State state)
{
    switch (state) {
    case State::Open:
        return QStringLiteral("open");
    case State::Answering:
        return QStringLiteral("answering");
    case State::Finished:
        return QStringLiteral("finished");
    case State::Revoked:
        break;
    }
    return QStringLiteral("revoked");
}

State stateFrom(const QString& stored)
{
    for (State state : { State::Open, State::Answering, State::Finished })
        if (stored == stateName(state))
            return state;
    return State::Revoked;
}

QString storedTime(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODate);
}

QString link(const QString& base, const QString& token)
{
    QString link = base;
    while (link.endsWith(QLatin1Char('/')))
        link.chop(1);
    return link + QStringLiteral("/a/") + token;
}

QString newToken()
{
    if (!sodiumReady())
        qFatal("libsodium did not start");
    unsigned char bytes[TokenBytes];
    randombytes_buf(bytes, sizeof bytes);
    const QByteArray token = QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes)
                                 .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    sodium_memzero(bytes, sizeof bytes);
    return QString::fromLatin1(token);
}

QString hashOf(const QString& token)
{
    if (!sodiumReady())
        qFatal("libsodium did not start");
    const QByteArray text = token.toUtf8();
    unsigned char hash[crypto_generichash_BYTES];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char*>(text.constData()),
        static_cast<unsigned long long>(text.size()), nullptr, 0);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(hash), sizeof hash).toHex());
}

bool looksLikeToken(const QString& text)
{
    if (text.size() != TokenLength)
        return false;
    for (QChar c : text)
        if (!(c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))))
            return false;
    return true;
}

Made make(Database& db, const QString& typedCode, int days, const QString& madeBy, const QDateTime& now)
{
    Made made;
    if (days < 1 || days > MostDays) {
        made.status = Made::Status::BadDays;
        return made;
    }
    Transaction transaction(db);
    if (!transaction.begun()) {
        made.error = transaction.error();
        made.busy = transaction.busy();
        return made;
    }
    TableCursor answers(db, QStringLiteral("Answer"));
    const ExamineeCode::Found found = ExamineeCode::find(typedCode, { &answers });
    if (found.status == ExamineeCode::Found::Status::Failed) {
        made.error = found.error;
        made.busy = found.busy;
        return made;
    }
    if (!found.found()) {
        made.status = Made::Status::NoExaminee;
        return made;
    }
    TableCursor invitations(db, Table);
    const QString token = newToken();
    if (!invitations.setFilter(HashColumn, hashOf(token))) {
        made.error = invitations.lastError();
        made.busy = invitations.lastErrorIsBusy();
        return made;
    }
    invitations.addNew();
    invitations.setField(QStringLiteral("Code"), found.code);
    invitations.setField(HashColumn, hashOf(token));
    invitations.setField(QStringLiteral("Made"), storedTime(now));
    invitations.setField(QStringLiteral("Expires"), storedTime(now.addDays(days)));
    invitations.setField(QStringLiteral("State"), stateName(State::Open));
    invitations.setField(QStringLiteral("MadeBy"), madeBy);
    invitations.setField(QStringLiteral("Changed"), storedTime(now));
    if (!invitations.update()) {
        made.error = invitations.lastError();
        made.busy = invitations.lastErrorIsBusy();
        return made;
    }
    if (!transaction.commit()) {
        made.error = transaction.error();
        made.busy = transaction.busy();
        return made;
    }
    made.status = Made::Status::Made;
    made.token = token;
    made.code = found.code;
    return made;
}

namespace {

const QString FoundColumns = QStringLiteral("SELECT \"Code\", \"TokenHash\", \"Expires\", \"State\" FROM \"Invitation\" ");

// What a link whose token hashes to `hash` opens, from the row the look-up by the hash gave (empty texts for none).
Found judged(const QString& hash, const QStringList& row, const QDateTime& now)
{
    Found result;
    const auto field = [&row](int column) { return row.value(column); };
    // The lookup by the hash found the row; the comparison that decides takes the same time wherever they differ.
    const QByteArray stored = field(1).toLatin1();
    const QByteArray wanted = hash.toLatin1();
    const bool same = stored.size() == wanted.size() && sodium_memcmp(stored.constData(), wanted.constData(), wanted.size()) == 0;
    const QDateTime expires = QDateTime::fromString(field(2), Qt::ISODate);
    const State state = stateFrom(field(3));
    if (!same || !expires.isValid() || now >= expires || state == State::Revoked)
        return result;
    result.status = Found::Status::Valid;
    result.code = field(0);
    result.state = state;
    result.tokenHash = hash;
    return result;
}

// Statements that name many links at once come in a few sizes only, so that each is kept prepared: the hashes are
// filled up to the next power of two with the last of them.
constexpr qsizetype MostHashesAtOnce = 256;

qsizetype filledSize(qsizetype count)
{
    qsizetype size = 1;
    while (size < count)
        size *= 2;
    return size;
}

QString marks(qsizetype count)
{
    QStringList marks;
    for (qsizetype k = 0; k < count; ++k)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

QStringList rowOf(const QSqlQuery& q)
{
    return { q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString() };
}

} // namespace

Found find(Database& db, const QString& token, const QDateTime& now)
{
    Found result;
    const QString hash = hashOf(token);
    // One statement, kept prepared, for the one row the hash names: every choice made on a phone looks its link up
    // again.
    Database::Statement statement = db.statement(FoundColumns + QStringLiteral("WHERE \"TokenHash\" = ?"));
    if (!statement) {
        result.status = Found::Status::Failed;
        result.error = db.lastError();
        result.busy = db.lastErrorIsBusy();
        return result;
    }
    QSqlQuery& q = statement.query();
    q.addBindValue(hash);
    if (!db.exec(q)) {
        result.status = Found::Status::Failed;
        result.error = db.lastError();
        result.busy = db.lastErrorIsBusy();
        return result;
    }
    return judged(hash, q.next() ? rowOf(q) : QStringList(), now);
}

FoundAll findAll(Database& db, const QStringList& tokens, const QDateTime& now)
{
    FoundAll result;
    QStringList hashes;
    for (const QString& token : tokens)
        hashes << hashOf(token);
    QHash<QString, QStringList> rows;
    for (qsizetype from = 0; from < hashes.size(); from += MostHashesAtOnce) {
        const QStringList some = hashes.mid(from, MostHashesAtOnce);
        const qsizetype size = filledSize(some.size());
        Database::Statement statement
            = db.statement(FoundColumns + QStringLiteral("WHERE \"TokenHash\" IN (%1)").arg(marks(size)));
        if (!statement) {
            result.error = db.lastError();
            result.busy = db.lastErrorIsBusy();
            return result;
        }
        QSqlQuery& q = statement.query();
        for (qsizetype k = 0; k < size; ++k)
            q.addBindValue(some.at(qMin(k, some.size() - 1)));
        if (!db.exec(q)) {
            result.error = db.lastError();
            result.busy = db.lastErrorIsBusy();
            return result;
        }
        while (q.next())
            rows.insert(q.value(1).toString(), rowOf(q));
        if (q.lastError().isValid()) {
            result.error = q.lastError().text();
            result.busy = db.engine().isBusy(q.lastError());
            return result;
        }
    }
    for (qsizetype i = 0; i < tokens.size(); ++i)
        result.byToken.insert(tokens.at(i), judged(hashes.at(i), rows.value(hashes.at(i)), now));
    result.read = true;
    return result;
}

Changed moveTo(Database& db, const QString& tokenHash, State state, const QDateTime& when)
{
    Transaction transaction(db);
    if (!transaction.begun()) {
        Changed changed;
        changed.error = transaction.error();
        changed.busy = transaction.busy();
        return changed;
    }
    Changed changed = moveWithin(db, tokenHash, state, when);
    if (changed.ok && !transaction.commit()) {
        changed.ok = false;
        changed.error = transaction.error();
        changed.busy = transaction.busy();
    }
    return changed;
}

Changed moveWithin(Database& db, const QString& tokenHash, State state, const QDateTime& when)
{
    Changed changed;
    const auto failed = [&db, &changed] {
        changed.error = db.lastError();
        changed.busy = db.lastErrorIsBusy();
        return changed;
    };
    // Changed in one statement where it may change: the first choice made on a phone moves its link on, and that
    // choice waits for it.
    {
        Database::Statement move = db.statement(QStringLiteral(
            "UPDATE \"Invitation\" SET \"State\" = ?, \"Changed\" = ? WHERE \"TokenHash\" = ? "
            "AND \"State\" IN ('open', 'answering') AND \"State\" <> ?"));
        if (!move)
            return failed();
        QSqlQuery& q = move.query();
        for (const QString& value : { stateName(state), storedTime(when), tokenHash, stateName(state) })
            q.addBindValue(value);
        if (!db.exec(q))
            return failed();
        if (q.numRowsAffected() > 0) {
            changed.ok = true;
            return changed;
        }
    }
    // Nothing changed: it was in that state already, or it may not move, or there is no such invitation.
    Database::Statement read
        = db.statement(QStringLiteral("SELECT \"State\" FROM \"Invitation\" WHERE \"TokenHash\" = ?"));
    if (!read)
        return failed();
    read.query().addBindValue(tokenHash);
    if (!db.exec(read.query()))
        return failed();
    if (!read.query().next()) {
        changed.error = QStringLiteral("no such invitation");
        return changed;
    }
    const State now = stateFrom(read.query().value(0).toString());
    if (now == state) {
        changed.ok = true;
        return changed;
    }
    changed.error = QStringLiteral("the invitation is %1").arg(stateName(now));
    return changed;
}

Changed moveAllWithin(Database& db, const QStringList& tokenHashes, State state, const QDateTime& when)
{
    Changed changed;
    for (qsizetype from = 0; from < tokenHashes.size(); from += MostHashesAtOnce) {
        const QStringList some = tokenHashes.mid(from, MostHashesAtOnce);
        const qsizetype size = filledSize(some.size());
        Database::Statement move = db.statement(
            QStringLiteral("UPDATE \"Invitation\" SET \"State\" = ?, \"Changed\" = ? WHERE \"TokenHash\" IN (%1) "
                           "AND \"State\" IN ('open', 'answering') AND \"State\" <> ?")
                .arg(marks(size)));
        if (!move) {
            changed.error = db.lastError();
            changed.busy = db.lastErrorIsBusy();
            return changed;
        }
        QSqlQuery& q = move.query();
        q.addBindValue(stateName(state));
        q.addBindValue(storedTime(when));
        for (qsizetype k = 0; k < size; ++k)
            q.addBindValue(some.at(qMin(k, some.size() - 1)));
        q.addBindValue(stateName(state));
        if (!db.exec(q)) {
            changed.error = db.lastError();
            changed.busy = db.lastErrorIsBusy();
            return changed;
        }
    }
    changed.ok = true;
    return changed;
}

Changed revoke(Database& db, const QString& tokenHash, const QString& revokedBy, const QDateTime& now)
{
    Changed changed;
    Transaction transaction(db);
    TableCursor invitations(db, Table);
    if (!transaction.begun() || !invitations.setFilter(HashColumn, tokenHash)) {
        changed.error = transaction.begun() ? invitations.lastError() : transaction.error();
        changed.busy = transaction.begun() ? invitations.lastErrorIsBusy() : transaction.busy();
        return changed;
    }
    if (!invitations.hasCurrent()) {
        changed.error = QStringLiteral("no such invitation");
        return changed;
    }
    const State state = stateFrom(invitations.field(QStringLiteral("State")));
    if (state == State::Revoked) {
        changed.ok = true;
        return changed;
    }
    if (state == State::Finished) {
        changed.error = QStringLiteral("the invitation is finished");
        return changed;
    }
    invitations.setField(QStringLiteral("State"), stateName(State::Revoked));
    invitations.setField(QStringLiteral("Changed"), storedTime(now));
    invitations.setField(QStringLiteral("RevokedBy"), revokedBy);
    if (!invitations.update() || !transaction.commit()) {
        changed.error = invitations.lastError().isEmpty() ? transaction.error() : invitations.lastError();
        changed.busy = invitations.lastErrorIsBusy() || transaction.busy();
        return changed;
    }
    changed.ok = true;
    return changed;
}

namespace {

// The items of an answer row that are answered, counted by the engine.
QString answeredItems()
{
    QStringList items;
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        items << QStringLiteral("CASE WHEN a.%1 <> '' THEN 1 ELSE 0 END").arg(Sql::quoted(QString::number(item)));
    return items.join(QStringLiteral(" + "));
}

// The kept statement `sql`, its `values` bound and run; when that fails, a statement that is not to be read, with
// the error and whether the data was busy in `result` (any of the reads below).
template <typename Read>
Database::Statement ran(Database& db, const QString& sql, const QVariantList& values, Read& result)
{
    Database::Statement statement = db.statement(sql);
    if (!statement) {
        result.error = db.lastError();
        result.busy = db.lastErrorIsBusy();
        return statement;
    }
    QSqlQuery& query = statement.query();
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!db.exec(query)) {
        result.error = query.lastError().text();
        result.busy = db.engine().isBusy(query.lastError());
        return Database::Statement();
    }
    return statement;
}

} // namespace

ProgressRead progress(Database& db, const QDateTime& now, const QStringList& codes)
{
    ProgressRead result;
    // The latest of each code last (the times are stored as ISO text, so the text order is the time order); the
    // answered items are counted only for one being answered, the only state that shows them.
    const QString select = QStringLiteral(
        "SELECT i.\"Code\", i.\"State\", i.\"Expires\", "
        "CASE WHEN i.\"State\" = 'answering' THEN (SELECT MAX(%1) FROM \"Answer\" a WHERE a.\"Code\" = i.\"Code\") "
        "ELSE 0 END FROM \"Invitation\" i %2 ORDER BY i.\"Made\", i.\"TokenHash\"");
    constexpr qsizetype Chunk = 200; // codes per statement, well inside either engine's limit of values
    for (qsizetype from = 0; from == 0 || from < codes.size(); from += Chunk) {
        const QStringList some = codes.mid(from, Chunk);
        QStringList marks;
        for (qsizetype k = 0; k < some.size(); ++k)
            marks << QStringLiteral("?");
        const QString where = codes.isEmpty()
            ? QString()
            : QStringLiteral("WHERE i.\"Code\" IN (%1)").arg(marks.join(QStringLiteral(", ")));
        QVariantList values;
        for (const QString& code : some)
            values << code;
        Database::Statement statement = ran(db, select.arg(answeredItems(), where), values, result);
        if (!statement)
            return result;
        QSqlQuery& query = statement.query();
        while (query.next()) {
            Progress progress;
            progress.state = stateFrom(query.value(1).toString());
            progress.expires = QDateTime::fromString(query.value(2).toString(), Qt::ISODate);
            progress.answered = query.value(3).toInt();
            progress.expired = (progress.state == State::Open || progress.state == State::Answering)
                && (!progress.expires.isValid() || now >= progress.expires);
            result.byCode.insert(query.value(0).toString(), progress); // a later one takes the place of an earlier
        }
        if (codes.isEmpty())
            break;
    }
    result.read = true;
    return result;
}

Counts counts(Database& db, const QDateTime& now, const QDateTime& dayStart)
{
    Counts result;
    static const QString sql = QStringLiteral(
        "SELECT SUM(CASE WHEN \"State\" IN ('open', 'answering') AND \"Expires\" > ? THEN 1 ELSE 0 END), "
        "SUM(CASE WHEN \"State\" = 'finished' AND \"Changed\" >= ? THEN 1 ELSE 0 END) FROM \"Invitation\"");
    Database::Statement statement = ran(db, sql, { storedTime(now), storedTime(dayStart) }, result);
    if (!statement)
        return result;
    QSqlQuery& query = statement.query();
    if (query.next()) {
        result.open = query.value(0).toInt();
        result.finishedToday = query.value(1).toInt();
    }
    result.read = true;
    return result;
}

CouplesRead finishedCouples(Database& db, const QDateTime& since)
{
    CouplesRead result;
    static const QString finished = QStringLiteral(
        "EXISTS (SELECT 1 FROM \"Invitation\" i WHERE i.\"Code\" = p.\"%1\" AND i.\"State\" = 'finished' "
        "AND i.\"Changed\" >= ?)");
    static const QString sql = QStringLiteral("SELECT p.\"FirstCode\", p.\"SecondCode\" FROM \"ComparedPairs\" p "
                                              "WHERE p.\"Kind\" = 'Couple' AND %1 AND %2")
                                   .arg(finished.arg(QStringLiteral("FirstCode")), finished.arg(QStringLiteral("SecondCode")));
    Database::Statement statement = ran(db, sql, { storedTime(since), storedTime(since) }, result);
    if (!statement)
        return result;
    QSqlQuery& query = statement.query();
    while (query.next())
        result.couples.append({ query.value(0).toString(), query.value(1).toString() });
    result.read = true;
    return result;
}

} // namespace Invitations
