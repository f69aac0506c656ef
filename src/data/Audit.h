#pragma once

#include <QString>
#include <QStringList>

class Database;

// The audit trail: who changed an examinee's rows, printed or exported what, made a backup or restored one. On a
// clinic's server set up with rights the server writes it (data/ServerRights), with the login as who; on a data file
// the program does, in the file's own AuditLog, with the computer's user as who. The program adds what neither
// engine sees itself through note(): a report printed or saved as PDF, an export, a comparison, a scoring viewed, a
// backup, a restore. On a server without rights nothing is kept.
namespace Audit {

// Notes `action` on `code` (empty for none) with `detail`; false when the server refused or the write failed.
bool note(Database& db, const QString& action, const QString& code = QString(), const QString& detail = QString());

// The login name of whoever runs the program on this computer: who, on a data file.
QString computerUser();

// The statements that make a data file's connection write a line for every insert, update and delete of examinees,
// answers, remembered pairs and invitations, in the words the server's trail uses ("IDE insert", "Answer update"),
// with `who` as who. They are TEMP triggers: they live with the connection, so who is the one running it, and a
// copy of the file carries nothing that writes on its own.
QStringList fileTriggerStatements(const QString& who);

} // namespace Audit
