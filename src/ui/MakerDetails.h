#pragma once

#include <QString>

// Who made and who distributes the program: the one place the About window, the main window's banner and the
// printouts take these details from. A distributor sets the real values in MakerDetails.cpp (README says how);
// a value left empty is never replaced by a made-up one: the lines built from it carry the program's name and
// version instead, and nothing is opened for an empty address.
namespace Maker {

struct Details {
    QString programmer; // the programmer's name
    QString telephone;
    QString email;
    QString webSite; // the maker's web site, a full address ("https://...")
    QString shop; // the maker's shop, a full address
};

const Details& details();

// The program's name and version, for example "Tovrin35 1.0".
QString programNameAndVersion();

// The programmer with the telephone number, for the foot of the list report.
QString programmerLine();
// The maker's web site and shop, for the foot of the examinee report.
QString webSiteLine();
QString shopLine();

} // namespace Maker
