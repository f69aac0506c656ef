#pragma once

#include "scoring/reports/ListReport.h"

#include <QList>
#include <QString>

#include <functional>

class TableCursor;

// The order in which the list report prints the rows it is given.
enum class ListOrder {
    TableOrder, // as the cursor lists them
    ByGroup, // by group, and in the cursor's order within a group
};

struct ListReportRead {
    QList<ListReportRow> rows;
    bool complete = true;
    QString error; // the platform's description when a row could not be read
};

// Reads the rows a cursor shows (its filter applies) into the lines of the list report, in one pass that leaves the
// cursor's current row alone. Texts that repeat down the list (groups, sexes, scores) are kept once.
ListReportRead readListRows(TableCursor& cursor, ListOrder order = ListOrder::TableOrder);

// The same lines in the same order handed on one at a time, read row by row (the cursor's order within each group
// read in a pass of its own), until `take` returns false. `counted` is told how many lines there are before the first
// is handed on. False, with the platform's description in `error`, when the rows could not be read.
bool forEachListRow(TableCursor& cursor, ListOrder order, const std::function<void(int lines)>& counted,
    const std::function<bool(const ListReportRow& line)>& take, QString& error);
