#pragma once

#include <QString>

// What an action of the audit trail is called in the activity window. The trail keeps the action in its own words
// ("IDE insert", "report printed"), as both engines write them and as the window filters by; an action this program
// does not know is shown as it is kept.
namespace AuditWords {

QString of(const QString& action);

// The action the activity window's own export leaves in the trail.
inline const QString TrailExport = QStringLiteral("trail export");

} // namespace AuditWords
