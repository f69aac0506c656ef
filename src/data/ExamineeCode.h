#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

// An examinee code as the program stores and looks it up. One code is one person, however it was typed: the
// same code can come in Latin, Persian or Arabic-Indic digits, or carry invisible marks that a Persian keyboard or
// a pasted text brings along (zero-width joiners and spaces, direction marks, embeddings and isolates, byte-order
// marks, soft hyphens), and all of these look the same on screen. Every code typed anywhere goes through
// normalised() before it is stored, compared or looked up.
namespace ExamineeCode {

// The code as stored: canonically composed, every digit written as its ASCII digit, invisible format and control
// characters removed, outer blanks trimmed. Letters, inner blanks and case stay as typed; "7" and "07" stay two
// codes. Empty when nothing visible was typed.
QString normalised(const QString& typed);

// The codes to look a typed code up by, in order: the typed text without its outer blanks when that differs from
// the normalised code, then the normalised code. A file written before codes were normalised may keep two people
// whose codes differ only in the way they were written (see normaliseStoredCodes); typing one of them exactly as
// it was registered still finds that one. Empty when nothing visible was typed.
QStringList lookupForms(const QString& typed);

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
