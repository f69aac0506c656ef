#include "backup/DatabaseCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <filesystem>
#include <vector>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace DatabaseCopy {

namespace {

constexpr qint64 writeBehind = 4 * 1024 * 1024;

fs::path toPath(const QString& path)
{
#ifdef Q_OS_WIN
    return fs::path(path.toStdWString());
#else
    return fs::path(QFile::encodeName(path).toStdString());
#endif
}

QString describe(const std::error_code& ec)
{
    return QString::fromLocal8Bit(ec.message());
}

// The operating system may keep written bytes in memory for a while; a backup counts only once they are on the disk.
bool flushToDisk(QFileDevice& file, QString& error)
{
    if (!file.flush()) {
        error = file.errorString();
        return false;
    }
#ifdef Q_OS_WIN
    const int failed = ::_commit(file.handle());
#else
    const int failed = ::fsync(file.handle());
#endif
    if (failed != 0) {
        error = qt_error_string(errno);
        return false;
    }
    return true;
}

// Starts writing the part of the copy written since the last call to the disk, without waiting for it: the disk
// works while the copy goes on, and the flush at the end has little left to do.
bool startWriting(QFileDevice& file, qint64 from, qint64 to, QString& error)
{
    if (!file.flush()) {
        error = file.errorString();
        return false;
    }
#ifdef Q_OS_LINUX
    ::sync_file_range(file.handle(), from, to - from, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(from)
    Q_UNUSED(to)
#endif
    return true;
}

// Makes a rename inside `folder` last through a power cut. Best effort: the file itself is already on the disk.
void flushFolder(const QString& folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder)
#else
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

Result failure(const QString& error)
{
    Result result;
    result.status = Result::Status::Failed;
    result.error = error;
    return result;
}

// A write into `out` failed with `error`: was the disk full? Qt files the platform's "no space" as a resource error;
// a disk whose free room is less than what was still to be written says the same whatever the error reads.
Result writeFailure(const QFileDevice& out, const QString& error, qint64 stillToWrite)
{
    Result result = failure(error);
    const QStorageInfo disk(QFileInfo(out.fileName()).absolutePath());
    result.diskFull = out.error() == QFileDevice::ResourceError
        || (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < stillToWrite + ChunkSize);
    return result;
}

// Reads exactly `size` bytes unless the file ends or fails first.
bool readChunk(QFile& in, char* buffer, qint64 size, QString& error)
{
    qint64 got = 0;
    while (got < size) {
        const qint64 n = in.read(buffer + got, size - got);
        if (n < 0) {
            error = in.errorString();
            return false;
        }
        if (n == 0) {
            error = QStringLiteral("The file %1 became shorter while it was being copied").arg(in.fileName());
            return false;
        }
        got += n;
    }
    return true;
}

} // namespace

Result copyFile(const QString& source, const QString& target, const Progress& progress, const std::atomic_bool* cancel,
    Transform* transform)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return failure(in.errorString());
    if (!QFileInfo(source).isFile())
        return failure(QStringLiteral("%1 is not a file").arg(source));

    const QFileInfo targetInfo(target);
    // Beside the target, so the final rename stays within one folder (and one disk). QTemporaryFile makes its file
    // owner-only from the start, and the copy keeps it so: a backup holds the clients' answers, whatever the mode of
    // the file it replaces.
    QTemporaryFile out(
        targetInfo.absolutePath() + QLatin1Char('/') + targetInfo.fileName() + QStringLiteral(".XXXXXX.part"));
    if (!out.open())
        return failure(out.errorString());

    const qint64 total = in.size();
    qint64 done = 0; // bytes of the source read
    qint64 written = 0;
    qint64 startedWriting = 0;
    QString error;
    bool putFailed = false;
    const Put put = [&](const char* data, qint64 size) {
        if (out.write(data, size) != size) {
            error = out.errorString();
            putFailed = true;
            return false;
        }
        written += size;
        if (written - startedWriting >= writeBehind) {
            if (!startWriting(out, startedWriting, written, error)) {
                putFailed = true;
                return false;
            }
            startedWriting = written;
        }
        return true;
    };
    // A step that returned false: the disk failed, the copy was cancelled, or the transform refused the source.
    const auto stopped = [&] {
        if (putFailed)
            return writeFailure(out, error, total - done);
        if (cancel && cancel->load()) {
            Result cancelled;
            cancelled.status = Result::Status::Cancelled;
            return cancelled;
        }
        Result refused;
        refused.status = Result::Status::Refused;
        return refused;
    };

    const qint64 chunkSize = transform ? transform->chunkSize() : ChunkSize;
    std::vector<char> buffer(static_cast<std::size_t>(chunkSize));
    if (transform) {
        transform->setCancel(cancel);
        QByteArray header(qMin(transform->headerSize(), total), Qt::Uninitialized);
        if (!readChunk(in, header.data(), header.size(), error))
            return failure(error);
        done = header.size();
        if (!transform->begin(header, total - done, put))
            return stopped();
        if (done == total && !transform->chunk(buffer.data(), 0, true, put))
            return stopped();
    }
    while (done < total) {
        if (cancel && cancel->load()) {
            Result cancelled;
            cancelled.status = Result::Status::Cancelled;
            return cancelled;
        }
        const qint64 chunk = qMin(chunkSize, total - done);
        if (!readChunk(in, buffer.data(), chunk, error))
            return failure(error);
        done += chunk;
        if (!(transform ? transform->chunk(buffer.data(), chunk, done == total, put) : put(buffer.data(), chunk)))
            return stopped();
        if (progress)
            progress(done, total);
    }
    if (written > startedWriting && !startWriting(out, startedWriting, written, error))
        return writeFailure(out, error, written - startedWriting);
    if (!flushToDisk(out, error))
        return writeFailure(out, error, written - startedWriting);
    out.close();
    in.close();

    if (!replaceFile(out.fileName(), target, error))
        return failure(error);
    out.setAutoRemove(false);
    flushFolder(targetInfo.absolutePath());

    Result copied;
    copied.status = Result::Status::Copied;
    return copied;
}

bool replaceFile(const QString& replacement, const QString& target, QString& error)
{
    std::error_code ec;
    fs::rename(toPath(replacement), toPath(target), ec);
    if (ec) {
        error = describe(ec);
        return false;
    }
    return true;
}

bool sameFile(const QString& a, const QString& b)
{
    const fs::path pa = toPath(QFileInfo(a).absoluteFilePath());
    const fs::path pb = toPath(QFileInfo(b).absoluteFilePath());
    std::error_code ec;
    if (fs::exists(pa, ec) && fs::exists(pb, ec)) {
        const bool same = fs::equivalent(pa, pb, ec);
        if (!ec)
            return same;
    }
    std::error_code ecA;
    std::error_code ecB;
    const fs::path ca = fs::weakly_canonical(pa, ecA);
    const fs::path cb = fs::weakly_canonical(pb, ecB);
    if (!ecA && !ecB)
        return ca == cb;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace DatabaseCopy
