#pragma once

#include "data/ServerAddress.h"

#include <QString>

#include <optional>

// The throwaway PostgreSQL cluster that scripts/test starts for a run (scripts/pg-cluster): T35_TEST_SERVER holds a
// URI of its administrator's database, T35_TEST_SERVER_DATA its data folder. Each test case gets a database of its
// own and drops it at the end. A case that needs the server skips when it is not there (T35_SKIP_WITHOUT_SERVER).
class TestServer {
public:
    static bool available();
    // The administrator's database.
    static std::optional<ServerAddress> admin();
    // A new, empty database with a name no other case uses; nothing when it cannot be made.
    static std::optional<ServerAddress> freshDatabase();
    // A new database that already holds the program's tables and first rows, as a first start leaves it: a copy of
    // one made once per test program (copying is quicker than making the tables for every case).
    static std::optional<ServerAddress> freshProgramDatabase();
    // Drops a database that freshDatabase() made, whoever is still connected to it.
    static void drop(const ServerAddress& database);
    // Runs a statement on the administrator's database; the server's description of a failure, or null.
    static QString execAsAdmin(const QString& sql);

    // Stops the whole cluster at once, as a power cut does (pg_ctl stop -m immediate), and starts it again.
    static bool stopImmediately();
    static bool start();

    // Why a case that needs the server is skipped.
    static const char* missingReason();
};

#define T35_SKIP_WITHOUT_SERVER()                                                                                      \
    do {                                                                                                               \
        if (!TestServer::available())                                                                                  \
            QSKIP(TestServer::missingReason());                                                                        \
    } while (false)
