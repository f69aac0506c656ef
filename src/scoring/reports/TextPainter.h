#pragma once

#include "scoring/reports/PageContent.h"

#include <QGlyphRun>
#include <QHash>
#include <QList>

class QPainter;

namespace Report {

// Paints laid-out pages. Persian is shaped and set right to left with the program's font; each distinct text is
// shaped once and its glyphs reused, since a long list repeats the same groups, sexes and scores on every line.
// The glyphs carry their characters, so text in a PDF made from them can be searched and copied.
class TextPainter {
public:
    void paint(QPainter& painter, const PageContent& page) const;
    void paintText(QPainter& painter, const TextBox& box) const;

    // The glyph runs of a box, placed relative to its top-left corner.
    const QList<QGlyphRun>& glyphs(const TextBox& box) const;

    // How wide a text is set on one line in a style, at its own size.
    static double naturalWidth(const QString& text, const TextStyle& style);

private:
    struct Key {
        QString text;
        int size;
        bool bold;
        int alignment;
        bool wrap;
        bool whole;
        bool leftToRight;
        int width;
        int height;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) noexcept;

    QList<QGlyphRun> layOut(const TextBox& box) const;

    mutable QHash<Key, QList<QGlyphRun>> m_cache;
};

} // namespace Report
