#pragma once

#include "data/Database.h"
#include "data/ServerAddress.h"

#include <QString>

#include <memory>

class Messages;
class QWidget;

// Opening the database on the clinic's server. libpq finds a password by its own means (~/.pgpass, a service file,
// PGPASSWORD); when it has none, or the server refuses the one it has, the operator is asked with a hidden entry, at
// most three times. What is typed is kept in memory only, by the Database it opened.
namespace ServerLogin {

struct Outcome {
    std::unique_ptr<Database> database; // open on the server, or nullptr
    Database::OpenResult opened; // of the last attempt
    bool cancelled = false; // the operator cancelled the password entry

    bool ok() const { return database != nullptr; }
};

Outcome open(const ServerAddress& server, Messages& messages, QWidget* owner);

// What the operator is told when it did not open: the server and why, then `followedBy` (what happens next) when
// given, and last libpq's or the check's words, for whoever looks after the server.
QString failureText(const Outcome& outcome, const ServerAddress& server, const QString& followedBy = QString());

} // namespace ServerLogin
