#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TableCursor;

// The examinees a cursor on IDE lists (through its filter, in its order), each with the keyed answers of the first
// Answer row that carries the same code. Read in one pass and handed on one at a time, so any number of examinees
// can be written out without holding them all.
namespace ListedExaminees {

struct Row {
    QStringList details; // the IDE row, in the order of Database::ideColumns()
    QStringList answers; // items 1..35; all empty when the examinee has no Answer row
};

// Calls `take` for each listed examinee until it returns false. False, with the platform's description in `error`,
// when the rows could not be read (`take` may then have seen some of them).
bool forEach(TableCursor& ide, const std::function<bool(const Row&)>& take, QString& error);

} // namespace ListedExaminees
