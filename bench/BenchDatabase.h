#pragma once

#include "data/Database.h"

#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>

// A program folder holding a database of `examinees` registered examinees (codes "1" ... "N", groups A to G,
// every answer filled), built once per benchmark program.
struct BenchDatabase {
    explicit BenchDatabase(int examinees);

    QTemporaryDir folder;
    std::unique_ptr<Database> database;
};

// How many examinees a benchmark's database holds: T35_BENCH_EXAMINEES when it is set (1000000 for a million),
// else `usual`.
inline int benchExaminees(int usual = 100000)
{
    const int asked = qEnvironmentVariableIntValue("T35_BENCH_EXAMINEES");
    return asked > 0 ? asked : usual;
}
