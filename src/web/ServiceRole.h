#pragma once

#include <QString>
#include <QStringList>

// The rights the questionnaire service needs on a clinic's server, and no more: it reads the questionnaire, the
// clinic's name and the schema version, reads invitations and changes their state, reads answer sheets and writes
// the 35 answers. Of IDE it reads the codes alone (column rights), so it never sees a name. An administrator runs these statements (README
// shows them) for the service's own login role, made with CREATE ROLE ... LOGIN.
namespace ServiceRole {

QStringList grantStatements(const QString& role, const QString& database);

} // namespace ServiceRole
