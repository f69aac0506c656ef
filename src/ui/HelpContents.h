#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The program's own help, built in from resources/help: one section per window or panel, in the order of the
// contents file. A window finds its section by its objectName; a panel of a window by "window/panel".
namespace HelpContents {

struct Section {
    QString key; // the page's file name without ".html"
    QStringList names; // the objectNames (or "window/panel") that open this section
    QString title;
    QString html;
};

// Every section, in reading order; read once from the built-in pages.
const QList<Section>& sections();

// The key of the section for `name` ("" when no section names it).
QString sectionFor(const QString& name);

// The section's page as plain text, for searching it.
QString plainText(const Section& section);

// What a search for `text` finds: the text itself, with either yeh (Arabic or Persian) and either kaf standing for
// each other, since a Persian keyboard types letters the pages may write otherwise; case does not matter.
QRegularExpression searchPattern(const QString& text);

// The key of the first section, shown when a window has no section of its own.
QString firstKey();

} // namespace HelpContents
