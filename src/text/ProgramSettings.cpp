#include "text/ProgramSettings.h"

#include "text/OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramSettings {

namespace {

QString& chosenPath()
{
    static QString path;
    return path;
}

// QSettings writes a new file with the usual mode, and a file it replaces with that file's mode: an empty file made
// owner-only before the first write keeps every later one owner-only, and so does one found open to others.
void prepare(const QString& path)
{
    if (QFileInfo::exists(path)) {
        OwnerOnly::tightenTarget(path);
        return;
    }
    if (!OwnerOnly::makeFolder(QFileInfo(path).absolutePath()))
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerOnly::FileMode))
        file.close();
}

} // namespace

QString filePath()
{
    const QString path = !chosenPath().isEmpty()
        ? chosenPath()
        : QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
              .filePath(QStringLiteral("tovrin35/tovrin35.conf"));
    prepare(path);
    return path;
}

void setFilePath(const QString& path)
{
    chosenPath() = path;
}

} // namespace ProgramSettings
