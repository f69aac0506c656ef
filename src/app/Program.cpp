#include "app/Program.h"

#include "app/WindowRouter.h"
#include "backup/BackupNames.h"
#include "data/Database.h"
#include "data/DatabaseCheck.h"
#include "data/PageCheck.h"
#include "settings/ServerLogin.h"
#include "text/OwnerOnly.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/PathField.h"
#include "web/ServiceSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

Program::Program(const DataPlace::Folders& folders, Messages& messages, FileDialogs& fileDialogs,
                 const QString& lockPath)
    : m_folders(folders)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_instance(lockPath.isEmpty() ? SingleInstance::lockPathFor(folders.data) : lockPath)
{
}

// The router goes first: its windows still use the database.
Program::~Program()
{
    m_router.reset();
    m_database.reset();
}

namespace {

// A path read left to right inside a right-to-left sentence.
QString isolated(const QString& path)
{
    return QChar(0x2066) + QDir::toNativeSeparators(path) + QChar(0x2069);
}

// A restore that was ended half-way (the power went, the program was killed) leaves its private copy of the backup
// beside the database: a whole second copy of the clinic's data that nothing would ever remove. No restore is under
// way at start, since one copy of the program runs per user.
void removeStaleRestoreCopy(const QString& databaseFile)
{
    const BackupNames::Places places(databaseFile);
    QFile::remove(DatabaseCheck::journalPath(places.restoreCheck));
    QFile::remove(places.restoreCheck);
    // An encrypted backup of the server killed half-way leaves the server's rows in plain, whole or being built; a
    // restore onto the server killed while it kept the server's rows leaves that copy half-built.
    QFile::remove(places.serverSnapshot);
    for (const QString& made : {places.serverSnapshot, places.serverBeforeRestore}) {
        const QString building = made + QStringLiteral(".building");
        QFile::remove(DatabaseCheck::journalPath(building));
        QFile::remove(building);
    }
}

// What an earlier version left open to others on the computer (a data folder, data file or backup anyone could read)
// is made the operator's alone before anything is opened.
void tightenPrivateFolders(const QString& databaseFile)
{
    const BackupNames::Places places(databaseFile);
    OwnerOnly::tightenFolder(QFileInfo(places.database).absolutePath());
    OwnerOnly::tightenFolder(places.backFolder);
}

} // namespace

QString Program::refusalText(const Database::OpenResult& opened, const QString& path)
{
    using DatabaseCheck::Outcome;
    QString text;
    if (opened.status == Database::OpenStatus::Failed) {
        text = Msg::DatabaseCannotOpen;
    } else {
        switch (opened.check) {
        case Outcome::NotOurs:
            text = Msg::DatabaseNotOurs.arg(isolated(path));
            break;
        case Outcome::Damaged:
            text = Msg::DatabaseDamaged.arg(isolated(path));
            break;
        case Outcome::Busy:
            text = Msg::DatabaseHeldAtStart.arg(isolated(path));
            break;
        case Outcome::NoAccess:
            text = Msg::DatabaseNoAccess.arg(isolated(path));
            break;
        case Outcome::NotWritable:
            text = Msg::DatabaseNotWritable.arg(isolated(path));
            break;
        case Outcome::JournalWithoutFile:
            text = Msg::DatabaseJournalWithoutFile.arg(isolated(path), isolated(DatabaseCheck::journalPath(path)));
            break;
        case Outcome::Ours:
        case Outcome::Missing:
        case Outcome::CannotOpen:
            text = Msg::DatabaseCannotOpen;
            break;
        }
    }
    // The platform's words, for whoever looks after the computer.
    if (!opened.error.isEmpty())
        text += QLatin1Char('\n') + opened.error;
    return text;
}

QString Program::refusalText(const DataFolderCheck::Result& checked, const QString& dataFolder)
{
    using DataFolderCheck::Verdict;
    // Folder after folder, each name as it reads alone: a Persian folder name is never turned about with its
    // neighbours.
    QString text;
    switch (checked.verdict) {
    case Verdict::OpenToOthers:
        text = Msg::DataFolderOpenToOthers.arg(PathField::inSentence(dataFolder), PathField::inSentence(checked.where));
        break;
    case Verdict::OwnedByOther:
        text = Msg::DataFolderOwnedByOther.arg(PathField::inSentence(dataFolder), PathField::inSentence(checked.where));
        break;
    case Verdict::NotAFolder:
        text = Msg::DataFolderNotAFolder.arg(PathField::inSentence(dataFolder), PathField::inSentence(checked.where));
        break;
    case Verdict::SystemFolder:
        text = Msg::DataFolderSystem.arg(PathField::inSentence(dataFolder), PathField::inSentence(checked.where));
        break;
    case Verdict::NameTooLong:
        text = Msg::DataFolderNameTooLong.arg(PathField::inSentence(dataFolder));
        break;
    case Verdict::Unreadable:
    case Verdict::Fit:
        text = Msg::DataFolderUnreadable.arg(PathField::inSentence(dataFolder), PathField::inSentence(checked.where));
        break;
    }
    if (!checked.detail.isEmpty())
        text += QLatin1Char('\n') + checked.detail;
    return text;
}

bool Program::chosenFolderFit()
{
    if (m_folders.where != DataPlace::Where::Chosen)
        return true;
    // Judged before anything is made or read there, and again once the folder is there: another user could make
    // the folder in the moment between.
    DataFolderCheck::Result checked = DataFolderCheck::check(m_folders.data);
    if (checked.fit() && !QFileInfo(m_folders.data).isDir()) {
        OwnerOnly::makeFolder(m_folders.data);
        checked = DataFolderCheck::check(m_folders.data);
    }
    if (checked.fit())
        return true;
    m_messages.AskOperator(nullptr, refusalText(checked, m_folders.data), Msg::Style::StopRtl, Msg::ErrorTitlePersian);
    return false;
}

Program::Start Program::start()
{
    if (!chosenFolderFit())
        return Start::DatabaseRefused;
    if (!m_instance.acquire()) {
        m_messages.AskOperator(nullptr, Msg::AlreadyRunning, Msg::Style::Information, Msg::AlreadyRunningTitle);
        return Start::AlreadyRunning;
    }

    // This computer's own files (backups, the copy kept before a restore) are private whichever database is used.
    tightenPrivateFolders(Database::filePath(m_folders.data));
    removeStaleRestoreCopy(Database::filePath(m_folders.data));
    if (!(m_choice.isServer() ? openServer() : openLocal()))
        return Start::DatabaseRefused;

    m_router = std::make_unique<WindowRouter>(*m_database, m_messages, m_fileDialogs);
    // The examinees' phones are served while the program runs, when the settings say so; a service that cannot start
    // (its port taken) leaves the program as it is, and the phone panel says why when it is saved again.
    const QString phoneProblem = m_router->phoneService().apply(ServiceSettings::stored());
    if (!phoneProblem.isNull())
        qWarning("the questionnaire service for phones did not start: %s", qPrintable(phoneProblem));
    m_router->showMainWindow();
    if (PageCheck* pages = m_database->pageCheck()) {
        QObject::connect(pages, &PageCheck::finished, m_router.get(),
                         [this](const DatabaseCheck::Result& result) { pagesChecked(result); });
        // Once the window has been drawn (the turn of the event loop after the one that draws it).
        QTimer::singleShot(0, pages, [pages] { QTimer::singleShot(0, pages, &PageCheck::begin); });
    }
    return Start::Running;
}

void Program::pagesChecked(const DatabaseCheck::Result& result)
{
    if (result.outcome != DatabaseCheck::Outcome::Damaged || !m_router || m_router->hasEnded())
        return;
    Database::OpenResult refused;
    refused.status = Database::OpenStatus::Refused;
    refused.check = result.outcome;
    refused.error = result.detail;
    m_exitStatus = 1;
    m_messages.AskOperator(nullptr, refusalText(refused, m_database->filePath()), Msg::Style::StopRtl,
                           Msg::ErrorTitlePersian);
    m_router->endProgram();
}

bool Program::openLocal()
{
    m_database = std::make_unique<Database>(m_folders.data, m_folders.resources);
    // Every page of the file is read while the main window is already up (PageCheck).
    m_database->setPagesCheckedLater(true);
    const Database::OpenResult opened = m_database->open();
    if (opened.ok())
        return true;
    m_messages.AskOperator(nullptr, refusalText(opened, m_database->filePath()), Msg::Style::StopRtl,
                           Msg::ErrorTitlePersian);
    m_database.reset();
    return false;
}

bool Program::openServer()
{
    // Without a database name libpq would pick one of its own choosing.
    if (!m_choice.server.isValid()) {
        m_messages.AskOperator(nullptr, Msg::DatabaseNameNeeded + QLatin1Char('\n') + Msg::ServerStartEnds,
                               Msg::Style::StopRtl, Msg::ErrorTitlePersian);
        return false;
    }
    ServerLogin::Outcome login = ServerLogin::open(m_choice.server, m_messages, nullptr);
    if (!login.ok()) {
        m_messages.AskOperator(nullptr,
                               ServerLogin::failureText(login, m_choice.server, Msg::ServerStartEnds),
                               Msg::Style::StopRtl, Msg::ErrorTitlePersian);
        return false;
    }
    m_database = std::move(login.database);
    m_database->setFolders(m_folders.data, m_folders.resources);
    return true;
}
