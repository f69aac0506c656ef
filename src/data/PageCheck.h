#pragma once

#include "data/DatabaseCheck.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

// Every page of the program's data file read on a thread of its own, with a read-only connection of its own, while
// the first window is already up: the rest of the start-up check (header, length, schema, questionnaire, a write
// tried) has passed before the file was opened, and only this part grows with the clinic's data. Until the verdict
// is in, the program's connection runs its reads and holds its writes back (Database waits for the verdict first),
// so nothing is ever written into a file with a damaged page.
class PageCheck : public QObject {
    Q_OBJECT
public:
    // Ready to read; the reading starts with begin(), or with the first wait() for the verdict.
    PageCheck(const QString& path, int lockWaitMs, QObject* parent = nullptr);
    // A check under way is interrupted (the program is ending, or the file is about to be replaced) and waited for.
    ~PageCheck() override;
    PageCheck(const PageCheck&) = delete;
    PageCheck& operator=(const PageCheck&) = delete;

    // Starts the reading (once the first window has been drawn: at start the disk and the processor are the
    // window's first).
    void begin();
    bool isDone() const;
    // Waits for the verdict, however long the pages take to read.
    DatabaseCheck::Result wait();

signals:
    // The verdict is in; emitted in the thread that made the check.
    void finished(const DatabaseCheck::Result& result);

private:
    void run(const QString& path, int lockWaitMs);

    mutable std::mutex m_mutex;
    std::condition_variable m_doneChanged;
    bool m_begun = false;
    bool m_done = false;
    bool m_stopping = false;
    DatabaseCheck::Result m_result;
    // The check's connection as SQLite knows it, while it is open: what an interruption is sent to.
    void* m_handle = nullptr;
    std::thread m_thread;
};
