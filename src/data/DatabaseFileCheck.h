#pragma once

#include <QString>

// An inspection of any SQLite file by path: whether it is a database of this program, complete and undamaged.
// It looks without writing (the file is opened read-only), so it may be pointed at a file of unknown origin; a
// caller that means to put the file in use inspects a private copy of it, so the file cannot change between the
// look and the use. It asks more than the start-up check of Database::open (nothing beyond our tables, and
// SQLite's own integrity check), and the two belong together.
namespace DatabaseFileCheck {

enum class Verdict {
    Ours, // our tables with exactly our columns, nothing else, integrity "ok"
    NotSQLite, // not an SQLite database at all (a text file, a picture, an empty file)
    NotOurs, // an SQLite database, but with other tables or columns, or with triggers or views
    Damaged, // meant to be one of ours but cut short or failing the integrity check
    CannotOpen, // the file could not be read
};

struct Outcome {
    Verdict verdict = Verdict::CannotOpen;
    QString detail; // what was found, or the platform's description

    bool ours() const { return verdict == Verdict::Ours; }
};

Outcome inspect(const QString& path);

} // namespace DatabaseFileCheck
