#pragma once

#include <QString>

#include <functional>
#include <memory>

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

// The same, told before each page how far it is (pages painted, of all): `going` returning false stops the writing,
// which leaves no file (and `error` empty).
bool writePdf(const PagedDocument& document, const QString& path, QString& error,
    const std::function<bool(int done, int pages)>& going);

// A PDF written page by page by whoever paints them, for a document whose pages are painted from what is read as
// they go. Nothing is at `path` until commit(); a file dropped before that leaves whatever was there.
class PdfFile {
public:
    PdfFile(const PagedDocument& document, const QString& path);
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    // False, with error(), when the file could not be begun.
    bool isOpen() const;
    // A painter for the next page, scaled to twips from the printable area's top-left corner; null when the page
    // could not be begun.
    QPainter* nextPage();
    // Ends the file and puts it at `path`; false, with error(), when something could not be written.
    bool commit();
    QString error() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Prints the pages the printer's range asks for (all when it names none), each copy in turn when the printer
// cannot make copies itself. False when the printer could not be opened or refused a page.
bool print(const PagedDocument& document, QPrinter& printer);

} // namespace DocumentOutput
