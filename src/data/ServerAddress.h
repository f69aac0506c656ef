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
    // The schema that holds the program's tables; empty is "public". Set as the connection's whole search path, so a
    // schema named after the user (the server's default looks there first) never hides the clinic's tables.
    QString schema;

    // Reads a libpq connection URI: postgresql:// or postgres://, then [user@][host][:port][/database][?k=v&...],
    // percent-encoded; host, port, dbname and user may also come as parameters (a socket folder usually does).
    // Nothing for any other text, for several hosts, for a URI that carries a password, and for a further keyword
    // that is not one of allowedKeyword()'s.
    static std::optional<ServerAddress> fromUri(const QString& uri);
    // The URI with any password in it (user:password@, or a parameter naming one) shown as ***, for messages.
    static QString masked(const QString& uri);
    // Whether `keyword`, exactly as written, is one of the libpq connection keywords the program passes on: plain
    // lower-case words for the connection's timing, encryption and name. Never password, passfile or sslpassword,
    // never host, port, dbname or user (they have fields of their own), never options (it could change the search
    // path).
    static bool allowedKeyword(const QString& keyword);
    // Whether every keyword of the options is allowed.
    bool optionsAllowed() const;
    // The schema the tables are in: `schema`, or "public".
    QString schemaName() const;
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
