#pragma once

#include "data/QuestionnaireItems.h"

#include <QString>

#include <optional>

// How the test window reads its item-number box. The box names the statement to show and the Answer column to
// write; 0 is a resting value that leaves the screen as it is, and numbers outside 0..35 are pulled back to the
// first or the last item.
namespace ItemNumberRule {

constexpr int FirstItem = 1;
constexpr int LastItem = QuestionnaireItemCount;

enum class Step {
    StartOver,   // the box is empty (or holds pasted text that is not a number): item 1 again
    BeforeFirst, // below 0: notice "شروع", then item 1
    Rest,        // exactly 0: nothing on screen changes
    PastLast,    // above 35: store the answers, notice "پايان", then item 35
    Load,        // 1..35: show that item
};

struct Reading {
    Step step = Step::StartOver;
    int item = 0; // the item to show for Step::Load, else 0
};

// The whole decimal number the text holds, in digits of any script ("007" and "۰۰۷" are 7, "+3" is 3, blanks around
// it are ignored), saturated far outside the item range; nothing for empty text or text that is not a whole number
// ("4a", "2.5", "abc", "-").
std::optional<int> wholeNumber(const QString& text);

// What the window does with the box's text.
Reading read(const QString& text);

// The number Next and Back count from: the box's number, 0 for an empty box or one that holds no number.
int countFrom(const QString& text);

} // namespace ItemNumberRule
