#pragma once

#include <QString>

// The program's own texts write yeh and kaf with the Arabic letters (ي U+064A, ى U+0649, ك U+0643), while a
// Persian keyboard types ی U+06CC and ک U+06A9. The bundled font draws both alike; whatever draws a text with a
// font of its own (the desktop's title bar) or searches it (a spreadsheet) sees two different words.
namespace PersianLetters {

// The text with yeh and kaf as a Persian keyboard types them; every other character stays as it is.
QString asTyped(const QString& text);

} // namespace PersianLetters
