#pragma once

#include <QString>

// Numbers live as texts in boxes and are read back by the same rule everywhere: after leading blanks, the longest
// leading decimal number (optional sign, digits of any script, optional fraction); 0 when the text does not start with
// one.
double leadingNumber(const QString& text);

// The leading number when it is a whole number that fits an int; otherwise `fallback`
// (so "2.5", "abc" or "" never pass for a valid item or theme number).
int leadingWholeNumber(const QString& text, int fallback = 0);
