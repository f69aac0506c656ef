#pragma once

#include <QString>

class PagedDocument;
class QPainter;
class QPrinter;

// Puts a paged document on paper or into a PDF file, with the document's own page layout.
namespace DocumentOutput {

// Paints page `index` on a painter whose device has its origin at the printable area's top-left corner, scaling
// twips to the device's dots per inch.
void paintPage(QPainter& painter, const PagedDocument& document, int index);

// Writes every page to a PDF file. The file appears complete or not at all: the pages go to a temporary file
// beside it, which replaces `path` only when everything was written. On failure `error` says why.
bool writePdf(const PagedDocument& document, const QString& path, QString& error);

// Prints the pages the printer's range asks for (all when it names none), each copy in turn when the printer
// cannot make copies itself. False when the printer could not be opened or refused a page.
bool print(const PagedDocument& document, QPrinter& printer);

} // namespace DocumentOutput
