#include "audit/AuditExport.h"

#include "audit/AuditLinesModel.h"
#include "audit/AuditWords.h"
#include "data/AuditTrail.h"
#include "data/TableCursor.h"
#include "text/CsvLine.h"
#include "text/OwnerOnly.h"
#include "ui/MessageCatalogue.h"

#include <QSaveFile>
#include <QStringList>

namespace AuditExport {


Result write(TableCursor& lines, const QString& path)
{
    Result result;
    QSaveFile file(path);
    // Never write into the chosen file in place: a failure must leave whatever was there.
    file.setDirectWriteFallback(false);
    if (!OwnerOnly::open(file)) {
        result.error = file.errorString();
        return result;
    }
    auto put = [&file](const QByteArray& bytes) { return file.write(bytes) == bytes.size(); };
    bool written = put(QByteArrayLiteral("\xEF\xBB\xBF"))
        && put(CsvLine::line({ Msg::AuditWhen, QStringLiteral("UTC"), Msg::AuditWho, Msg::AuditWhat, QStringLiteral("What"),
            Msg::AuditCode, Msg::AuditDetail }));
    const bool read = written
        && lines.readAll({ QStringLiteral("When"), QStringLiteral("Who"), QStringLiteral("What"), QStringLiteral("Code"),
                             QStringLiteral("Detail") },
            [&](const QStringList& v) {
                if (!written)
                    return;
                const QDateTime when = AuditTrail::when(v.at(0));
                written = put(CsvLine::line({ AuditLinesModel::writtenWhen(v.at(0)), when.isValid() ? AuditTrail::stamp(when) : v.at(0), v.at(1), AuditWords::of(v.at(2)),
                    v.at(2), v.at(3), v.at(4) }));
                if (written)
                    ++result.lines;
            });
    if (!written || !read) {
        result.error = written ? lines.lastError() : file.errorString();
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace AuditExport
