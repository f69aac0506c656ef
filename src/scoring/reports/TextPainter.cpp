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
    double width = 0; // of the widest line
    int lastLineStart = -1; // where the last line that fits starts in the text, when more did not fit
};

// Lays the text out in the box's width. With `toBottom` the lines end at the box's bottom (lastLineStart then says
// where the text was cut); otherwise every line is laid out, however far down it goes.
Lines layOutText(const QString& text, const QFont& font, const TextBox& box, bool wrap, bool toBottom = true)
{
    QTextOption option;
    option.setTextDirection(box.style.direction);
    option.setAlignment((box.style.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignAbsolute);
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);

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
        if (toBottom && result.height > 0 && result.height + line.height() > box.rect.height()) {
            result.lastLineStart = lastStart;
            // The line that does not fit is moved out of the way; the caller lays the text out again shortened.
            line.setPosition(QPointF(0, 1e7));
            break;
        }
        lastStart = line.textStart();
        line.setPosition(QPointF(0, result.height));
        result.height += line.height();
        result.width = std::max(result.width, line.naturalTextWidth());
    }
    layout.endLayout();
    if (result.lastLineStart < 0)
        result.runs = layout.glyphRuns();
    return result;
}

// The text as long as the box holds it: one line ending in "…", or as many lines as fit when it wraps.
Lines shortened(const TextBox& box)
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

    Lines lines = layOutText(text, font, box, box.style.wrap);
    if (lines.lastLineStart >= 0) {
        // More lines than the box holds: the last one that fits ends in "…".
        const QString last = text.mid(lines.lastLineStart).replace(QChar::LineSeparator, QLatin1Char(' '));
        text = text.left(lines.lastLineStart) + metrics.elidedText(last, Qt::ElideRight, box.rect.width());
        lines = layOutText(text, font, box, box.style.wrap);
    }
    return lines;
}

// The whole text at the largest size that fits the box: on one line while it is set no smaller than three fifths of
// its size (a code split over two lines reads as two), else over lines that stay within the box's height. A text too
// long for any size is set at the smallest and still whole.
Lines whole(const TextBox& box)
{
    QString text = box.text;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const int full = std::max(1, box.style.size);
    const auto next = [](int size) { return std::min(size - 1, size * 19 / 20); };
    TextStyle style = box.style;
    Lines lines;
    for (int size = full; size >= 1 && size * 5 >= full * 3; size = next(size)) {
        style.size = size;
        lines = layOutText(text, fontFor(style), box, false, false);
        if (lines.width <= box.rect.width())
            return lines;
    }
    for (int size = full;; size = next(size)) {
        style.size = std::max(1, size);
        const QFont font = fontFor(style);
        lines = layOutText(text, font, box, false, false);
        if (lines.width <= box.rect.width())
            return lines;
        lines = layOutText(text, font, box, true, false);
        if ((lines.width <= box.rect.width() && lines.height <= box.rect.height()) || style.size == 1)
            return lines;
    }
}

} // namespace

size_t qHash(const TextPainter::Key& key, size_t seed) noexcept
{
    return qHashMulti(
        seed, key.text, key.size, key.bold, key.alignment, key.wrap, key.whole, key.leftToRight, key.width, key.height);
}

QList<QGlyphRun> TextPainter::layOut(const TextBox& box) const
{
    Lines lines = box.style.whole ? whole(box) : shortened(box);
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

double TextPainter::naturalWidth(const QString& text, const TextStyle& style)
{
    return QFontMetricsF(fontFor(style)).horizontalAdvance(text);
}

const QList<QGlyphRun>& TextPainter::glyphs(const TextBox& box) const
{
    const Key key { box.text, box.style.size, box.style.bold, static_cast<int>(box.style.alignment), box.style.wrap,
        box.style.whole, box.style.direction == Qt::LeftToRight, qRound(box.rect.width()), qRound(box.rect.height()) };
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
