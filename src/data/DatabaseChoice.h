#pragma once

#include "data/ServerAddress.h"

#include <QString>

#include <optional>

// Which database the program opens: the data file on this computer (the default) or the clinic's server. The choice
// is this computer's user's, kept in the program's settings file (never with a password); `--database URI` overrides
// it for one run.
struct DatabaseChoice {
    enum class Kind { Local, Server };
    Kind kind = Kind::Local;
    ServerAddress server; // for Server

    bool isServer() const { return kind == Kind::Server; }

    // What the settings file holds; the local file when it holds nothing. A server choice is one even when it names
    // no database (see ServerAddress::isValid).
    static DatabaseChoice stored();
    // The server last stored, also under a local choice (the panel offers it again); empty fields when none was.
    static ServerAddress storedServer();
    // Writes the choice to the settings file; false when the file could not be written.
    bool store() const;

    // The choice for this run: the server of `databaseUri` when one is given, else the stored choice. Nothing when
    // the URI cannot be read (or carries a password), with `error` saying so.
    static std::optional<DatabaseChoice> forRun(const QString& databaseUri, QString& error);

    bool operator==(const DatabaseChoice&) const = default;
};
