#include "settings/Theme.h"

#include "data/Database.h"
#include "ui/LeadingNumber.h"

#include <QDir>
#include <QPalette>
#include <QStringList>
#include <QWidget>

#include <optional>

namespace {

// What a control's style sheet was before the skin came, kept so that painting again does not stack skins.
constexpr char kOwnStyleSheet[] = "t35OwnStyleSheet";
// Set on the controls whose palette is the skin's, so that painting again may replace it.
constexpr char kSkinPalette[] = "t35SkinPalette";
// Set on the window's own controls (not on windows it owns): the skin's rules, set once on the window, are scoped to
// them and what lies below them.
constexpr char kSkinned[] = "t35Skinned";
constexpr char kSkinnedMark[] = "[t35Skinned=\"true\"]";

const QList<std::pair<QString, QPalette::ColorRole>>& roleNames()
{
    static const QList<std::pair<QString, QPalette::ColorRole>> names = {
        { QStringLiteral("window"), QPalette::Window },
        { QStringLiteral("window-text"), QPalette::WindowText },
        { QStringLiteral("base"), QPalette::Base },
        { QStringLiteral("alternate-base"), QPalette::AlternateBase },
        { QStringLiteral("text"), QPalette::Text },
        { QStringLiteral("button"), QPalette::Button },
        { QStringLiteral("button-text"), QPalette::ButtonText },
        { QStringLiteral("bright-text"), QPalette::BrightText },
        { QStringLiteral("highlight"), QPalette::Highlight },
        { QStringLiteral("highlighted-text"), QPalette::HighlightedText },
        { QStringLiteral("link"), QPalette::Link },
        { QStringLiteral("link-visited"), QPalette::LinkVisited },
        { QStringLiteral("tooltip-base"), QPalette::ToolTipBase },
        { QStringLiteral("tooltip-text"), QPalette::ToolTipText },
        { QStringLiteral("placeholder-text"), QPalette::PlaceholderText },
        { QStringLiteral("light"), QPalette::Light },
        { QStringLiteral("midlight"), QPalette::Midlight },
        { QStringLiteral("mid"), QPalette::Mid },
        { QStringLiteral("dark"), QPalette::Dark },
        { QStringLiteral("shadow"), QPalette::Shadow },
    };
    return names;
}

// A control under a style sheet does not take its window's palette, so each control below `widget` is given the
// skin's palette itself: whatever the style sheet leaves to the palette (a label's text, a scroll bar) wears the
// skin too. A control that chose its own colours keeps them; windows owned by the window are left alone.
void givePalette(QWidget* widget, const QPalette& palette)
{
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        if (!child->testAttribute(Qt::WA_SetPalette) || child->property(kSkinPalette).toBool()) {
            child->setPalette(palette);
            child->setProperty(kSkinPalette, true);
        }
        givePalette(child, palette);
    }
}

QPalette paletteOf(const SkinFile& skin)
{
    const auto colour = [](quint32 rgb) { return QColor::fromRgb(rgb); };
    // Shades the file leaves out (light, dark, ...) are worked out from its button and window colours.
    QPalette palette(
        colour(skin.palette().value(QStringLiteral("button"))), colour(skin.palette().value(QStringLiteral("window"))));
    for (const auto& [name, role] : roleNames()) {
        if (auto it = skin.palette().constFind(name); it != skin.palette().cend())
            palette.setColor(role, colour(*it));
    }
    for (const auto& [name, role] : roleNames()) {
        if (auto it = skin.disabled().constFind(name); it != skin.disabled().cend())
            palette.setColor(QPalette::Disabled, role, colour(*it));
    }
    return palette;
}

// Where the mark goes in one compound selector: before its first pseudo-state or subcontrol, else at its end.
QString marked(const QString& compound)
{
    QChar quote;
    int depth = 0;
    for (qsizetype i = 0; i < compound.size(); ++i) {
        const QChar c = compound.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('[')) {
            ++depth;
        } else if (c == QLatin1Char(']')) {
            --depth;
        } else if (c == QLatin1Char(':') && depth == 0) {
            return compound.left(i) + QLatin1String(kSkinnedMark) + compound.mid(i);
        }
    }
    return compound + QLatin1String(kSkinnedMark);
}

// One selector of the skin made to match only where the skin would reach if its sheet were set on each marked
// control: the node matched is a marked control or lies below one. Every way the marked control can stand in the
// chain the selector matches is written out (above its first compound, as one of its compounds, or between two
// compounds joined as descendants), so a rule such as "#Frm1 #SkinLabel1" that names the window itself still
// matches. Each variant is one attribute more specific, so the skin's rules keep their order among themselves.
// Nothing for a selector this cannot read (sibling combinators): the caller then sets the sheet on each control.
std::optional<QStringList> scopedSelector(const QString& selector)
{
    QStringList compounds;
    QList<QChar> joins; // ' ' (descendant) or '>' (child), one between each two compounds
    QString current;
    QChar pending;
    QChar quote;
    int depth = 0;
    for (const QChar c : selector) {
        if (!quote.isNull()) {
            current += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (depth == 0 && (c.isSpace() || c == QLatin1Char('>'))) {
            if (!current.isEmpty()) {
                compounds << current;
                current.clear();
                pending = QLatin1Char(' ');
            }
            if (c == QLatin1Char('>')) {
                if (compounds.isEmpty())
                    return std::nullopt;
                pending = QLatin1Char('>');
            }
            continue;
        }
        if (depth == 0 && (c == QLatin1Char('+') || c == QLatin1Char('~')))
            return std::nullopt;
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = c;
        else if (c == QLatin1Char('['))
            ++depth;
        else if (c == QLatin1Char(']'))
            --depth;
        if (current.isEmpty() && !compounds.isEmpty()) {
            joins << pending;
            pending = QChar();
        }
        current += c;
    }
    if (!quote.isNull() || depth != 0 || (current.isEmpty() && !pending.isNull() && pending != QLatin1Char(' ')))
        return std::nullopt;
    if (!current.isEmpty())
        compounds << current;
    if (compounds.isEmpty())
        return std::nullopt;

    const auto join = [&](qsizetype markedAt, qsizetype markBefore) {
        QString out;
        for (qsizetype i = 0; i < compounds.size(); ++i) {
            if (i > 0)
                out += joins.at(i - 1) == QLatin1Char('>') ? QStringLiteral(" > ") : QStringLiteral(" ");
            if (i == markBefore)
                out += QLatin1String(kSkinnedMark) + QLatin1Char(' ');
            out += i == markedAt ? marked(compounds.at(i)) : compounds.at(i);
        }
        return out;
    };
    QStringList variants { join(-1, 0) };
    for (qsizetype i = 0; i < compounds.size(); ++i)
        variants << join(i, -1);
    for (qsizetype i = 1; i < compounds.size(); ++i) {
        if (joins.at(i - 1) == QLatin1Char(' '))
            variants << join(-1, i);
    }
    return variants;
}

// The skin's sheet with every selector scoped to the marked controls; nothing when the sheet is not a plain list of
// rules (declarations outside a rule, a brace left open, a selector that cannot be scoped).
std::optional<QString> scopedSheet(const QString& sheet)
{
    QString out;
    QString selectors;
    qsizetype i = 0;
    const qsizetype n = sheet.size();
    while (i < n) {
        if (sheet.at(i) == QLatin1Char('/') && i + 1 < n && sheet.at(i + 1) == QLatin1Char('*')) {
            const qsizetype end = sheet.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                return std::nullopt;
            i = end + 2;
            continue;
        }
        const QChar c = sheet.at(i);
        if (c == QLatin1Char('}'))
            return std::nullopt;
        if (c != QLatin1Char('{')) {
            selectors += c;
            ++i;
            continue;
        }
        // The rule's body, to its closing brace, as it stands (comments, quoted texts and all).
        qsizetype j = i + 1;
        QChar quote;
        for (; j < n; ++j) {
            const QChar b = sheet.at(j);
            if (!quote.isNull()) {
                if (b == quote)
                    quote = QChar();
            } else if (b == QLatin1Char('"') || b == QLatin1Char('\'')) {
                quote = b;
            } else if (b == QLatin1Char('/') && j + 1 < n && sheet.at(j + 1) == QLatin1Char('*')) {
                const qsizetype end = sheet.indexOf(QLatin1String("*/"), j + 2);
                if (end < 0)
                    return std::nullopt;
                j = end + 1;
            } else if (b == QLatin1Char('{')) {
                return std::nullopt;
            } else if (b == QLatin1Char('}')) {
                break;
            }
        }
        if (j >= n)
            return std::nullopt;
        QStringList scoped;
        for (const QString& selector : selectors.split(QLatin1Char(','))) {
            const std::optional<QStringList> variants = scopedSelector(selector.trimmed());
            if (!variants)
                return std::nullopt;
            scoped << *variants;
        }
        out += scoped.join(QStringLiteral(",\n")) + QLatin1Char(' ') + sheet.mid(i, j - i + 1) + QLatin1Char('\n');
        selectors.clear();
        i = j + 1;
    }
    if (!selectors.trimmed().isEmpty())
        return std::nullopt;
    return out;
}

} // namespace

namespace Theme {

int themeNumber(const QString& thText)
{
    const int n = leadingWholeNumber(thText, 0);
    return (n >= 1 && n <= Count) ? n : 0;
}

QString skinFile(int theme)
{
    static const QStringList files = { QStringLiteral("chizh.skn"), QStringLiteral("Green.skn"),
        QStringLiteral("galaxy.skn"), QStringLiteral("_temp.skn"), QStringLiteral("B-Studio.skn"),
        QStringLiteral("Mac.skn"), QStringLiteral("O-Universe.skn"), QStringLiteral("metallic.skn"),
        QStringLiteral("Paper.skn"), QStringLiteral("winaqua.skn"), QStringLiteral("office2007.skn") };
    return (theme >= 1 && theme <= Count) ? files.at(theme - 1) : QString();
}

std::optional<SkinFile> loadSkin(const QString& skinsFolder, const QString& fileName)
{
    if (fileName.isEmpty())
        return std::nullopt;
    return SkinFile::read(QDir(skinsFolder).filePath(fileName));
}

int replacementFor(const QString& skinsFolder, const QString& thText)
{
    const int theme = themeNumber(thText);
    if (theme == 0 || theme == First || loadSkin(skinsFolder, skinFile(theme)))
        return 0;
    return First;
}

void paint(QWidget* window, const SkinFile& skin)
{
    const QPalette palette = paletteOf(skin);
    window->setPalette(palette);
    givePalette(window, palette);
    // A style sheet reaches every widget parented below it, windows included, and the chart, the boxes and the
    // About window opened from here carry no skin. So the window's own controls are marked and the skin's rules,
    // scoped to the marked controls, are set once on the window: Qt reads one sheet instead of one per control.
    const std::optional<QString> scoped = scopedSheet(skin.styleSheet());
    if (scoped) {
        QVariant own = window->property(kOwnStyleSheet);
        if (!own.isValid()) {
            own = window->styleSheet();
            window->setProperty(kOwnStyleSheet, own);
        }
        for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow())
                continue;
            child->setProperty(kSkinned, QStringLiteral("true"));
            // A skin painted before on each control gives way.
            if (const QVariant before = child->property(kOwnStyleSheet); before.isValid())
                child->setStyleSheet(before.toString());
        }
        window->setStyleSheet(*scoped + QLatin1Char('\n') + own.toString());
        return;
    }
    // A sheet that cannot be scoped goes on each control instead, in place of one painted before on the window.
    if (const QVariant before = window->property(kOwnStyleSheet); before.isValid())
        window->setStyleSheet(before.toString());
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        QVariant own = child->property(kOwnStyleSheet);
        if (!own.isValid()) {
            own = child->styleSheet();
            child->setProperty(kOwnStyleSheet, own);
        }
        child->setStyleSheet(skin.styleSheet() + QLatin1Char('\n') + own.toString());
    }
}

void applyTheme(QWidget* window, const Database& db, const QString& thText)
{
    const int theme = themeNumber(thText);
    const std::optional<SkinFile> skin = loadSkin(db.resourcesFolder(), skinFile(theme));
    if (!skin)
        return;
    paint(window, *skin);
    window->setProperty("appliedTheme", theme);
}

} // namespace Theme
