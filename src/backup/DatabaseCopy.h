#pragma once

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <functional>

// Copying the database file out to a backup and back. A copy never writes over its target in place: the bytes go
// to a temporary file beside the target, which is flushed to the disk and only then renamed over the target. A copy
// that fails or is cancelled leaves the target exactly as it was and removes its temporary file, so a full disk or
// a pulled USB stick can cost a new backup but never the previous backup or the live database.
namespace DatabaseCopy {

// The bytes move through one buffer of this size, so memory use does not grow with the file.
constexpr qint64 ChunkSize = 4048;

struct Result {
    enum class Status { Copied, Failed, Cancelled };
    Status status = Status::Failed;
    QString error; // the platform's description of a failure
    bool diskFull = false; // failed because the target's disk has no room left for the copy

    bool ok() const { return status == Status::Copied; }
};

// Told after each chunk how many bytes of how many are copied.
using Progress = std::function<void(qint64 done, qint64 total)>;

// Copies `source` byte for byte onto `target`, replacing a target that exists. Setting `*cancel` stops the copy
// before its next chunk.
Result copyFile(const QString& source, const QString& target, const Progress& progress = {},
    const std::atomic_bool* cancel = nullptr);

// Puts `replacement` in the place of `target` in one step (a rename within one folder), or leaves both as they were.
bool replaceFile(const QString& replacement, const QString& target, QString& error);

// Whether two paths name the same file: the same path, or one file reached through a link. A path that does not
// exist yet is compared by where it would be.
bool sameFile(const QString& a, const QString& b);

} // namespace DatabaseCopy
