#pragma once

#include "text/ProgramSettings.h"

#include <QTemporaryDir>

// A settings file of the test's own, for a test that has no TestProgram: the user's own file is never read or
// written, so how numbers are drawn is the program's default unless the test says otherwise.
class OwnSettings {
public:
    OwnSettings() { ProgramSettings::setFilePath(m_dir.filePath(QStringLiteral("tovrin35.conf"))); }
    ~OwnSettings() { ProgramSettings::setFilePath(QString()); }
    OwnSettings(const OwnSettings&) = delete;
    OwnSettings& operator=(const OwnSettings&) = delete;

private:
    QTemporaryDir m_dir;
};
