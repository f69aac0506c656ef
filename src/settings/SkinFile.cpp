#include "settings/SkinFile.h"

#include "ui/BoundedRead.h"

#include <QRegularExpression>

namespace {

enum class Section { None, Palette, Colours, Style };

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

std::optional<quint32> colourValue(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^#([0-9a-fA-F]{6})$"));
    const QRegularExpressionMatch m = hex.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toUInt(nullptr, 16);
}

QString hexText(quint32 rgb)
{
    return QStringLiteral("#%1").arg(rgb & 0xffffff, 6, 16, QLatin1Char('0'));
}

quint32 halfWay(quint32 a, quint32 b)
{
    quint32 mixed = 0;
    for (int shift : { 16, 8, 0 }) {
        const quint32 channel = (((a >> shift) & 0xff) + ((b >> shift) & 0xff) + 1) / 2;
        mixed |= channel << shift;
    }
    return mixed;
}

} // namespace

const QStringList& SkinFile::paletteRoles()
{
    static const QStringList roles = { QStringLiteral("window"), QStringLiteral("window-text"), QStringLiteral("base"),
        QStringLiteral("alternate-base"), QStringLiteral("text"), QStringLiteral("button"),
        QStringLiteral("button-text"), QStringLiteral("bright-text"), QStringLiteral("highlight"),
        QStringLiteral("highlighted-text"), QStringLiteral("link"), QStringLiteral("link-visited"),
        QStringLiteral("tooltip-base"), QStringLiteral("tooltip-text"), QStringLiteral("placeholder-text"),
        QStringLiteral("light"), QStringLiteral("midlight"), QStringLiteral("mid"), QStringLiteral("dark"),
        QStringLiteral("shadow") };
    return roles;
}

const QStringList& SkinFile::requiredRoles()
{
    static const QStringList roles = { QStringLiteral("window"), QStringLiteral("window-text"), QStringLiteral("base"),
        QStringLiteral("text"), QStringLiteral("button"), QStringLiteral("button-text"), QStringLiteral("highlight"),
        QStringLiteral("highlighted-text") };
    return roles;
}

QString SkinFile::colourText(const QString& name) const
{
    if (auto it = m_palette.constFind(name); it != m_palette.cend())
        return hexText(*it);
    if (auto it = m_colours.constFind(name); it != m_colours.cend())
        return hexText(*it);
    return QString();
}

std::optional<SkinFile> SkinFile::read(const QString& path, QString* error)
{
    const std::optional<QByteArray> bytes = BoundedRead::readFile(path, MaxBytes, error);
    if (!bytes)
        return std::nullopt;
    return parse(QString::fromUtf8(*bytes), error);
}

std::optional<SkinFile> SkinFile::parse(const QString& text, QString* error)
{
    static const QRegularExpression entry(QStringLiteral("^([a-z][a-z0-9.-]*)\\s*=\\s*(\\S+)$"));
    static const QRegularExpression header(QStringLiteral("^\\[([a-z]+)\\]$"));

    SkinFile skin;
    Section section = Section::None;
    bool styleSeen = false;
    QString rawStyle;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (const QRegularExpressionMatch h = header.match(line); h.hasMatch()) {
            const QString name = h.captured(1);
            if (name == QLatin1String("palette")) {
                section = Section::Palette;
            } else if (name == QLatin1String("colours")) {
                section = Section::Colours;
            } else if (name == QLatin1String("style")) {
                // The style sheet is the rest of the file, comments and blank lines as they stand.
                styleSeen = true;
                rawStyle = lines.mid(i + 1).join(QLatin1Char('\n'));
                break;
            } else {
                fail(error, where + QStringLiteral("unknown section [%1]").arg(name));
                return std::nullopt;
            }
            continue;
        }
        const QRegularExpressionMatch e = entry.match(line);
        if (!e.hasMatch() || section == Section::None) {
            fail(error, where + QStringLiteral("expected \"name = #rrggbb\" in a section"));
            return std::nullopt;
        }
        const QString key = e.captured(1);
        const std::optional<quint32> colour = colourValue(e.captured(2));
        if (!colour) {
            fail(error, where + QStringLiteral("%1 is not a colour #rrggbb").arg(e.captured(2)));
            return std::nullopt;
        }
        if (section == Section::Palette) {
            const bool disabled = key.startsWith(QLatin1String("disabled."));
            const QString role = disabled ? key.mid(9) : key;
            if (!paletteRoles().contains(role)) {
                fail(error, where + QStringLiteral("unknown palette role %1").arg(key));
                return std::nullopt;
            }
            (disabled ? skin.m_disabled : skin.m_palette).insert(role, *colour);
        } else {
            if (key.contains(QLatin1Char('.')) || paletteRoles().contains(key)) {
                fail(error, where + QStringLiteral("%1 cannot name a colour").arg(key));
                return std::nullopt;
            }
            skin.m_colours.insert(key, *colour);
        }
    }

    for (const QString& role : requiredRoles()) {
        if (!skin.m_palette.contains(role)) {
            fail(error, QStringLiteral("the palette has no %1").arg(role));
            return std::nullopt;
        }
    }
    if (!styleSeen) {
        fail(error, QStringLiteral("there is no [style] section"));
        return std::nullopt;
    }

    static const QRegularExpression reference(QStringLiteral("@([a-z][a-z0-9-]*)"));
    QString sheet;
    qsizetype done = 0;
    for (auto it = reference.globalMatch(rawStyle); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString colour = skin.colourText(m.captured(1));
        if (colour.isEmpty()) {
            fail(error, QStringLiteral("the style names no colour @%1").arg(m.captured(1)));
            return std::nullopt;
        }
        sheet += rawStyle.mid(done, m.capturedStart() - done) + colour;
        done = m.capturedEnd();
    }
    skin.m_styleSheet = sheet + rawStyle.mid(done);

    const std::pair<const char*, const char*> faded[]
        = { { "window-text", "window" }, { "text", "base" }, { "button-text", "button" } };
    for (const auto& [foreground, background] : faded) {
        const QString role = QLatin1String(foreground);
        if (!skin.m_disabled.contains(role))
            skin.m_disabled.insert(
                role, halfWay(skin.m_palette.value(role), skin.m_palette.value(QLatin1String(background))));
    }
    return skin;
}
