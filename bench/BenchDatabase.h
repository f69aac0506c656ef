#pragma once

#include "data/Database.h"

#include <QTemporaryDir>

#include <memory>

// A program folder holding a database of `examinees` registered examinees (codes "1" ... "N", groups A to G,
// every answer filled), built once per benchmark program.
struct BenchDatabase {
    explicit BenchDatabase(int examinees);

    QTemporaryDir folder;
    std::unique_ptr<Database> database;
};
