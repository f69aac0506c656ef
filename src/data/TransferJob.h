#pragma once

#include "data/TableTransfer.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

// Long work on a database (a server's backup, a restore onto it, a clinic's file copied there) on a worker thread,
// so the window that started it keeps repainting and ticking meanwhile. The work opens its own connections on that
// thread (see Database::location) and keeps its outcome where its caller reads it once run() has returned; it is
// handed a watch through which it reports how far it is and learns that it is to stop. Both signals arrive in the
// thread that owns the job.
class TransferJob : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(const TableTransfer::Watch& watch)>;

    explicit TransferJob(Work work, QObject* parent = nullptr);
    // Work still running is told to stop and waited for.
    ~TransferJob() override;

    // The work stops before its next batch of rows, leaving what it wrote to as it was.
    void cancel();
    bool cancelled() const { return m_cancel.load(); }

    // Starts the work and lets the event loop turn until it has ended. Should the loop be told to end first (the
    // program quitting), the work is told to stop and waited for. A job runs once.
    void run();

signals:
    // Whole percents of the rows written, each at most once.
    void progressChanged(int percent);
    void finished();

private:
    Work m_work;
    std::atomic_bool m_cancel { false };
    std::thread m_worker;
};
