#pragma once

#include "data/ServerAddress.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <libpq-fe.h>

// A connection of libpq's own to the database at `address`, the floor the program's statements stand beside;
// exits the benchmark when it cannot be made.
inline PGconn* libpqConnection(const ServerAddress& address)
{
    const QByteArray conninfo = QStringLiteral("host='%1' port=%2 dbname='%3' user='%4'")
                                    .arg(address.host)
                                    .arg(address.port)
                                    .arg(address.database, address.user)
                                    .toUtf8();
    PGconn* conn = PQconnectdb(conninfo.constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        std::fprintf(stderr, "libpq: %s\n", PQerrorMessage(conn));
        std::exit(1);
    }
    return conn;
}
