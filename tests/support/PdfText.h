#pragma once

#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>

// Reads a PDF back as a reader would, with the poppler tools (pdftotext, pdfinfo). A missing tool or a file they
// cannot read fails the current test and gives a null string (or -1).
namespace PdfText {

// The text of pages `first` to `last` (1-based; 0 = from the start, to the end), in reading order.
QString extract(const QString& path, int first = 0, int last = 0);

// The text inside `area` (in points from the top-left corner of the sheet) of page `page` (1-based).
QString extractArea(const QString& path, int page, const QRectF& area);

// The text inside `twips`, a rectangle in twips from the top-left corner of the printable area of a document laid
// out on `layout` (as a paged document paints its pages).
QString extractPrintable(const QString& path, int page, const QPageLayout& layout, const QRectF& twips);

// A field of pdfinfo's report ("Pages", "Title", ...), or a null string.
QString info(const QString& path, const QString& field);
int pageCount(const QString& path);

// Text as a search compares it: compatibility forms folded into the letters they stand for (a PDF carries the
// joined forms of Arabic script), direction marks and all blanks dropped.
QString comparable(const QString& text);

// The paragraphs of extracted text, each as a reader sees it: compatibility forms folded, direction marks dropped,
// blanks collapsed; empty ones left out.
QStringList paragraphs(const QString& text);

} // namespace PdfText
