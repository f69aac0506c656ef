#pragma once

#include <QString>

class Database;

// The one question a window asks before it offers what not every login may do: "may I?". On a data file and on a
// server never set up with rights everything is allowed; on a clinic's server with rights the clinic's head may do
// all of it and a counsellor none. The server refuses a counsellor anyway (data/ServerRights): this only lets a
// window hide or refuse in Persian before the server's refusal would have to be told.
namespace Rights {

enum class Act {
    RestoreOntoServer, // a backup restored over the clinic's rows
    CopyToServer, // a data file's rows copied onto the server
    DeleteOthers, // deleting an examinee another counsellor registered
    ReadAuditTrail, // the activity report
    SetUpCounsellors, // making logins for the clinic's counsellors
};

bool may(Database& db, Act act);

// Whether the examinee of `code` may be deleted by who is working: anyone's on a data file and on a server without
// rights; on a clinic's server with rights, the head's always, and a counsellor's when the examinee is their own (or
// nobody's), not when another counsellor registered it and shared it with them.
bool mayDeleteExaminee(Database& db, const QString& code);

// Who is working on `db`, for the main window: the server's login role and whether it is the clinic's head or a
// counsellor. Nobody (an empty name) on a data file and on a server without rights.
struct Person {
    QString name;
    bool head = false;
    bool isSomebody() const { return !name.isEmpty(); }
};
Person whoIsWorking(Database& db);

} // namespace Rights
