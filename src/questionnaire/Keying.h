#pragma once

#include <QString>

#include <array>

// Keying of the 35 items: each answer is stored as its keyed score 1..5, so the nineteen reversed items store the
// option's position mirrored (Option1 -> 5 ... Option5 -> 1). Writing a choice and showing a stored value use the
// same list, so a stored value always means the same thing to the test window and to scoring.

// True for the nineteen reversed items; false for the direct ones and for any number outside 1..35.
bool isReversedItem(int item);

// The keyed score 1..5 to store when `option` (1..5, i.e. Option1..Option5) is chosen on `item` (1..35);
// 0 when either is out of range.
int scoreForOption(int item, int option);

// The option 1..5 to select for the value stored for `item`; 0 (select nothing) for an empty value, for a value
// outside 1..5 and for any text that is not exactly one of "1".."5" (no blanks, signs, fractions or trailing text).
// Scoring refuses such a value as damaged, so the test window shows it as unanswered and invites a fresh choice
// rather than presenting a damaged value as a valid answer.
int optionForScore(int item, const QString& stored);

// The captions of Option1..Option5, in order.
const std::array<QString, 5>& optionCaptions();
