#include "settings/Theme.h"

#include "ui/LeadingNumber.h"

#include <QStringList>
#include <QWidget>

namespace Theme {

int themeNumber(const QString& thText)
{
    const int n = leadingWholeNumber(thText, 0);
    return (n >= 1 && n <= Count) ? n : 0;
}

QString skinFile(int theme)
{
    static const QStringList files = {
        QStringLiteral("chizh.skn"),    QStringLiteral("Green.skn"),      QStringLiteral("galaxy.skn"),
        QStringLiteral("_temp.skn"),    QStringLiteral("B-Studio.skn"),   QStringLiteral("Mac.skn"),
        QStringLiteral("O-Universe.skn"), QStringLiteral("metallic.skn"), QStringLiteral("Paper.skn"),
        QStringLiteral("winaqua.skn"),  QStringLiteral("office2007.skn")};
    return (theme >= 1 && theme <= Count) ? files.at(theme - 1) : QString();
}

void applyTheme(QWidget* window, const QString& thText)
{
    // The skins themselves come with the theme chooser; until then every window keeps the program's own look.
    window->setProperty("appliedTheme", themeNumber(thText));
}

} // namespace Theme
