#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The four scales of the questionnaire, in the fixed order in which the scoring window lists them and the chart and
// reports take them.
enum class Scale { Rezayat, Ertebat, HaleT, TahrifeA };

inline constexpr std::array<Scale, 4> allScales = {Scale::Rezayat, Scale::Ertebat, Scale::HaleT, Scale::TahrifeA};

// Everything fixed about one scale: where its raw score is stored, what it is called on screen, the names of the
// four result boxes under which the chart and the reports find its results, and the items it sums.
struct ScaleInfo {
    Scale scale;
    QString column; // IDE column holding the raw score
    QString caption;
    QString rawBox;
    QString percentBox;
    QString levelBox;
    QString sentenceBox;
    QList<int> items; // ascending
    int minRaw;       // all items answered 1
    int maxRaw;       // all items answered 5
};

// The four scales in their fixed order.
const std::array<ScaleInfo, 4>& scales();
const ScaleInfo& scaleInfo(Scale scale);

// The scale item 1..35 counts toward; nullopt for any other number.
std::optional<Scale> scaleOfItem(int item);

// The percent (5, 10, ..., 100) of a raw score by the scale's fixed table, bounds inclusive; nullopt for a raw score
// outside the table (below 1, or above 50, resp. 25 for TahrifeA), which no answer sheet can produce.
std::optional<int> percentFor(Scale scale, int raw);

// The five level words, lowest band first.
const std::array<QString, 5>& levelWords();

// The level word of a percent: 1..15, 20..35, 40..60, 65..80, 85..100. Empty for a percent in no band: 0 or below
// (what an empty or unwritten percent box reads back as), above 100, or between two bands.
QString levelFor(int percent);

// The scale's interpretation sentence for the band of `percent` (same bands as levelFor); empty when no band.
QString sentenceFor(Scale scale, int percent);
