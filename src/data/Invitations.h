#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QString>

class Database;

// Links by which an examinee answers the questionnaire on a phone. A link carries a token of 192 random bits; the
// token exists only in the link: the data keeps its hash, so neither a copy of the data nor its backups let anyone
// answer in an examinee's place. An invitation is open until its first answer, answering until the examinee
// finishes, then finished for good; one that is revoked or past its expiry opens nothing.
namespace Invitations {

enum class State { Open, Answering, Finished, Revoked };

// The state as stored ("open", "answering", "finished", "revoked") and back; Revoked for any other text, so a damaged
// row opens nothing.
QString stateName(State state);
State stateFrom(const QString& stored);

// Days an invitation lasts unless told otherwise, and the most it may be given.
inline constexpr int DefaultDays = 7;
inline constexpr int MostDays = 365;

struct Made {
    enum class Status { Made, NoExaminee, BadDays, Failed };
    Status status = Status::Failed;
    QString token; // for Made: the one copy of it, to be put in the link
    QString code; // the examinee's code as stored
    QString error; // for Failed: the platform's description
    bool busy = false;
};
// Makes an invitation for the examinee whose code is `typedCode` (found as the test window finds one: an Answer row
// must carry it), lasting `days` from `now`.
Made make(Database& db, const QString& typedCode, int days, const QString& madeBy, const QDateTime& now);

struct Found {
    enum class Status {
        Valid, // open, answering or finished, and not expired
        Closed, // no such token, or revoked, or expired: all alike to whoever holds the link
        Failed, // the data could not be read
    };
    Status status = Status::Closed;
    QString code;
    State state = State::Revoked;
    QString tokenHash;
    QString error;
    bool busy = false;
};
// The invitation whose link carries `token`. The stored hash is compared with the token's in constant time, and the
// same work is done for a token that is unknown as for one that was revoked.
Found find(Database& db, const QString& token, const QDateTime& now);

struct FoundAll {
    bool read = false;
    QString error;
    bool busy = false;
    QHash<QString, Found> byToken; // each token asked for, as find() finds it
};
// The invitations of several links in one read: the choices stored together look their links up so.
FoundAll findAll(Database& db, const QStringList& tokens, const QDateTime& now);

struct Changed {
    bool ok = false;
    QString error;
    bool busy = false;
};
// Moves the invitation with that hash to `state`, unless it is finished or revoked already (a finished sheet stays
// finished); ok when it is in `state` afterwards. `when` is kept as the time of the change.
Changed moveTo(Database& db, const QString& tokenHash, State state,
    const QDateTime& when = QDateTime::currentDateTimeUtc());
// The same inside a write transaction the caller holds and commits.
Changed moveWithin(Database& db, const QString& tokenHash, State state,
    const QDateTime& when = QDateTime::currentDateTimeUtc());
// Moves each of the invitations with these hashes that is open or answering to `state`, in as few statements as
// the hashes allow, inside a write transaction the caller holds; those finished, revoked or in `state` already stay
// as they are. ok when the writes went through.
Changed moveAllWithin(Database& db, const QStringList& tokenHashes, State state,
    const QDateTime& when = QDateTime::currentDateTimeUtc());

// Revokes the invitation with that hash, keeping who did it and when: its link opens nothing from then on. A
// finished one stays finished (its answers are in); ok when it is revoked afterwards.
Changed revoke(Database& db, const QString& tokenHash, const QString& revokedBy, const QDateTime& now);

// What the counsellor sees of an examinee's latest invitation.
struct Progress {
    State state = State::Open;
    QDateTime expires;
    int answered = 0; // items answered, for one being answered
    bool expired = false; // open or answering, and past its expiry
};
struct ProgressRead {
    bool read = false;
    QString error;
    bool busy = false;
    QHash<QString, Progress> byCode; // codes as stored; a code never invited is not there
};
// The latest invitation of each of `codes` that has one (of every invited code when `codes` is empty), in one query
// that counts the answered items as well: for the few codes a grid shows, light enough to repeat every few seconds.
ProgressRead progress(Database& db, const QDateTime& now, const QStringList& codes = {});

struct Counts {
    bool read = false;
    QString error;
    bool busy = false;
    int open = 0; // open or answering, not expired
    int finishedToday = 0; // finished since `dayStart`
};
// The home panel's figures about invitations.
Counts counts(Database& db, const QDateTime& now, const QDateTime& dayStart);

struct Couple {
    QString firstCode;
    QString secondCode;
};
struct CouplesRead {
    bool read = false;
    QString error;
    bool busy = false;
    QList<Couple> couples;
};
// The couples (as remembered for comparison) both of whom finished an invitation since `since`: ready to compare.
CouplesRead finishedCouples(Database& db, const QDateTime& since);

// A new token (base64url, no padding) and the hash under which it is stored (hex).
QString newToken();
QString hashOf(const QString& token);
// Whether a text has the form of a token (so a path part that cannot be one is never looked up as one).
bool looksLikeToken(const QString& text);

// The link of `token` under `base` (the service's address as phones reach it).
QString link(const QString& base, const QString& token);

// How an instant is stored: UTC, ISO 8601 to the second.
QString storedTime(const QDateTime& time);

} // namespace Invitations
