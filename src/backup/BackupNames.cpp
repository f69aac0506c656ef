#include "backup/BackupNames.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>

namespace BackupNames {

QString clockText(const QTime& time)
{
    return QStringLiteral("%1.%2").arg(time.hour()).arg(time.minute(), 2, 10, QLatin1Char('0'));
}

QString defaultFileName(const QString& date, const QString& clock)
{
    return QStringLiteral("در تاريخ") + date + QStringLiteral(" ساعت)") + clock + QStringLiteral(")") + Extension;
}

Places::Places(const QString& databaseFile)
{
    const QFileInfo info(databaseFile);
    database = info.absoluteFilePath();
    journal = database + QStringLiteral("-journal");
    beforeRestore = database + QStringLiteral(".before-restore");
    beforeRestoreJournal = beforeRestore + QStringLiteral("-journal");
    restoreCheck = database + QStringLiteral(".restore-check");
    serverBeforeRestore = QDir(info.absolutePath()).filePath(QStringLiteral("server.mdbB.before-restore"));
    serverSnapshot = QDir(info.absolutePath()).filePath(QStringLiteral("server.mdbB.snapshot"));
    dataFolder = QFileInfo(info.absolutePath()).absolutePath();
    backFolder = QDir(dataFolder).filePath(QStringLiteral("Back"));
}

QString resolve(const Places& places, const QString& typed)
{
    return QDir::cleanPath(QDir(places.backFolder).absoluteFilePath(typed));
}

} // namespace BackupNames
