#pragma once

#include <QString>

#include <array>

// The one description of the questionnaire: its statements, the scale each counts towards and its keying. The test
// window, keying, scoring and the research export all take the questionnaire from here.
inline constexpr int QuestionnaireItemCount = 35;

struct QuestionnaireItem {
    int number;            // 1..35
    const char* scale;     // "Rezayat", "Ertebat", "HaleT" or "TahrifeA"
    bool reversed;         // true where agreeing is unfavourable
    const char* statement; // UTF-8
};

// The 35 items in order; index i holds item i + 1.
const std::array<QuestionnaireItem, QuestionnaireItemCount>& questionnaireItems();

// The item with that number; nullptr outside 1..QuestionnaireItemCount.
const QuestionnaireItem* questionnaireItem(int number);
