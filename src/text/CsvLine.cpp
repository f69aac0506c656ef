#include "text/CsvLine.h"

#include <algorithm>

namespace CsvLine {

QString guarded(const QString& cell)
{
    if (cell.isEmpty())
        return cell;
    switch (cell.front().unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r':
        return QLatin1Char('\'') + cell;
    default:
        return cell;
    }
}

QString field(const QString& cell)
{
    QString text = guarded(cell);
    // One look over the text for all four: an export of a million lines asks this of every cell.
    const bool quote = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
    });
    if (!quote)
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QByteArray line(const QStringList& cells)
{
    QString text;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        text += field(cells.at(i));
    }
    text += QStringLiteral("\r\n");
    return text.toUtf8();
}

} // namespace CsvLine
