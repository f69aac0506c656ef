#include "backup/CopyJob.h"

#include <QEventLoop>

CopyJob::CopyJob(const QString& source, const QString& target, QObject* parent, DatabaseCopy::Transform* transform)
    : QObject(parent)
    , m_source(source)
    , m_target(target)
    , m_transform(transform)
{
}

CopyJob::~CopyJob()
{
    cancel();
    join();
}

void CopyJob::start()
{
    if (m_running.load() || m_worker.joinable())
        return;
    m_running = true;
    m_worker = std::thread([this] { work(); });
}

void CopyJob::cancel()
{
    m_cancel = true;
}

void CopyJob::join()
{
    if (m_worker.joinable())
        m_worker.join();
}

void CopyJob::work()
{
    int lastPercent = -1;
    // Emitted from the worker, the signal is queued to the job's own thread: at most a hundred events per copy.
    auto progress = [this, &lastPercent](qint64 done, qint64 total) {
        const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
        if (percent != lastPercent) {
            lastPercent = percent;
            emit progressChanged(percent);
        }
    };
    m_result = DatabaseCopy::copyFile(m_source, m_target, progress, &m_cancel, m_transform);
    m_running = false;
    emit finished();
}

DatabaseCopy::Result CopyJob::run()
{
    // The loop runs until the news of the end arrives, so every progress report, queued before it, is seen first.
    if (m_worker.joinable())
        return m_result; // a job copies once
    QEventLoop loop;
    bool ended = false;
    connect(
        this, &CopyJob::finished, &loop,
        [&] {
            ended = true;
            loop.quit();
        },
        Qt::QueuedConnection);
    start();
    loop.exec();
    if (!ended)
        cancel();
    join();
    return m_result;
}
