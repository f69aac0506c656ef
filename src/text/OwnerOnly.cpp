#include "text/OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/types.h>
#endif

namespace OwnerOnly {

namespace {

#ifdef Q_OS_UNIX
constexpr mode_t othersBits = S_IRWXG | S_IRWXO;
#endif

} // namespace

Creating::Creating()
{
#ifdef Q_OS_UNIX
    m_previous = ::umask(othersBits);
#endif
}

Creating::~Creating()
{
#ifdef Q_OS_UNIX
    ::umask(static_cast<mode_t>(m_previous));
#endif
}

bool makeFolder(const QString& path, QString* error)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(absolute).isDir())
        return true;
    const QString parent = QFileInfo(absolute).absolutePath();
    if (parent != absolute && !makeFolder(parent, error))
        return false;
#ifdef Q_OS_UNIX
    // Made with its mode, not changed afterwards; another process making it at the same moment is as good.
    if (::mkdir(QFile::encodeName(absolute).constData(), S_IRWXU) == 0)
        return true;
    const int failure = errno;
    if (QFileInfo(absolute).isDir())
        return true;
    if (error)
        *error = qt_error_string(failure);
    return false;
#else
    if (QDir().mkdir(absolute) || QFileInfo(absolute).isDir())
        return true;
    if (error)
        *error = QStringLiteral("cannot create folder %1").arg(QDir::toNativeSeparators(absolute));
    return false;
#endif
}

bool isOwnerOnly(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && (info.st_mode & othersBits) == 0;
#else
    return QFileInfo::exists(path);
#endif
}

bool tighten(const QString& path)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat info { };
    if (::lstat(name.constData(), &info) != 0 || S_ISLNK(info.st_mode) || (info.st_mode & othersBits) == 0)
        return true;
    return ::chmod(name.constData(), info.st_mode & 07777 & ~othersBits) == 0;
#else
    Q_UNUSED(path)
    return true;
#endif
}

bool tightenFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return true;
    bool ok = tighten(folder);
    const QFileInfoList files
        = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QFileInfo& file : files)
        ok = tighten(file.absoluteFilePath()) && ok;
    return ok;
}

bool open(QSaveFile& file)
{
    {
        Creating ownerOnly;
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    // QSaveFile gives its new file the mode of the file it replaces, found through a link when the name is one; the
    // new file is made the operator's alone before its first byte, and the file it replaces is left as it was
    // until the new one takes its place.
    if (file.setPermissions(FileMode))
        return true;
    file.cancelWriting();
    return false;
}

bool tightenTarget(const QString& path)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat info { };
    if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & othersBits) == 0)
        return true;
    return ::chmod(name.constData(), info.st_mode & 07777 & ~othersBits) == 0;
#else
    Q_UNUSED(path)
    return true;
#endif
}

} // namespace OwnerOnly
