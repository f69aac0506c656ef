#pragma once

#include "text/CodeForms.h"

#include <QString>
#include <QStringList>

class QSqlDatabase;

// Codes as they are stored in the data file: looking a typed code up, and bringing an older file's codes up to date.
namespace ExamineeCode {

struct StoredCodesResult {
    bool ok = true;
    QString error; // the platform's description, when not ok
    int rewritten = 0; // codes rewritten in their normalised form
    int kept = 0; // codes left as they were, because their normalised form already belongs to someone
};

// Brings the codes of a file written before codes were normalised up to date: each code in IDE and Answer whose
// normalised form differs is rewritten in both tables, in one transaction, unless that form is already another
// examinee's code; such a code is kept as it is (two people stay two people), and lookupForms() still reaches it.
// Reads only, and writes nothing, when every code is already normalised.
StoredCodesResult normaliseStoredCodes(QSqlDatabase db);

} // namespace ExamineeCode
