#include "data/TransferJob.h"

#include <QEventLoop>

#include <sys/resource.h>
#include <unistd.h>

TransferJob::TransferJob(Work work, QObject* parent)
    : QObject(parent)
    , m_work(std::move(work))
{
}

TransferJob::~TransferJob()
{
    cancel();
    if (m_worker.joinable())
        m_worker.join();
}

void TransferJob::cancel()
{
    m_cancel = true;
}

void TransferJob::run()
{
    if (m_worker.joinable())
        return;
    QEventLoop loop;
    bool ended = false;
    // Queued, as the progress reports before it are: every one of them is seen before the loop ends.
    connect(
        this, &TransferJob::finished, &loop,
        [&] {
            ended = true;
            loop.quit();
        },
        Qt::QueuedConnection);
    m_worker = std::thread([this] {
        // The work gives way to the window's thread when the processors are busy: a turn of its loop waits for
        // nothing but its turn, and the work only takes longer.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
        int lastPercent = -1;
        TableTransfer::Watch watch;
        watch.cancel = &m_cancel;
        watch.progress = [this, &lastPercent](qint64 written, qint64 total) {
            const int percent = total > 0 ? static_cast<int>(written * 100 / total) : 100;
            if (percent != lastPercent) {
                lastPercent = percent;
                emit progressChanged(percent);
            }
        };
        m_work(watch);
        emit finished();
    });
    loop.exec();
    if (!ended)
        cancel();
    m_worker.join();
}
