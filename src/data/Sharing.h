#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class Database;

// Sharing an examinee with a colleague on a clinic's server with rights (a couple's co-therapist, a supervisor): the
// colleague then sees and changes the examinee as their own, but does not delete it. The server keeps the sharing
// (ExamineeShare), refuses a counsellor's sharing of another's examinee, and writes every share and every one taken
// back into the audit trail itself.
namespace Sharing {

// Whether sharing is kept where `db` works: on a clinic's server set up with rights, for its head and counsellors.
bool offered(Database& db);

// The clinic's head and counsellors a share may go to, by login name, the login itself left out: names alone.
struct Colleagues {
    bool read = false;
    QStringList names;
    QString error;
    bool busy = false;
};
Colleagues colleagues(Database& db);

enum class Outcome {
    Done,
    NotMine, // the examinee is another counsellor's, which only that counsellor (or the head) shares or takes back
    NoSuchColleague, // the name is none of colleagues()
    NotShared, // nothing of the examinee was shared with that colleague
    Failed,
};
struct Result {
    Outcome outcome = Outcome::Failed;
    QString error; // the platform's description when Failed
    bool busy = false;
};

// Shares the examinee of `code` with `colleague`; sharing again what is shared already is done as well.
Result share(Database& db, const QString& code, const QString& colleague);
// Takes back the share of `code` with `colleague`, or every share of `code` when `colleague` is empty.
Result takeBack(Database& db, const QString& code, const QString& colleague);

// The shares the login may see, colleagues by code: the login's own examinees with whom they are shared, and the
// examinees shared with the login (under the login's own name); the head sees every share.
struct Shares {
    bool read = false;
    QString me; // the login's name
    QHash<QString, QStringList> colleaguesByCode;
    QString error;
};
Shares visible(Database& db);

} // namespace Sharing
