#pragma once

#include "backup/DatabaseCopy.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

// One copy of the database file, made on a worker thread so the window keeps its clock ticking and repaints while a
// long copy (or the final flush to a slow disk) is under way. The job reports how far it is and when it is done;
// both signals arrive in the thread that owns the job.
class CopyJob : public QObject {
    Q_OBJECT
public:
    // Through `transform` when one is given (it must outlive the job); byte for byte otherwise.
    CopyJob(const QString& source, const QString& target, QObject* parent = nullptr,
        DatabaseCopy::Transform* transform = nullptr);
    // A copy still running is cancelled and waited for: the target stays as it was.
    ~CopyJob() override;

    void start();
    // The copy stops before its next chunk and reports itself cancelled.
    void cancel();
    bool isRunning() const { return m_running.load(); }
    // The outcome, once finished() has been emitted.
    DatabaseCopy::Result result() const { return m_result; }

    // Starts the copy and lets the event loop turn until the copy has finished; returns its outcome. Should the
    // loop be told to end first (the program quitting), the copy is cancelled and waited for.
    DatabaseCopy::Result run();

signals:
    // Whole percents of the source copied, each at most once.
    void progressChanged(int percent);
    void finished();

private:
    void work();
    void join();

    QString m_source;
    QString m_target;
    DatabaseCopy::Transform* m_transform = nullptr;
    std::atomic_bool m_cancel { false };
    std::atomic_bool m_running { false };
    DatabaseCopy::Result m_result;
    std::thread m_worker;
};
