#pragma once

#include <QString>

// The program's settings file: what belongs to this computer's user rather than to the clinic's data (which database
// the program opens, how digits are drawn). An INI file in the user's configuration folder,
// ~/.config/tovrin35/tovrin35.conf, read and written with QSettings:
//     QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
// Nothing secret is ever written there (no password).
namespace ProgramSettings {

// The path, with the file made empty and owner-only (in an owner-only folder) when it is not there yet, so that
// whatever QSettings writes into it stays owner-only.
QString filePath();

// Another file in place of the user's own, for this run (tests give each case a file of its own). Empty text goes
// back to the user's own.
void setFilePath(const QString& path);

} // namespace ProgramSettings
