#pragma once

#include <QString>
#include <QStringList>

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
// whose codes differ only in the way they were written (start-up leaves such codes as they are); typing one of them
// exactly as it was registered still finds that one. Empty when nothing visible was typed.
QStringList lookupForms(const QString& typed);

} // namespace ExamineeCode
