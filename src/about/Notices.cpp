#include "about/Notices.h"

#include "ui/BoundedRead.h"

namespace Notices {

const QList<Document>& documents()
{
    static const QList<Document> list = {
        { QStringLiteral("نرم افزارهاي به کار رفته"), QStringLiteral("THIRD-PARTY-NOTICES.txt") },
        { QStringLiteral("GNU LGPL v3"), QStringLiteral("LGPL-3.txt") },
        { QStringLiteral("GNU GPL v3"), QStringLiteral("GPL-3.txt") },
        { QStringLiteral("SIL OFL 1.1"), QStringLiteral("OFL.txt") },
    };
    return list;
}

QString text(const QString& fileName)
{
    // The longest notice, the GPL, is about 35 KB.
    constexpr qint64 maxBytes = 1024 * 1024;
    if (fileName.isEmpty())
        return QString();
    return QString::fromUtf8(
        BoundedRead::readFile(QStringLiteral(":/notices/") + fileName, maxBytes).value_or(QByteArray()));
}

} // namespace Notices
