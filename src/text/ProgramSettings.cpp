#include "text/ProgramSettings.h"

#include <QDir>
#include <QStandardPaths>

namespace ProgramSettings {

namespace {

QString& chosenPath()
{
    static QString path;
    return path;
}

} // namespace

QString filePath()
{
    if (!chosenPath().isEmpty())
        return chosenPath();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("tovrin35/tovrin35.conf"));
}

void setFilePath(const QString& path)
{
    chosenPath() = path;
}

} // namespace ProgramSettings
