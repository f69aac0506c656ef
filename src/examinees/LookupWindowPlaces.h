#pragma once

#include <QString>

// Where the lookup window's controls stand (twips) and the captions it sets at run time, shared by the window's
// building and its behaviour.
namespace LookupWindowPlaces {

// The grid is wider than first designed by the invitation state's column, and the window with it.
inline constexpr int progressWidth = 2460;
inline constexpr int windowWidth = 10860 + progressWidth;
inline constexpr int windowHeight = 6300;

// The search boxes and buttons stand in a column on the right, the grid fills the left.
inline constexpr int captionLeft = 9420 + progressWidth;
inline constexpr int captionWidth = 1200;
inline constexpr int boxLeft = 6840 + progressWidth;
inline constexpr int boxWidth = 2520;
inline constexpr int rowHeight = 375;
inline constexpr int columnLeft = 6840 + progressWidth;
inline constexpr int columnWidth = 3780;

inline constexpr int gridLeft = 240;
inline constexpr int gridTop = 615;
inline constexpr int gridWidth = 6360 + progressWidth;
inline constexpr int gridHeight = 5400;
inline constexpr int designedGroupWidth = 1080;
// On a clinic's server with rights: the sharing column in the grid, and a strip under it to share with a colleague.
inline constexpr int shareWidth = 1260;
inline constexpr int shareStripTop = gridTop + gridHeight + 120;
inline constexpr int shareStripHeight = 480;
inline constexpr int widestGroupWidth = 2280;

inline const QString groupPrompt = QStringLiteral("جنسيت را انتخاب كنيد");
inline const QString exportCaption = QStringLiteral("خروجي اکسل");
inline const QString choicesCaption = QStringLiteral(u"با گزينه\u200cها");

inline const QString codeColumn = QStringLiteral("Code");

} // namespace LookupWindowPlaces
