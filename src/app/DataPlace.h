#pragma once

#include <QString>

// Where a run of the program keeps its data and finds the files delivered with it, decided once at start.
//
// A program run from a build or an unpacked folder has its skins beside it and keeps RIVERIVU/ there too, as long as
// it may write there. An installed program (its delivered files in <bin>/../share/tovrin35) or one whose folder it
// may not write to keeps the data in the user's data folder instead. --data-dir chooses the data folder for one run.
namespace DataPlace {

enum class Where { BesideProgram, UserDataFolder, Chosen };

struct Folders {
    Folders() = default;
    // Data and delivered files in one folder, as for a program run from its own folder.
    Folders(const QString& both) // NOLINT: a folder stands for both on purpose
        : data(both)
        , resources(both)
    {
    }
    Folders(const QString& dataFolder, const QString& resourcesFolder, Where where)
        : data(dataFolder)
        , resources(resourcesFolder)
        , where(where)
    {
    }

    QString data; // holds RIVERIVU/RIVERIVU.mdb and the backups' Back/
    QString resources; // holds the skins and the help pages
    Where where = Where::BesideProgram;
};

// What the choice is made from, gathered by `decide` from the disk and the environment.
struct Facts {
    QString programFolder; // the executable's folder
    bool programFolderWritable = false;
    QString installedResources; // <program folder>/../share/tovrin35 when it exists, "" otherwise
    QString userDataFolder; // the user's data folder for this program, "" when the system names none
    QString chosenFolder; // --data-dir made absolute, "" when not given
};

Folders choose(const Facts& facts);

// The user's data folder of the program (~/.local/share/tovrin35 on Linux), named after the program whatever the
// executable is called.
QString userDataFolder();

// Where an installed program's delivered files are, relative to its executable's folder.
QString installedResourcesOf(const QString& programFolder);

// The facts of this run: `programFolder` is the executable's, `dataDirOption` as typed (relative to the current
// folder).
Facts factsOf(const QString& programFolder, const QString& dataDirOption);

inline Folders decide(const QString& programFolder, const QString& dataDirOption)
{
    return choose(factsOf(programFolder, dataDirOption));
}

} // namespace DataPlace
