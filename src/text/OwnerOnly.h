#pragma once

#include <QFileDevice>
#include <QString>

class QSaveFile;

// Clients' answers are for the user the program runs as and nobody else on the computer: every folder the program
// makes for its files is open to its owner only (0700), every file it writes (the data file and its journal,
// backups and their temporary files, copies made for a restore, exports, the settings file) is readable and
// writable by its owner only (0600). A file is made so from its first byte, never tightened once written: someone
// who opened a file while it was readable would keep reading it after a late chmod.
namespace OwnerOnly {

inline constexpr QFileDevice::Permissions FileMode
    = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
inline constexpr QFileDevice::Permissions FolderMode = FileMode | QFileDevice::ExeOwner | QFileDevice::ExeUser;

// While one lives, whatever is created with a mode of the creator's choice (SQLite's data file, a file QSaveFile
// makes) leaves out group and others: the process's file-creation mask takes their bits. The mask belongs to the
// whole process, so the scope is kept to the thread that runs the windows and only around the creation itself;
// the backup copy on its own thread names its modes explicitly.
class Creating {
public:
    Creating();
    ~Creating();
    Creating(const Creating&) = delete;
    Creating& operator=(const Creating&) = delete;

private:
    unsigned m_previous = 0;
};

// Makes `path` and every missing folder above it, each owner-only; true when the folder is there afterwards. A
// folder that was already there keeps its mode (the start-up tightens the data folder itself). On failure `error`,
// when given, has the platform's description.
bool makeFolder(const QString& path, QString* error = nullptr);

// Whether the file or folder at `path` exists and is closed to group and others.
bool isOwnerOnly(const QString& path);

// Takes group's and others' access away from an existing file or folder that has some. A link is left as it is (it
// is not the program's), and so is a path that does not exist. False only when a change was needed and failed.
bool tighten(const QString& path);

// `folder` and each regular file directly in it, tightened as above.
bool tightenFolder(const QString& folder);

// Opens `file` for writing so that the file it becomes is owner-only from its first byte, whatever the mode of the
// file it will replace (or of the file a link in its place leads to).
bool open(QSaveFile& file);

// Takes group's and others' access away from the regular file `path` names, through links: for a file the program
// is about to write through a library that keeps the mode it finds (QSettings). False only when a change was needed
// and failed.
bool tightenTarget(const QString& path);

} // namespace OwnerOnly
