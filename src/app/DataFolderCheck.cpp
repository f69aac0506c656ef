#include "app/DataFolderCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <climits>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#endif

namespace DataFolderCheck {

namespace {

Result verdict(Verdict kind, const QString& where, const QString& detail = QString())
{
    Result result;
    result.verdict = kind;
    result.where = where;
    result.detail = detail;
    return result;
}

#ifdef Q_OS_LINUX

// The longest name the program gives a file below the data folder: RIVERIVU/RIVERIVU.mdb.before-restore with a
// journal or a copy's temporary name after it.
constexpr int longestOwnTail = 64;

// The file systems in which the kernel shows itself (processes, devices, settings): nothing there is a folder for data.
bool isSystemFileSystem(const QByteArray& path)
{
    struct statfs info { };
    if (::statfs(path.constData(), &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x9fa0: // proc
    case 0x62656572: // sysfs
    case 0x1cd1: // devpts
    case 0x27e0eb: // cgroup
    case 0x63677270: // cgroup2
    case 0x64626720: // debugfs
    case 0x74726163: // tracefs
    case 0x73636673: // securityfs
    case 0xcafe4a11: // bpf
    case 0x6e736673: // nsfs
    case 0x67596969: // rpc_pipefs
    case 0x42494e4d: // binfmt_misc
    case 0x19800202: // mqueue
    case 0xde5e81e4: // efivarfs
    case 0x73717273: // pstore
    case 0x62656570: // configfs
        return true;
    default:
        return false;
    }
}

bool ownedByUsOrTheSystem(const struct stat& info)
{
    return info.st_uid == ::geteuid() || info.st_uid == 0;
}

#endif

} // namespace

Result check(const QString& folder)
{
#ifdef Q_OS_LINUX
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    // Too long a name is said before the file system is asked anything, which would only say "not found".
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.size() + longestOwnTail >= PATH_MAX)
        return verdict(Verdict::NameTooLong, path);
    for (const QString& name : path.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (QFile::encodeName(name).size() > NAME_MAX)
            return verdict(Verdict::NameTooLong, path);

    // Along the path as typed: each link on the way must be ours or the system's (whoever owns a link may point it
    // elsewhere); what does not exist yet will be made by the program; a file where a folder is needed ends it.
    QString deepest = QStringLiteral("/");
    QString walked;
    for (const QString& name : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked += QLatin1Char('/') + name;
        const QByteArray here = QFile::encodeName(walked);
        struct stat info { };
        if (::lstat(here.constData(), &info) != 0) {
            if (errno == ENOENT)
                break;
            return verdict(Verdict::Unreadable, walked, qt_error_string(errno));
        }
        if (S_ISLNK(info.st_mode) && !ownedByUsOrTheSystem(info))
            return verdict(Verdict::OwnedByOther, walked);
        struct stat target { };
        if (::stat(here.constData(), &target) != 0) {
            if (errno == ENOENT) // a link that leads nowhere: the program would make the folder where it points
                return verdict(Verdict::NotAFolder, walked, qt_error_string(errno));
            return verdict(Verdict::Unreadable, walked, qt_error_string(errno));
        }
        if (!S_ISDIR(target.st_mode))
            return verdict(Verdict::NotAFolder, walked);
        deepest = walked;
    }

    if (isSystemFileSystem(QFile::encodeName(deepest)))
        return verdict(Verdict::SystemFolder, deepest);

    // Then the folders themselves, links resolved, from the deepest that exists up to the root; below it, the
    // program's own folders where an earlier run made them, and the data file.
    const QString resolved = QFileInfo(deepest).canonicalFilePath();
    if (resolved.isEmpty())
        return verdict(Verdict::Unreadable, deepest);
    const bool dataFolderExists = deepest == path;
    QStringList own;
    if (dataFolderExists) {
        const QString data = QDir(resolved).filePath(QStringLiteral("RIVERIVU"));
        own << QDir(data).filePath(QStringLiteral("RIVERIVU.mdb")) << data;
    }
    for (const QString& made : own) {
        struct stat info { };
        if (::lstat(QFile::encodeName(made).constData(), &info) != 0)
            continue;
        if (!ownedByUsOrTheSystem(info))
            return verdict(Verdict::OwnedByOther, made);
        if (S_ISDIR(info.st_mode) && (info.st_mode & (S_IWGRP | S_IWOTH)))
            return verdict(Verdict::OpenToOthers, made);
    }
    QString at = resolved;
    bool above = !dataFolderExists;
    while (true) {
        struct stat info { };
        if (::stat(QFile::encodeName(at).constData(), &info) != 0)
            return verdict(Verdict::Unreadable, at, qt_error_string(errno));
        if (!ownedByUsOrTheSystem(info))
            return verdict(Verdict::OwnedByOther, at);
        const bool sharedBySticky = above && (info.st_mode & S_ISVTX);
        if ((info.st_mode & (S_IWGRP | S_IWOTH)) && !sharedBySticky)
            return verdict(Verdict::OpenToOthers, at);
        if (at == QLatin1String("/"))
            break;
        at = QFileInfo(at).absolutePath();
        above = true;
    }
#else
    Q_UNUSED(folder)
#endif
    return Result();
}

QString describe(const Result& checked, const QString& dataFolder)
{
    const QString folder = QDir::toNativeSeparators(dataFolder);
    const QString where = QDir::toNativeSeparators(checked.where);
    QString text;
    switch (checked.verdict) {
    case Verdict::Fit:
        return QString();
    case Verdict::OpenToOthers:
        text = QStringLiteral("the data folder %1 is not safe: other users of this computer may write to %2")
                   .arg(folder, where);
        break;
    case Verdict::OwnedByOther:
        text = QStringLiteral("the data folder %1 is not safe: %2 belongs to another user").arg(folder, where);
        break;
    case Verdict::NotAFolder:
        text = QStringLiteral("the data folder %1 cannot be made: %2 is a file, not a folder").arg(folder, where);
        break;
    case Verdict::SystemFolder:
        text = QStringLiteral("the data folder %1 lies in one of the system's own file systems (%2), which hold no "
                              "files of a program")
                   .arg(folder, where);
        break;
    case Verdict::NameTooLong:
        text = QStringLiteral("the data folder's path is longer than the system takes: %1").arg(folder);
        break;
    case Verdict::Unreadable:
        text = QStringLiteral("the data folder %1 could not be checked: %2 cannot be looked at").arg(folder, where);
        break;
    }
    if (!checked.detail.isEmpty())
        text += QStringLiteral(" (") + checked.detail + QLatin1Char(')');
    return text;
}

} // namespace DataFolderCheck
