#pragma once

#include <QString>

class TableCursor;

// The trail's lines a listing shows, written as a CSV file a spreadsheet opens: UTF-8 with a byte order mark, quoted
// as RFC 4180 says, one line per line of the trail, newest first: the Solar Hijri date and time, the time as kept
// (UTC), who, the action in Persian words and as kept, the code and the detail. A cell a spreadsheet would take for
// a formula is written as text. Built beside the chosen name and renamed, owner-only from its first byte.
namespace AuditExport {

struct Result {
    bool ok = false;
    int lines = 0;
    QString error; // the platform's description when not ok
};

Result write(TableCursor& lines, const QString& path);

} // namespace AuditExport
