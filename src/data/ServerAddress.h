#pragma once

#include <QString>

#include <optional>

// Where a clinic's shared database server is and which of its databases the program uses: what a libpq connection
// URI says, without a password (the program never keeps one anywhere but in memory).
struct ServerAddress {
    // A host name, an address, or a folder holding the server's Unix socket (starting with '/'); empty is libpq's
    // own default (this computer's socket).
    QString host;
    int port = 5432;
    QString database;
    QString user;
    // Further libpq keywords, as the driver takes them: "keyword=value;keyword=value" (values quoted when they hold
    // blanks, quotes or backslashes).
    QString options;

    // Reads a libpq connection URI: postgresql:// or postgres://, then [user@][host][:port][/database][?k=v&...],
    // percent-encoded; host, port, dbname and user may also come as parameters (a socket folder usually does).
    // Nothing for any other text, for several hosts, and for a URI that carries a password.
    static std::optional<ServerAddress> fromUri(const QString& uri);
    QString toUri() const;
    // The server and database named for the operator, e.g. counsellor@server:5432/clinic.
    QString displayName() const;
    // Whether it names a database.
    bool isValid() const { return !database.isEmpty(); }

    // The options as keyword and value pairs, unquoted; and the text for them.
    QList<std::pair<QString, QString>> optionPairs() const;
    static QString joinOptions(const QList<std::pair<QString, QString>>& pairs);

    bool operator==(const ServerAddress&) const = default;
};
