#pragma once

#include <QString>

class QSqlError;
struct ServerAddress;

// Why a connection to the clinic's server failed, read from what libpq says (Qt's driver passes libpq's own words on
// as the error's database text; a failed connection carries no SQLSTATE). libpq has no Persian translation, so on a
// Persian desktop its words are English; words it does not say are taken for Other, and the operator is still told
// libpq's text.
namespace ServerFailure {

enum class Reason {
    Refused, // nothing listens there: the server is not running, or the address or port is wrong
    UnknownHost, // the host name has no address
    NoAnswer, // no answer within the wait (5 seconds), or no way to reach the host
    NoPassword, // the server wants a password and none was given (none in ~/.pgpass, a service file or PGPASSWORD)
    PasswordRefused, // the password given is not the user's
    UserMissing, // the server has no such user
    NotAllowed, // the server does not let this user in from this computer (pg_hba.conf)
    DatabaseMissing, // the server has no database of that name
    Other, // anything else: libpq's words say what
};

Reason classify(const QString& libpqText);
Reason classify(const QSqlError& error);

// libpq's words of a failed connection, without Qt's "Unable to connect" before them.
QString platformText(const QSqlError& error);

// The reason's name, for test output ("Refused", "NoAnswer", ...).
const char* reasonName(Reason reason);

// The user libpq logs in as: the one named, else PGUSER, else the login name.
QString userName(const ServerAddress& server);

} // namespace ServerFailure
