#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Lines of the CSV files the program exports (research data, the activity trail): fields separated by commas, lines
// ended by CR LF, safe to open in a spreadsheet.
namespace CsvLine {

// A cell beginning with =, +, -, @, a tab or a carriage return gets a leading apostrophe, which spreadsheets show as
// text instead of running it.
QString guarded(const QString& cell);

// One field of a line: guarded, then between double quotes (inner quotes doubled) when it holds a comma, a double
// quote or a line break.
QString field(const QString& cell);

// One line, ended by CR LF, in UTF-8.
QByteArray line(const QStringList& cells);

} // namespace CsvLine
