#pragma once

#include <QString>

// The maker's web addresses, handed to the desktop's browser.
namespace MakerSite {

inline const QString Home = QStringLiteral("https://www.example.com");
inline const QString Shop = QStringLiteral("https://shop.example.com");
inline const QString HelpPath = QStringLiteral("/software/software-settings.html");

// The help page for the program's settings.
inline QString helpPage()
{
    return Home + HelpPath;
}

} // namespace MakerSite
