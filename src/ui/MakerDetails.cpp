#include "ui/MakerDetails.h"

#include <QUrl>

namespace Maker {

const Details& details()
{
    // The distributor's details. Leave a value empty rather than guess it.
    static const Details values {
        /* programmer */ QString(),
        /* telephone */ QString(),
        /* email */ QString(),
        /* webSite */ QString(),
        /* shop */ QString(),
    };
    return values;
}

QString programNameAndVersion()
{
    return QStringLiteral("Tovrin35 ") + QStringLiteral(T35_VERSION);
}

QString programmerLine()
{
    return programmerLine(details());
}

QString programmerLine(const Details& maker)
{
    const QString programmer = maker.programmer.trimmed();
    if (programmer.isEmpty())
        return programNameAndVersion();
    QString line = QStringLiteral("برنامه نويس: ") + isolated(programmer);
    const QString telephone = maker.telephone.trimmed();
    if (!telephone.isEmpty())
        line += QStringLiteral("  تلفن: ") + isolated(telephone);
    return line;
}

QString webSiteLine()
{
    return webSiteLine(details());
}

QString webSiteLine(const Details& maker)
{
    const QString site = maker.webSite.trimmed();
    return site.isEmpty() ? programNameAndVersion() : site;
}

QString shopLine()
{
    return shopLine(details());
}

QString shopLine(const Details& maker)
{
    const QString shop = maker.shop.trimmed();
    if (!shop.isEmpty())
        return shop;
    // The line above already names the program when the web site is missing too; a page names it once.
    return maker.webSite.trimmed().isEmpty() ? QString() : programNameAndVersion();
}

QString isolated(const QString& value)
{
    if (value.isEmpty())
        return value;
    return QChar(0x2068) + value + QChar(0x2069);
}

QString webAddress(const QString& value)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return QString();
    QUrl url(text, QUrl::StrictMode);
    if (url.scheme().isEmpty())
        url = QUrl(QStringLiteral("https://") + text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QString();
    return url.toString();
}

QString helpPage(const Details& maker)
{
    const QString site = webAddress(maker.webSite);
    if (site.isEmpty())
        return QString();
    // The page sits at a fixed path from the site's root, whatever page the site's address names.
    return QUrl(site).resolved(QUrl(QStringLiteral("/software/software-settings.html"))).toString();
}

QStringList bannerPages(const Details& maker)
{
    QStringList pages;
    for (const QString& value : { maker.webSite, maker.shop }) {
        const QString address = webAddress(value);
        if (!address.isEmpty())
            pages << address;
    }
    return pages;
}

} // namespace Maker
