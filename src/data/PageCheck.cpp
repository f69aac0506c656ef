#include "data/PageCheck.h"

#include "data/Database.h"

#include <QMetaObject>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <atomic>
#include <dlfcn.h>

namespace {

// SQLite's own way to stop a statement from another thread, found in the library Qt's driver loaded: the program
// links no SQLite of its own.
using InterruptCall = void (*)(void*);

InterruptCall interruptCall()
{
    static const InterruptCall call = [] {
        void* library = dlopen("libsqlite3.so.0", RTLD_LAZY | RTLD_NOLOAD);
        return library ? reinterpret_cast<InterruptCall>(dlsym(library, "sqlite3_interrupt")) : nullptr;
    }();
    return call;
}

void* sqliteHandle(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<void* const*>(handle.constData());
}

} // namespace

PageCheck::PageCheck(const QString& path, int lockWaitMs, QObject* parent)
    : QObject(parent)
{
    m_thread = std::thread([this, path, lockWaitMs] { run(path, lockWaitMs); });
}

PageCheck::~PageCheck()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        if (m_handle) {
            if (const InterruptCall interrupt = interruptCall())
                interrupt(m_handle);
        }
    }
    m_doneChanged.notify_all();
    m_thread.join();
}

bool PageCheck::isDone() const
{
    const std::lock_guard lock(m_mutex);
    return m_done;
}

void PageCheck::begin()
{
    {
        const std::lock_guard lock(m_mutex);
        m_begun = true;
    }
    m_doneChanged.notify_all();
}

DatabaseCheck::Result PageCheck::wait()
{
    begin();
    std::unique_lock lock(m_mutex);
    m_doneChanged.wait(lock, [this] { return m_done; });
    return m_result;
}

void PageCheck::run(const QString& path, int lockWaitMs)
{
    {
        std::unique_lock lock(m_mutex);
        m_doneChanged.wait(lock, [this] { return m_begun || m_stopping; });
    }
    static std::atomic<int> counter { 0 };
    const QString name = QStringLiteral("t35_pages_%1").arg(++counter);
    DatabaseCheck::Result result;
    {
        QSqlDatabase db = Database::addReadOnlyFileConnection(name, path, lockWaitMs);
        bool stopping = false;
        {
            const std::lock_guard lock(m_mutex);
            stopping = m_stopping;
        }
        if (!stopping && db.open()) {
            const std::lock_guard lock(m_mutex);
            m_handle = sqliteHandle(db);
            stopping = m_stopping;
        }
        if (!stopping && !db.isOpen()) {
            result.outcome = DatabaseCheck::Outcome::CannotOpen;
            result.detail = db.lastError().text();
        } else if (!stopping) {
            result = DatabaseCheck::readEveryPage(db);
        }
        {
            const std::lock_guard lock(m_mutex);
            m_handle = nullptr;
            stopping = m_stopping;
        }
        db.close();
        if (stopping)
            result = DatabaseCheck::Result();
    }
    QSqlDatabase::removeDatabase(name);
    {
        const std::lock_guard lock(m_mutex);
        m_result = result;
        m_done = true;
        // Told only while the check is wanted: a check ending because its owner goes has nobody to tell.
        if (!m_stopping)
            QMetaObject::invokeMethod(
                this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
    }
    m_doneChanged.notify_all();
}
