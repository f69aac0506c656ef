#pragma once

#include "app/SingleInstance.h"

#include <QString>

#include <memory>

class Database;
class FileDialogs;
class Messages;
class WindowRouter;

// Start-up: one running copy per user, then the database beside the program, then the main window.
// A second copy says so and ends before it touches the database or shows a window.
class Program {
public:
    enum class Start { Running, AlreadyRunning, DatabaseRefused };

    Program(const QString& programFolder, Messages& messages, FileDialogs& fileDialogs,
            const QString& lockPath = SingleInstance::defaultLockPath());
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Start start();

    // The router of a running program (nullptr before start() or when it did not run).
    WindowRouter* router() const { return m_router.get(); }

private:
    QString m_programFolder;
    Messages& m_messages;
    FileDialogs& m_fileDialogs;
    SingleInstance m_instance;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<WindowRouter> m_router;
};
