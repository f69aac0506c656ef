#include "ui/HelpContents.h"

#include <QFile>
#include <QTextDocumentFragment>

namespace HelpContents {
namespace {

QString readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// contents.txt: one line a section, "key | names separated by blanks | title"; '#' starts a comment line.
QList<Section> load()
{
    QList<Section> all;
    const QStringList lines = readResource(QStringLiteral(":/help/contents.txt")).split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('|'));
        if (parts.size() != 3)
            continue;
        Section section;
        section.key = parts[0].trimmed();
        section.names = parts[1].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        section.title = parts[2].trimmed();
        section.html = readResource(QStringLiteral(":/help/%1.html").arg(section.key));
        if (!section.html.isEmpty())
            all.append(section);
    }
    return all;
}

} // namespace

const QList<Section>& sections()
{
    static const QList<Section> all = load();
    return all;
}

QString sectionFor(const QString& name)
{
    if (name.isEmpty())
        return QString();
    for (const Section& section : sections())
        if (section.names.contains(name))
            return section.key;
    return QString();
}

QString plainText(const Section& section)
{
    return QTextDocumentFragment::fromHtml(section.html).toPlainText();
}

QRegularExpression searchPattern(const QString& text)
{
    QString pattern;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case 0x064A: // Arabic yeh
        case 0x06CC: // Persian yeh
            pattern += QStringLiteral("[\\x{064A}\\x{06CC}]");
            break;
        case 0x0643: // Arabic kaf
        case 0x06A9: // keheh
            pattern += QStringLiteral("[\\x{0643}\\x{06A9}]");
            break;
        case 0x0020: // a blank
        case 0x200C: // a half-space
            // "مي شود" typed with a blank finds "مي‌شود" written with a half-space, and the other way round.
            pattern += QStringLiteral("[ \\x{200C}]");
            continue;
        default:
            // A digit finds itself in every script: a page draws its numbers in the operator's digits.
            if (c.isDigit() && c.digitValue() >= 0 && c.digitValue() <= 9) {
                const int d = c.digitValue();
                pattern += QStringLiteral("[%1\\x{%2}\\x{%3}]")
                               .arg(d)
                               .arg(0x0660 + d, 0, 16)
                               .arg(0x06F0 + d, 0, 16);
            } else {
                pattern += QRegularExpression::escape(QString(c));
            }
        }
        // Typed without one, a half-space the page has after a Persian letter is still found ("ميشود").
        if (c.unicode() >= 0x0600 && c.unicode() <= 0x06FF)
            pattern += QStringLiteral("\\x{200C}?");
    }
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption);
}

QString firstKey()
{
    return sections().isEmpty() ? QString() : sections().first().key;
}

} // namespace HelpContents
