#pragma once

#include <QLockFile>
#include <QString>

// One running copy of the program per user. The lock is a file in a per-user folder holding the owner's process
// id; a lock left by a copy that crashed is recognised as stale (its process is gone) and taken over, and so is a
// lock file that cannot be read at all (empty or garbled).
class SingleInstance {
public:
    explicit SingleInstance(const QString& lockPath = defaultLockPath());

    // The lock file in the user's runtime folder (the user's temporary folder on Windows).
    static QString defaultLockPath();
    // The lock of the copy that works on the data in `dataFolder`, beside defaultLockPath(): one running copy per
    // data folder, so a run with --data-dir elsewhere is not held back by the everyday one.
    static QString lockPathFor(const QString& dataFolder);

    // Takes the lock; false when another running copy holds it.
    bool acquire();
    bool isHeld() const { return m_lock.isLocked(); }
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    QLockFile m_lock;
};
