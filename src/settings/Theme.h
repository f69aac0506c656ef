#pragma once

#include "settings/SkinFile.h"

#include <QString>

#include <optional>

class Database;
class QWidget;

// The theme every skinned window applies when it loads: the theme number comes from the `TH` text of the single
// `Theme` row, read by the leading-number rule; only a whole 1..11 names a skin, anything else loads none. A skin
// is read from the folder of the files delivered with the program (beside it, or its installed share folder), so
// the program finds its skins from whatever folder it was started.
namespace Theme {

constexpr int Count = 11;
// The theme that stands in for one whose skin cannot be read.
constexpr int First = 1;

// 1..11 for a text that names a theme, 0 otherwise ("1", "1.0" and " 1" name theme 1; "1.5", "0", "12", "" none).
int themeNumber(const QString& thText);

// The skin file of a theme, "" for 0 or a number outside 1..11.
QString skinFile(int theme);

// Reads a skin file by its bare name from the skins' folder; nothing when it is missing or unreadable.
std::optional<SkinFile> loadSkin(const QString& skinsFolder, const QString& fileName);

// The theme to store in place of the one `thText` names when that theme's skin cannot be read (missing, damaged,
// too large, not a file): the first theme. 0 when the text may stay: it names no theme, names the first, or its
// skin reads.
int replacementFor(const QString& skinsFolder, const QString& thText);

// Paints a window and its controls with a skin from now on. Windows the window owns (a chart, a box) keep their
// own look; a control's own style sheet stays in force over the skin's.
void paint(QWidget* window, const SkinFile& skin);

// The one entry every skinned window calls while it loads, after its `Theme` row has been read: loads the skin that
// `thText` names and paints the window with it. A text that names no theme, or a skin file that is missing or
// unreadable, is not reported: the window keeps its look. The window remembers the theme it was painted with in
// its "appliedTheme" property (0 or absent when none).
void applyTheme(QWidget* window, const Database& db, const QString& thText);

} // namespace Theme
