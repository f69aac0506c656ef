#pragma once

#include <QString>

// How two spouses' answers to one statement stand to each other, read on the keyed scores (5 is always the healthy
// end, reversed items already turned round): both favourable, both unfavourable, one of each, or a 3 in the pair.
enum class Agreement { Positive, Negative, Disagreement, Undecided };

// The category of a pair of keyed scores 1..5; a pair with any score outside 1..5 is Undecided.
Agreement agreementFor(int firstKeyed, int secondKeyed);

// The words the comparison window and report show for a category.
QString agreementCaption(Agreement agreement);
