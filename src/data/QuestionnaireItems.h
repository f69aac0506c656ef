// The statements of the questionnaire, with the scale each one counts towards and its keying.
#pragma once

#include <QString>

#include <array>

struct QuestionnaireItem {
    int number;            // 1..35
    const char* scale;     // "Rezayat", "Ertebat", "HaleT" or "TahrifeA"
    bool reversed;         // true where agreeing is unfavourable
    const char* statement; // UTF-8
};

// The 35 items in order; index i holds item i + 1.
const std::array<QuestionnaireItem, 35>& questionnaireItems();
