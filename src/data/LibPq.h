#pragma once

#include <libpq-fe.h>

// The few calls the program makes to libpq itself, beside Qt's driver. Found in the libpq that the driver loaded
// with the first connection to a server, rather than linked: a program that works on its data file never loads libpq
// and the TLS, Kerberos and LDAP libraries it brings, which cost every start. Each is null while no connection to a
// server was ever made (there is then no PGconn to ask about either).
namespace LibPq {

struct Calls {
    decltype(&PQstatus) status = nullptr;
    decltype(&PQsocket) socket = nullptr;
    decltype(&PQencryptPasswordConn) encryptPassword = nullptr;
    decltype(&PQfreemem) freemem = nullptr;
    decltype(&PQerrorMessage) errorMessage = nullptr;

    bool found() const { return status && socket && encryptPassword && freemem && errorMessage; }
};

// The calls of the libpq already loaded; none of them while it is not.
const Calls& calls();

} // namespace LibPq
