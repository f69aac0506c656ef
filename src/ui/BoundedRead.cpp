#include "ui/BoundedRead.h"

#include <QFile>
#include <QFileInfo>

namespace BoundedRead {

namespace {

std::optional<QByteArray> refuse(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> readFile(const QString& path, qint64 maxBytes, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refuse(error, QStringLiteral("no such file"));
    // A device or a pipe has no end to read to, and opening a pipe waits for a writer.
    if (!info.isFile())
        return refuse(error, QStringLiteral("not a regular file"));
    const QString tooLarge = QStringLiteral("larger than %1 bytes").arg(maxBytes);
    if (info.size() > maxBytes)
        return refuse(error, tooLarge);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(error, file.errorString());
    // One byte more than allowed tells a file that grew since it was looked at.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(error, file.errorString());
    if (bytes.size() > maxBytes)
        return refuse(error, tooLarge);
    return bytes;
}

} // namespace BoundedRead
