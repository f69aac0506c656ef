#pragma once

#include "data/ServerAddress.h"

#include <QString>
#include <QStringList>

class Database;

// Who may see and change what on a clinic's server. The rights live in the server itself, so they hold whatever
// program or tool connects: group roles (the clinic's head, its counsellors, the questionnaire service), grants, and
// row-level policies under which a counsellor sees and changes only the examinees they registered and those a
// colleague shared with them, while the head sees all. Each examinee's IDE and Answer rows carry their counsellor
// (filled by the server from the login role, never by the program), and the sharing is kept in ExamineeShare.
// A server set up so has schema version 3 (ServerRightsVersion); one that never was keeps working as before, with
// every login seeing everything.
namespace ServerRights {

inline const QString HeadRole = QStringLiteral("tovrin35_head");
inline const QString CounsellorRole = QStringLiteral("tovrin35_counsellor");
inline const QString ServiceRole = QStringLiteral("tovrin35_web");

// The tables rights add, with their columns and the server's type of each, in order.
struct Column {
    QString name;
    QString type;
};
struct Table {
    QString name;
    QList<Column> columns;
    QStringList indexes; // the names of the indexes the server makes for it
};
// What a server set up with rights holds beside the program's own tables: the tables rights add, the columns (and
// their indexes) they add to the program's tables, and the triggers and policies, each as "table/name".
struct Layout {
    QList<Table> tables;
    QList<Table> additions;
    QStringList triggers;
    QStringList policies;
};
const Layout& layout();
// As an earlier program set up the same version: whose each examinee is in a table of its own (ExamineeOwner).
// Such a server still opens; setting up again brings it to layout().
const Layout& earlierLayout();

// The statements that make or bring up to date the roles, tables, functions, triggers, grants and policies in
// `schema` of `database`, safe to run again; examinees without a counsellor go to `formerCounsellor` (a login role
// that exists; none when empty: such rows then stay visible to every counsellor until one is named).
QStringList setupStatements(const QString& database, const QString& schema, const QString& formerCounsellor);

// Sets up `db` (opened by the program as its administrator, who then owns the tables) in one transaction: null when
// done, the server's description of the failure otherwise (nothing changed then).
QString setUp(Database& db, const QString& formerCounsellor);

// Makes a login role NAME in the counsellors' or the head's group, with `password` sent only as its scram-sha-256
// verifier, computed here. Null when done.
QString addCounsellor(Database& db, const QString& name, bool head, const QString& password);

// Asked inside a write transaction before what only the head may do: true on a data file, on a server without
// rights, and for the head; false, with the server's refusal as the connection's last error, for anyone else.
bool headOnly(Database& db);

// Whether the connection's login role is the head, a counsellor, or neither (a server without rights, the owner).
enum class Standing { None, Counsellor, Head };
Standing standing(Database& db);

} // namespace ServerRights
