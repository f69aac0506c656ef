#include "about/Notices.h"

#include <QFile>

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
    QFile file(QStringLiteral(":/notices/") + fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace Notices
