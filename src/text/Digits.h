#pragma once

#include <QChar>
#include <QString>

// Digits as a Persian keyboard types them: ASCII, Persian (U+06F0..U+06F9) or Arabic-Indic (U+0660..U+0669).
// Whatever way a digit was typed, the program keeps it as its ASCII digit.
namespace Digits {

// The value 0..9 of a digit of any of the three kinds; -1 for anything else.
int valueOf(QChar c);

// The value of a text that is one digit of any kind ("۵" is 5); -1 for anything else.
int valueOf(const QString& text);

// `text` with every Persian and Arabic-Indic digit replaced by its ASCII digit; nothing else changes.
QString toAscii(const QString& text);

// The digits of `text`, in order and as ASCII, without anything else; at most `maxLength` of them when it is above 0.
QString digitsOnly(const QString& text, int maxLength = 0);

} // namespace Digits
