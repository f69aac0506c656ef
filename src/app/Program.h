#pragma once

#include "app/DataFolderCheck.h"
#include "app/DataPlace.h"
#include "app/SingleInstance.h"
#include "data/Database.h"
#include "data/DatabaseChoice.h"

#include <QString>

#include <memory>

class FileDialogs;
class Messages;
class WindowRouter;

// Start-up: one running copy per data folder, then the database in that folder, then the main window.
// A second copy says so and ends before it touches the database or shows a window.
class Program {
public:
    enum class Start { Running, AlreadyRunning, DatabaseRefused };

    // Without `lockPath`, the lock is the one of the data folder (SingleInstance::lockPathFor).
    Program(const DataPlace::Folders& folders, Messages& messages, FileDialogs& fileDialogs,
            const QString& lockPath = QString());
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Which database start() opens: the local file unless told otherwise. A server that cannot be reached (or is
    // not this program's) is said, naming the server and why, and the program ends: it never falls back to the local
    // file, which would split the clinic's data.
    void setDatabaseChoice(const DatabaseChoice& choice) { m_choice = choice; }

    Start start();

    // What the operator is told when the data file at `path` is refused or cannot be opened: each reason its own
    // message naming the file, then the platform's words when there are any.
    static QString refusalText(const Database::OpenResult& opened, const QString& path);
    // What the operator is told when the data folder chosen for the run is not fit to hold the clients' answers.
    static QString refusalText(const DataFolderCheck::Result& checked, const QString& dataFolder);

    // The router of a running program (nullptr before start() or when it did not run).
    WindowRouter* router() const { return m_router.get(); }
    // How the run ends for the desktop: 0, or 1 once the data file was found damaged after the main window was up.
    int exitStatus() const { return m_exitStatus; }

private:
    // A folder given with --data-dir, checked before anything in it is made or read; said when refused.
    bool chosenFolderFit();
    bool openLocal();
    bool openServer();
    // The verdict of the data file's page check, read while the main window was already up: a damaged file is said
    // as at a refused start, and the program ends.
    void pagesChecked(const DatabaseCheck::Result& result);

    DataPlace::Folders m_folders;
    DatabaseChoice m_choice;
    Messages& m_messages;
    FileDialogs& m_fileDialogs;
    SingleInstance m_instance;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<WindowRouter> m_router;
    int m_exitStatus = 0;
};
