#include "scoring/reports/TextPainter.h"

#include "ui/PersianText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <numeric>

namespace Report {

namespace {

// Distinct texts kept shaped; a long list brings new codes and row numbers on every line, so the store is emptied
// now and then rather than allowed to grow with the list.
constexpr qsizetype cacheLimit = 4096;

QFont fontFor(const TextStyle& style)
{
    // Printouts are set in the bundled font whatever the screen uses.
    PersianText::loadFont();
    QFont font(PersianText::fontFamily());
    font.setPixelSize(std::max(1, style.size));
    font.setBold(style.bold);
    // Unhinted outlines keep the same widths on screen, on paper and in the PDF.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

struct Lines {
    QList<QGlyphRun> runs;
    double height = 0;
    int lastLineStart = -1; // where the last line that fits starts in the text, when more did not fit
};

Lines layOutText(const QString& text, const QFont& font, const TextBox& box)
{
    QTextOption option;
    option.setTextDirection(box.style.direction);
    option.setAlignment((box.style.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignAbsolute);
    option.setWrapMode(box.style.wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);

    QTextLayout layout(text, font);
    layout.setTextOption(option);
    Lines result;
    int lastStart = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(box.rect.width());
        if (result.height > 0 && result.height + line.height() > box.rect.height()) {
            result.lastLineStart = lastStart;
            // The line that does not fit is moved out of the way; the caller lays the text out again shortened.
            line.setPosition(QPointF(0, 1e7));
            break;
        }
        lastStart = line.textStart();
        line.setPosition(QPointF(0, result.height));
        result.height += line.height();
    }
    layout.endLayout();
    if (result.lastLineStart < 0)
        result.runs = layout.glyphRuns();
    return result;
}

} // namespace

size_t qHash(const TextPainter::Key& key, size_t seed) noexcept
{
    return qHashMulti(
        seed, key.text, key.size, key.bold, key.alignment, key.wrap, key.leftToRight, key.width, key.height);
}

QList<QGlyphRun> TextPainter::layOut(const TextBox& box) const
{
    const QFont font = fontFor(box.style);
    const QFontMetricsF metrics(font);
    QString text = box.text;
    if (box.style.wrap) {
        text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    } else {
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (metrics.horizontalAdvance(text) > box.rect.width())
            text = metrics.elidedText(text, Qt::ElideRight, box.rect.width());
    }

    Lines lines = layOutText(text, font, box);
    if (lines.lastLineStart >= 0) {
        // More lines than the box holds: the last one that fits ends in "…".
        const QString last = text.mid(lines.lastLineStart).replace(QChar::LineSeparator, QLatin1Char(' '));
        text = text.left(lines.lastLineStart) + metrics.elidedText(last, Qt::ElideRight, box.rect.width());
        lines = layOutText(text, font, box);
    }

    double offset = (box.rect.height() - lines.height) / 2;
    if (box.style.alignment & Qt::AlignTop)
        offset = 0;
    else if (box.style.alignment & Qt::AlignBottom)
        offset = box.rect.height() - lines.height;
    for (QGlyphRun& run : lines.runs) {
        // Glyphs go out from left to right, as they stand on the line. A PDF reader then takes a word's glyphs as
        // one word; in the right-to-left order it may split a short word where two glyphs meet a hair apart.
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        QList<qsizetype> order(indexes.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
            [&positions](qsizetype a, qsizetype b) { return positions[a].x() < positions[b].x(); });
        QList<quint32> sortedIndexes;
        QList<QPointF> sortedPositions;
        sortedIndexes.reserve(order.size());
        sortedPositions.reserve(order.size());
        for (qsizetype i : order) {
            sortedIndexes << indexes[i];
            sortedPositions << positions[i] + QPointF(0, offset);
        }
        run.setGlyphIndexes(sortedIndexes);
        run.setPositions(sortedPositions);
    }
    return lines.runs;
}

const QList<QGlyphRun>& TextPainter::glyphs(const TextBox& box) const
{
    const Key key { box.text, box.style.size, box.style.bold, static_cast<int>(box.style.alignment), box.style.wrap,
        box.style.direction == Qt::LeftToRight, qRound(box.rect.width()), qRound(box.rect.height()) };
    auto it = m_cache.constFind(key);
    if (it != m_cache.cend())
        return *it;
    if (m_cache.size() >= cacheLimit)
        m_cache.clear();
    return *m_cache.insert(key, layOut(box));
}

void TextPainter::paintText(QPainter& painter, const TextBox& box) const
{
    if (box.text.isEmpty())
        return;
    painter.setPen(box.style.colour);
    for (const QGlyphRun& run : glyphs(box))
        painter.drawGlyphRun(box.rect.topLeft(), run);
}

void TextPainter::paint(QPainter& painter, const PageContent& page) const
{
    for (const Shade& shade : page.shades)
        painter.fillRect(shade.rect, shade.colour);
    for (const Rule& rule : page.rules) {
        painter.setPen(QPen(rule.colour, rule.width, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(rule.line);
    }
    for (const TextBox& box : page.texts)
        paintText(painter, box);
}

} // namespace Report
