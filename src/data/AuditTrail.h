#pragma once

#include "data/TableCursor.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

class Database;

// Reading the audit trail (data/Audit writes it): its lines newest first, narrowed by who, code, action and a span of
// days, for the activity window and its export. The same on a data file and on a clinic's server, where only the
// head may read it (Rights) and the server refuses anyone else.
namespace AuditTrail {

inline const QString Table = QStringLiteral("AuditLog");

// The trail's lines as a listing cursor, newest first.
TableCursor* open(Database& db, QObject* parent = nullptr);

// What narrows the lines; an empty text or an invalid date narrows nothing. Days are the computer's local days, from
// the start of `from` to the end of `to`.
struct Filter {
    QString who;
    QString code;
    QString what;
    QDate from;
    QDate to;
};
QList<TableCursor::Condition> conditions(const Filter& filter);

// An instant as the trail's When is compared and, on a data file, kept: UTC, ISO 8601, milliseconds.
QString stamp(const QDateTime& instant);

// The instant of a stored When, as either engine gives it back, in local time; invalid when it is not one.
QDateTime when(const QString& stored);

} // namespace AuditTrail
