#pragma once

#include "ui/MakerDetails.h"

#include <QString>

// A detail inside a Persian line keeps its own direction.
inline QString apart(const QString& value)
{
    return QChar(0x2068) + value + QChar(0x2069);
}

// A maker with every detail filled in.
inline Maker::Details fullDetails()
{
    Maker::Details maker;
    maker.programmer = QStringLiteral("Reza Ahmadi");
    maker.telephone = QStringLiteral("021-5555");
    maker.email = QStringLiteral("reza@maker.test");
    maker.webSite = QStringLiteral("https://maker.test");
    maker.shop = QStringLiteral("https://shop.maker.test");
    return maker;
}
