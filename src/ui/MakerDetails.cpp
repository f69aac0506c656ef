#include "ui/MakerDetails.h"

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
    const Details& d = details();
    if (d.programmer.isEmpty())
        return programNameAndVersion();
    QString line = QStringLiteral("برنامه نويس: ") + d.programmer;
    if (!d.telephone.isEmpty())
        line += QStringLiteral("  تلفن: ") + d.telephone;
    return line;
}

QString webSiteLine()
{
    return details().webSite.isEmpty() ? programNameAndVersion() : details().webSite;
}

QString shopLine()
{
    return details().shop.isEmpty() ? programNameAndVersion() : details().shop;
}

} // namespace Maker
