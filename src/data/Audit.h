#pragma once

#include <QString>

class Database;

// What the program adds to a clinic server's audit trail, for what the server cannot see itself: a report printed or
// saved as PDF, an export, a comparison, a scoring viewed, a backup, a restore. The server writes the line with the
// login as who and the time (data/ServerRights); on a server without rights, and on a data file, nothing is kept yet.
namespace Audit {

// Notes `action` on `code` (empty for none) with `detail`; false when the server refused or failed.
bool note(Database& db, const QString& action, const QString& code = QString(), const QString& detail = QString());

} // namespace Audit
