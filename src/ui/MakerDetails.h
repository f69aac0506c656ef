#pragma once

#include <QString>
#include <QStringList>

// Who made and who distributes the program: the one place the About window, the main window's banner and the
// printouts take these details from. A distributor sets the real values in MakerDetails.cpp (README says how);
// a value left empty is never replaced by a made-up one: the lines built from it carry the program's name and
// version instead, or are left empty, and nothing is opened for an empty address.
namespace Maker {

struct Details {
    QString programmer; // the programmer's name, its parts separated by blanks
    QString telephone;
    QString email;
    QString webSite; // the maker's web site ("https://..."; a bare host name is taken as https)
    QString shop; // the maker's shop
};

// The details built into the program.
const Details& details();

// The program's name and version, for example "Tovrin35 1.0".
QString programNameAndVersion();

// The programmer with the telephone number, for the foot of the list report.
QString programmerLine();
QString programmerLine(const Details& maker);
// The maker's web site and shop, for the foot of the examinee report. The two lines name the program's name and
// version once between them when either is missing: the web site's line when it is, else the shop's line.
QString webSiteLine();
QString webSiteLine(const Details& maker);
QString shopLine();
QString shopLine(const Details& maker);

// A detail as it stands inside a Persian line: kept apart from the words around it (first-strong isolate), so a
// telephone number or an address still reads left to right and a Persian name right to left. The digits of
// "021-5555" after a Persian caption would otherwise be drawn as "5555-021". "" stays "".
QString isolated(const QString& value);

// A web address that can be handed to the browser: http or https, with a host. "" for an empty value and for
// anything else (another scheme, no host), so a mistyped value opens nothing rather than something unexpected.
QString webAddress(const QString& value);

// The help page for the program's settings on the maker's web site; "" when no web site is set.
QString helpPage(const Details& maker);

// The pages the banner opens, one after the other: the web site, then the shop; only those that are set.
QStringList bannerPages(const Details& maker);

} // namespace Maker
