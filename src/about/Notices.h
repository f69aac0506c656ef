#pragma once

#include <QList>
#include <QString>

// The notices of the software the program is built on, with the licence texts they refer to. They are carried
// inside the program (so the About window can always show them) and installed with it as plain files.
namespace Notices {

struct Document {
    QString title; // as listed in the notices window
    QString fileName; // the installed file's name
};

// In the order the notices window lists them: our own notice first, then the licence texts.
const QList<Document>& documents();

// The text of a document as carried inside the program; "" when the program carries no such file.
QString text(const QString& fileName);

} // namespace Notices
