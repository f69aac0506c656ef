#include "text/ShownNumbers.h"

#include "text/ProgramSettings.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSettings>

#include <cmath>

namespace ShownNumbers {

namespace {

const QString settingKey = QStringLiteral("display/persianDigits");

const QLocale& persian()
{
    static const QLocale locale(QLocale::Persian, QLocale::Iran);
    return locale;
}

// The choice is read once per settings file: windows draw many numbers, and a test case may point the program at
// a file of its own.
struct Cached {
    QString path;
    bool on = true;
    bool known = false;
};

Cached& cached()
{
    static Cached value;
    return value;
}

// The Persian form of a text of ASCII digits, sign and "." (what QString::number writes).
QString persianForm(const QString& ascii)
{
    QString drawn;
    drawn.reserve(ascii.size());
    for (const QChar c : ascii) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            drawn += QChar(char16_t(0x06F0 + (c.unicode() - u'0')));
        else
            drawn += c;
    }
    return drawn;
}

bool isLatinLetter(QChar c)
{
    return c.isLetter() && c.script() == QChar::Script_Latin;
}

// One run of letters, digits and "_" (the pieces a word splits into at its punctuation).
bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A blank-free piece of a line that is a web or e-mail address: it has "@" or a scheme, starts with "www.", or is a
// host name ending in a Latin top-level name, with or without a path ("shop.example.ir/item/12").
bool isAddress(const QString& piece)
{
    if (piece.contains(QLatin1Char('@')) || piece.contains(QLatin1String("://")))
        return true;
    qsizetype from = 0;
    qsizetype to = piece.size();
    while (from < to && !isWordPart(piece.at(from)))
        ++from;
    while (to > from && !isWordPart(piece.at(to - 1)) && piece.at(to - 1) != QLatin1Char('/'))
        --to;
    const QString bare = piece.mid(from, to - from);
    if (bare.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return true;
    static const QRegularExpression host(
        QStringLiteral("^[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*\\.[A-Za-z]{2,}(:[0-9]+)?([/?#].*)?$"));
    return host.match(bare).hasMatch();
}

// The Persian form of one blank-free piece: an address stays as written, and so does every run of letters and
// digits that holds a Latin letter.
QString persianPiece(const QString& piece)
{
    if (isAddress(piece))
        return piece;
    QString drawn;
    drawn.reserve(piece.size());
    qsizetype i = 0;
    while (i < piece.size()) {
        if (!isWordPart(piece.at(i))) {
            drawn += piece.at(i++);
            continue;
        }
        qsizetype end = i;
        bool latin = false;
        while (end < piece.size() && isWordPart(piece.at(end)))
            latin = isLatinLetter(piece.at(end++)) || latin;
        const QString run = piece.mid(i, end - i);
        drawn += latin ? run : persianForm(run);
        i = end;
    }
    return drawn;
}

} // namespace

bool persianDigits()
{
    Cached& c = cached();
    const QString path = ProgramSettings::filePath();
    if (!c.known || c.path != path) {
        const QSettings settings(path, QSettings::IniFormat);
        c.on = settings.value(settingKey, true).toBool();
        c.path = path;
        c.known = true;
    }
    return c.on;
}

void setPersianDigits(bool on)
{
    const QString path = ProgramSettings::filePath();
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue(settingKey, on);
        settings.sync();
    }
    Cached& c = cached();
    c.path = path;
    c.on = on;
    c.known = true;
}

QString text(const QString& stored)
{
    return persianDigits() ? persianForm(stored) : stored;
}

QString line(const QString& words)
{
    if (!persianDigits())
        return words;
    QString drawn;
    drawn.reserve(words.size());
    qsizetype i = 0;
    while (i < words.size()) {
        if (words.at(i).isSpace()) {
            drawn += words.at(i++);
            continue;
        }
        qsizetype end = i;
        while (end < words.size() && !words.at(end).isSpace())
            ++end;
        drawn += persianPiece(words.mid(i, end - i));
        i = end;
    }
    return drawn;
}

QString number(qint64 value)
{
    if (!persianDigits())
        return QString::number(value);
    // The locale's own minus carries a direction mark; the ASCII sign keeps drawn and stored signs alike.
    const QString magnitude = persian().toString(value < 0 ? -static_cast<quint64>(value) : quint64(value));
    return value < 0 ? QLatin1Char('-') + magnitude : magnitude;
}

QString decimal(double value, int decimals)
{
    if (!std::isfinite(value))
        return text(QString::number(value));
    if (!persianDigits())
        return QString::number(value, 'f', decimals);
    const QString magnitude = persian().toString(std::fabs(value), 'f', decimals);
    return std::signbit(value) && magnitude != persian().toString(0.0, 'f', decimals) ? QLatin1Char('-') + magnitude
                                                                                       : magnitude;
}

QString percentSign()
{
    return persianDigits() ? persian().percent() : QStringLiteral("%");
}

QString percent(qint64 value)
{
    return number(value) + percentSign();
}

QChar digit(int value)
{
    if (value < 0 || value > 9)
        return {};
    return persianDigits() ? QChar(char16_t(0x06F0 + value)) : QChar(char16_t(u'0' + value));
}

} // namespace ShownNumbers
