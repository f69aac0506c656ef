#include "support/PdfText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

namespace {

QString run(const QString& tool, const QStringList& arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        const QString error = QStringLiteral("%1 is not installed (package poppler-utils)").arg(tool);
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        return {};
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString error = QString::fromLocal8Bit(process.readAllStandardError());
        QTest::qFail(qPrintable(QStringLiteral("%1 failed: %2").arg(tool, error)), __FILE__, __LINE__);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

namespace PdfText {

QString extract(const QString& path, int first, int last)
{
    QStringList arguments { QStringLiteral("-enc"), QStringLiteral("UTF-8") };
    if (first > 0)
        arguments << QStringLiteral("-f") << QString::number(first);
    if (last > 0)
        arguments << QStringLiteral("-l") << QString::number(last);
    arguments << path << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), arguments);
}

QString extractArea(const QString& path, int page, const QRectF& area)
{
    const QRect r = area.toAlignedRect();
    return run(QStringLiteral("pdftotext"),
        { QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-f"), QString::number(page),
            QStringLiteral("-l"), QString::number(page), QStringLiteral("-x"), QString::number(r.x()),
            QStringLiteral("-y"), QString::number(r.y()), QStringLiteral("-W"), QString::number(r.width()),
            QStringLiteral("-H"), QString::number(r.height()), path, QStringLiteral("-") });
}

QString extractPrintable(const QString& path, int page, const QPageLayout& layout, const QRectF& twips)
{
    const QRectF printable = layout.paintRect(QPageLayout::Point);
    return extractArea(path, page,
        QRectF(printable.left() + twips.left() / 20, printable.top() + twips.top() / 20, twips.width() / 20,
            twips.height() / 20));
}

QString info(const QString& path, const QString& field)
{
    const QString report = run(QStringLiteral("pdfinfo"), { QStringLiteral("-enc"), QStringLiteral("UTF-8"), path });
    for (const QString& line : report.split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

int pageCount(const QString& path)
{
    bool ok = false;
    const int pages = info(path, QStringLiteral("Pages")).toInt(&ok);
    return ok ? pages : -1;
}

namespace {

bool isDirectionMark(char16_t c)
{
    return c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QStringList paragraphs(const QString& text)
{
    QStringList found;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("[\\n\\f]")))) {
        QString kept;
        for (const QChar ch : line.normalized(QString::NormalizationForm_KC))
            if (!isDirectionMark(ch.unicode()))
                kept += ch;
        kept = kept.simplified();
        if (!kept.isEmpty())
            found << kept;
    }
    return found;
}

QString comparable(const QString& text)
{
    QString folded;
    for (const QChar ch : text.normalized(QString::NormalizationForm_KC)) {
        const char16_t c = ch.unicode();
        const bool directionMark
            = c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
        if (!directionMark && !ch.isSpace())
            folded += ch;
    }
    return folded;
}

} // namespace PdfText
