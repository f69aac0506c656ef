#include "app/SingleInstance.h"

#include "text/OwnerOnly.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& lockPath)
    : m_path(lockPath)
    , m_lock(lockPath)
{
    // A running copy never refreshes its lock, so age must not make it stale; only a dead owner does.
    m_lock.setStaleLockTime(0);
}

QString SingleInstance::defaultLockPath()
{
#ifdef Q_OS_WIN
    QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
#else
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#endif
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("tovrin35.lock"));
}

QString SingleInstance::lockPathFor(const QString& dataFolder)
{
    // The folder as the file system knows it, links resolved, so two ways of naming it are one lock; a folder not
    // made yet (the first start) is named through its nearest existing parent, as it will be once made.
    QString rest;
    QFileInfo folder(QDir::cleanPath(QFileInfo(dataFolder).absoluteFilePath()));
    while (!folder.exists() && !folder.isRoot()) {
        rest = QLatin1Char('/') + folder.fileName() + rest;
        folder = QFileInfo(folder.absolutePath());
    }
    const QString path = QDir::cleanPath(folder.canonicalFilePath() + rest);
    const QByteArray key = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QFileInfo plain(defaultLockPath());
    return plain.dir().filePath(QStringLiteral("tovrin35-%1.lock").arg(QString::fromLatin1(key)));
}

bool SingleInstance::acquire()
{
    const OwnerOnly::Creating ownerOnly;
    if (m_lock.isLocked() || m_lock.tryLock(0))
        return true;
    // A lock that does not say who holds it (left empty or garbled by a power cut right after it was made) belongs to
    // no running copy. Removing it is refused while a live copy holds it, which keeps the file locked meanwhile.
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock.error() == QLockFile::LockFailedError && !m_lock.getLockInfo(&pid, &host, &application)
        && m_lock.removeStaleLockFile())
        return m_lock.tryLock(0);
    return false;
}
