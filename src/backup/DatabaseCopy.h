#pragma once

#include <QByteArray>
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
    // Refused: the transform (below) refused what it read; it keeps the reason.
    enum class Status { Copied, Failed, Cancelled, Refused };
    Status status = Status::Failed;
    QString error; // the platform's description of a failure
    bool diskFull = false; // failed because the target's disk has no room left for the copy

    bool ok() const { return status == Status::Copied; }
};

// Told after each chunk how many bytes of how many are copied.
using Progress = std::function<void(qint64 done, qint64 total)>;

// Writes bytes to the copy's temporary file; false when the write failed.
using Put = std::function<bool(const char* data, qint64 size)>;

// What happens to the bytes on their way from the source to the target, when they are not copied as they are (an
// encrypted backup is written, or read back). It runs on the copy's thread, and the copy stays a temporary file
// flushed and renamed whatever the transform does. A transform that returns false without a failed Put has refused
// the source, and the copy reports Refused.
class Transform {
public:
    virtual ~Transform() = default;
    // Bytes taken from the start of the source for begin(), before the chunks.
    virtual qint64 headerSize() const { return 0; }
    // Bytes read from the source for each call of chunk() (the last one may be shorter).
    virtual qint64 chunkSize() const = 0;
    // Before the first chunk: the source's first headerSize() bytes (fewer when the source is shorter) and how many
    // bytes follow them.
    virtual bool begin(const QByteArray& header, qint64 rest, const Put& put) = 0;
    // One chunk of the source; `last` is set on the final one, which is an empty one when nothing follows the header.
    virtual bool chunk(const char* data, qint64 size, bool last, const Put& put) = 0;

    // The copy's cancel flag, for a transform whose begin() takes long (deriving a key): it stops waiting when the
    // flag is set and returns false, and the copy reports itself cancelled.
    void setCancel(const std::atomic_bool* cancel) { m_cancel = cancel; }

protected:
    const std::atomic_bool* cancelFlag() const { return m_cancel; }
    bool cancelRequested() const { return m_cancel && m_cancel->load(); }

private:
    const std::atomic_bool* m_cancel = nullptr;
};

// Copies `source` onto `target`, replacing a target that exists: byte for byte, or through `transform`. Setting
// `*cancel` stops the copy before its next chunk. The target is owner-only, whatever the source's permissions.
Result copyFile(const QString& source, const QString& target, const Progress& progress = {},
    const std::atomic_bool* cancel = nullptr, Transform* transform = nullptr);

// Puts `replacement` in the place of `target` in one step (a rename within one folder), or leaves both as they were.
bool replaceFile(const QString& replacement, const QString& target, QString& error);

// Whether two paths name the same file: the same path, or one file reached through a link. A path that does not
// exist yet is compared by where it would be.
bool sameFile(const QString& a, const QString& b);

} // namespace DatabaseCopy
