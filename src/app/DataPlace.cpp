#include "app/DataPlace.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef T35_RESOURCES_FROM_BIN
#define T35_RESOURCES_FROM_BIN "../share/tovrin35"
#endif

namespace DataPlace {

Folders choose(const Facts& facts)
{
    const QString resources = facts.installedResources.isEmpty() ? facts.programFolder : facts.installedResources;
    if (!facts.chosenFolder.isEmpty())
        return Folders(facts.chosenFolder, resources, Where::Chosen);
    // Root may write into /usr/bin, so an installed program is told by its layout, not by the folder's rights.
    const bool besideProgram = facts.installedResources.isEmpty() && facts.programFolderWritable;
    if (besideProgram || facts.userDataFolder.isEmpty())
        return Folders(facts.programFolder, resources, Where::BesideProgram);
    return Folders(facts.userDataFolder, resources, Where::UserDataFolder);
}

QString userDataFolder()
{
    // The application name stays the executable's own (the single-instance lock needs it), so the folder is named
    // here rather than taken from AppDataLocation.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return QString();
    return QDir(base).filePath(QStringLiteral("tovrin35"));
}

QString installedResourcesOf(const QString& programFolder)
{
    const QString folder = QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(T35_RESOURCES_FROM_BIN)));
    return QFileInfo(folder).isDir() ? folder : QString();
}

Facts factsOf(const QString& programFolder, const QString& dataDirOption)
{
    Facts facts;
    facts.programFolder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    facts.programFolderWritable = QFileInfo(facts.programFolder).isWritable();
    facts.installedResources = installedResourcesOf(facts.programFolder);
    facts.userDataFolder = userDataFolder();
    if (!dataDirOption.isEmpty())
        facts.chosenFolder = QDir::cleanPath(QFileInfo(dataDirOption).absoluteFilePath());
    return facts;
}

} // namespace DataPlace
