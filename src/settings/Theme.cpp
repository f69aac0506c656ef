#include "settings/Theme.h"

#include "data/Database.h"
#include "ui/LeadingNumber.h"

#include <QDir>
#include <QPalette>
#include <QStringList>
#include <QWidget>

namespace {

// What a control's style sheet was before the skin came, kept so that painting again does not stack skins.
constexpr char kOwnStyleSheet[] = "t35OwnStyleSheet";
// Set on the controls whose palette is the skin's, so that painting again may replace it.
constexpr char kSkinPalette[] = "t35SkinPalette";

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
    // The sheet goes on each control rather than on the window: a style sheet reaches every widget parented below
    // it, windows included, and the chart, the boxes and the About window opened from here carry no skin.
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
