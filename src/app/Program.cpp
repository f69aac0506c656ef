#include "app/Program.h"

#include "app/WindowRouter.h"
#include "data/Database.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"

Program::Program(const QString& programFolder, Messages& messages, FileDialogs& fileDialogs, const QString& lockPath)
    : m_programFolder(programFolder)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_instance(lockPath)
{
}

// The router goes first: its windows still use the database.
Program::~Program()
{
    m_router.reset();
    m_database.reset();
}

Program::Start Program::start()
{
    if (!m_instance.acquire()) {
        m_messages.AskOperator(nullptr, Msg::AlreadyRunning, Msg::Style::Information, Msg::AlreadyRunningTitle);
        return Start::AlreadyRunning;
    }

    m_database = std::make_unique<Database>(m_programFolder);
    const Database::OpenResult opened = m_database->open();
    if (!opened.ok()) {
        const QString text = opened.status == Database::OpenStatus::NotOurs
            ? Msg::DatabaseNotOurs
            : Msg::DatabaseCannotOpen + QLatin1Char('\n') + opened.error;
        m_messages.AskOperator(nullptr, text, Msg::Style::StopRtl, Msg::ErrorTitlePersian);
        m_database.reset();
        return Start::DatabaseRefused;
    }

    m_router = std::make_unique<WindowRouter>(*m_database, m_messages, m_fileDialogs);
    m_router->showMainWindow();
    return Start::Running;
}
